// The scene's pictures on a real GL context: the room, the occluder and the
// light marker, drawn under the standing state sceneInit sets up, read back
// and compared with colours worked out from the textures.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/window.h"
#include "assets/texture.h"
#include "geometry/occluder.h"
#include "geometry/room.h"
#include "gl_harness.h"
#include "scene/scene.h"

namespace {

struct Rgb {
    int r, g, b;
};

// The flat colours of the two texture files the scene loads.
const Rgb occluderFileColour{40, 160, 220};
const Rgb roomFileColour{200, 120, 40};
const Rgb clearColour{0, 0, 255};
const Rgb yellow{255, 255, 0};

// Four texels, (s, t) = (0, 0), (1, 0), (0, 1), (1, 1), for reading back
// where each surface point falls in its texture.
const Rgb checker[2][2] = {
    {{230, 30, 30}, {30, 200, 60}},    // t row 0
    {{240, 240, 240}, {120, 40, 160}},  // t row 1
};

void put16(uint8_t* at, uint32_t value) {
    at[0] = value & 0xFF;
    at[1] = (value >> 8) & 0xFF;
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

// An 8 x 8, 24-bit, uncompressed bottom-up BMP of one colour.
bool writeFlatBmp(const char* fileName, Rgb colour) {
    const int side = 8;
    const int rowBytes = side * 3;
    std::vector<uint8_t> file(54 + rowBytes * side, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(&file[2], static_cast<uint32_t>(file.size()));
    put32(&file[10], 54);
    put32(&file[14], 40);
    put32(&file[18], side);
    put32(&file[22], side);
    put16(&file[26], 1);
    put16(&file[28], 24);
    put32(&file[34], rowBytes * side);
    for (size_t at = 54; at < file.size(); at += 3) {
        file[at] = static_cast<uint8_t>(colour.b);
        file[at + 1] = static_cast<uint8_t>(colour.g);
        file[at + 2] = static_cast<uint8_t>(colour.r);
    }
    FILE* out = std::fopen(fileName, "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

// A 2 x 2 texture of the checker colours, sampled without blending so the
// expected colour at a texel's centre is exact.
GLuint makeCheckerTexture() {
    uint8_t data[2 * 2 * 3];
    for (int t = 0; t < 2; ++t) {
        for (int s = 0; s < 2; ++s) {
            uint8_t* texel = &data[(t * 2 + s) * 3];
            texel[0] = static_cast<uint8_t>(checker[t][s].r);
            texel[1] = static_cast<uint8_t>(checker[t][s].g);
            texel[2] = static_cast<uint8_t>(checker[t][s].b);
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

// The checker texel a repeating texture coordinate pair falls in.
Rgb checkerAt(float s, float t) {
    const int i = s - std::floor(s) < 0.5f ? 0 : 1;
    const int j = t - std::floor(t) < 0.5f ? 0 : 1;
    return checker[j][i];
}

Rgb scaled(Rgb c, float factor) {
    return Rgb{static_cast<int>(std::lround(c.r * factor)),
               static_cast<int>(std::lround(c.g * factor)),
               static_cast<int>(std::lround(c.b * factor))};
}

bool closeTo(Rgb actual, Rgb expected, int within) {
    return std::abs(actual.r - expected.r) <= within && std::abs(actual.g - expected.g) <= within &&
           std::abs(actual.b - expected.b) <= within;
}

::testing::AssertionResult near(Rgb actual, Rgb expected, int within = 1) {
    if (closeTo(actual, expected, within)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "read (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
           << expected.r << ", " << expected.g << ", " << expected.b << ") within " << within;
}

// Clears and loads the view of a camera posed like this, as a frame does.
void look(Vec3 eye, Vec3 centre, Vec3 up) {
    Camera camera;
    cameraSetPose(camera, eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    cameraApply(camera);
}

Rgb pixelAt(int x, int y) {
    GLHarnessPixel p = glHarnessPixel(x, y);
    return Rgb{p.r, p.g, p.b};
}

// The pixel that shows a world point under the current view.
Rgb pixelOf(Vec3 world) {
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x = 0, y = 0, z = 0;
    gluProject(world.x, world.y, world.z, model, projection, viewport, &x, &y, &z);
    return pixelAt(static_cast<int>(x), static_cast<int>(y));
}

Rgb centrePixel() {
    return pixelAt(400, 300);
}

int countPixels(Rgb colour, int within = 1) {
    const std::vector<uint8_t> rgb = glHarnessReadRgb();
    int count = 0;
    for (size_t at = 0; at + 2 < rgb.size(); at += 3) {
        if (closeTo(Rgb{rgb[at], rgb[at + 1], rgb[at + 2]}, colour, within)) ++count;
    }
    return count;
}

int countPixelsOtherThan(Rgb colour) {
    return static_cast<int>(glHarnessReadRgb().size() / 3) - countPixels(colour, 0);
}

Vec3 sub(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 add(Vec3 a, Vec3 b, float times = 1.0f) {
    return Vec3{a.x + b.x * times, a.y + b.y * times, a.z + b.z * times};
}

class SceneGl : public ::testing::Test {
protected:
    static bool opened;
    KeyTable keys;
    GLWindow window;
    std::vector<GLuint> texturesToDelete;

    static void SetUpTestSuite() {
        ASSERT_TRUE(writeFlatBmp("brickblue.bmp", occluderFileColour));
        ASSERT_TRUE(writeFlatBmp("Ziegel1.bmp", roomFileColour));
        opened = glHarnessOpen(800, 600);
    }

    static void TearDownTestSuite() {
        glHarnessClose();
    }

    void SetUp() override {
        ASSERT_TRUE(opened) << "no GL context";
        std::memset(&keys, 0, sizeof keys);
        std::memset(&window, 0, sizeof window);
        window.keys = &keys;
        window.deviceContext = platformGetDC(platformGetFocus());
        window.width = 800;
        window.height = 600;
        window.bitsPerPixel = 32;
        window.isVisible = 1;
        // As after windowCreate: the program's projection, identity model-view.
        viewportResize(800, 600);
        ASSERT_EQ(sceneInit(&window, &keys), 1);
        texturesToDelete.assign(textureIds, textureIds + 2);
    }

    void TearDown() override {
        if (!opened) return;
        sceneShutdown();
        glDeleteTextures(static_cast<GLsizei>(texturesToDelete.size()), texturesToDelete.data());
    }

    GLuint checkerTexture() {
        GLuint name = makeCheckerTexture();
        texturesToDelete.push_back(name);
        return name;
    }
};

bool SceneGl::opened = false;

}  // namespace

TEST_F(SceneGl, InitLoadsBothTexturesAndPlacesTheLight) {
    // The files' colours come back through the room and the occluder.
    look(Vec3{0, 0, 0}, Vec3{0, 0, -1}, Vec3{0, 1, 0});
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), roomFileColour));
    look(Vec3{0, 0, 10}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_TRUE(near(centrePixel(), occluderFileColour));
    // The clear colour is the blue that shows through the open sides.
    look(Vec3{0, 0, 0}, Vec3{0, 0, 1}, Vec3{0, 1, 0});
    EXPECT_TRUE(near(centrePixel(), clearColour));

    // A point light at the light's position.
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[0], lightPosition.x);
    EXPECT_FLOAT_EQ(light[1], lightPosition.y);
    EXPECT_FLOAT_EQ(light[2], lightPosition.z);
    EXPECT_FLOAT_EQ(light[3], 1.0f);
}

TEST_F(SceneGl, InitAgainResetsPoseAndOccluderButKeepsLightAndPitch) {
    lightPosition = Vec3{1, 2, 3};
    accumulatedPitch = 0.5f;
    cameraSetPose(sceneCamera, 7, 7, 7, 7, 7, 8, 0, 0, 1);
    occluderSetLight(sceneOccluder, Vec3{9, 9, 9});
    for (OccluderFace& face : sceneOccluder.faces) {
        face.castsShadow = 1;
        for (Vec3& corner : face.extruded) corner = Vec3{4, 4, 4};
    }

    // What the shell does for a display-mode toggle.
    sceneShutdown();
    glDeleteTextures(2, textureIds);
    texturesToDelete.clear();
    viewportResize(800, 600);
    ASSERT_EQ(sceneInit(&window, &keys), 1);
    texturesToDelete.assign(textureIds, textureIds + 2);

    EXPECT_EQ(sceneCamera.position.x, 0.0f);
    EXPECT_EQ(sceneCamera.position.y, 0.0f);
    EXPECT_EQ(sceneCamera.position.z, 0.0f);
    EXPECT_EQ(sceneCamera.viewPoint.x, 1.0f);
    EXPECT_EQ(sceneCamera.viewPoint.z, 0.0f);
    EXPECT_EQ(sceneCamera.upVector.y, 1.0f);
    EXPECT_EQ(sceneCamera.upVector.z, 0.0f);
    EXPECT_EQ(lightPosition.x, 1.0f);
    EXPECT_EQ(lightPosition.y, 2.0f);
    EXPECT_EQ(lightPosition.z, 3.0f);
    EXPECT_EQ(accumulatedPitch, 0.5f);
    for (const OccluderFace& face : sceneOccluder.faces) {
        EXPECT_EQ(face.light.x, 5.0f);
        EXPECT_EQ(face.light.y, 1.0f);
        EXPECT_EQ(face.light.z, 5.0f);
        EXPECT_EQ(face.extruded[3].x, 0.0f);
        EXPECT_EQ(face.castsShadow, 1);
    }
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[0], 1.0f);
    EXPECT_FLOAT_EQ(light[1], 2.0f);
    EXPECT_FLOAT_EQ(light[2], 3.0f);

    // The new textures carry the files' pictures.
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    cameraApply(sceneCamera);  // looking at the right wall from the centre
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), roomFileColour));

    lightPosition = Vec3{5, 1, 5};
    accumulatedPitch = 0.0f;
}

TEST_F(SceneGl, RoomSeenFromInsideAtFullAndShadowTint) {
    struct View {
        const char* name;
        Vec3 eye, centre, up;
    };
    const View views[] = {
        {"back wall", {0, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {"left wall", {0, 0, 0}, {-1, 0, 0}, {0, 1, 0}},
        {"right wall", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        {"floor", {0, 0, 0}, {0, -1, 0}, {0, 0, -1}},
        {"floor from above the open top", {0, 30, 0}, {0, 0, 0}, {0, 0, -1}},
        {"back wall through the open front", {0, 0, 30}, {0, 0, 0}, {0, 1, 0}},
    };
    for (const View& v : views) {
        SCOPED_TRACE(v.name);
        look(v.eye, v.centre, v.up);
        roomDrawTinted(1.0f);
        const Rgb lit = centrePixel();
        EXPECT_TRUE(near(lit, roomFileColour));
        // The same surfaces again at the shadow grey pass the depth test and
        // come out at 0.55 of the lit colour.
        roomDrawTinted(0.55f);
        EXPECT_TRUE(near(centrePixel(), scaled(lit, 0.55f), 2));
    }

    // No ceiling and no front wall: the clear colour shows.
    look(Vec3{0, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1});
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), clearColour));
    look(Vec3{0, 0, 0}, Vec3{0, 0, 1}, Vec3{0, 1, 0});
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), clearColour));
}

TEST_F(SceneGl, RoomIsCulledFromOutside) {
    // Behind the back wall, looking in: the wall is culled and the view goes
    // through the room and out of its open front.
    look(Vec3{0, 0, -30}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), clearColour));
    // Below the floor, looking up: out through the open top.
    look(Vec3{0, -30, 0}, Vec3{0, 0, 0}, Vec3{0, 0, 1});
    roomDrawTinted(1.0f);
    EXPECT_TRUE(near(centrePixel(), clearColour));
    // Outside the left wall: through it onto the inside of the right wall.
    look(Vec3{-30, 0, 0}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    textureIds[1] = checkerTexture();
    roomDrawTinted(1.0f);
    // Points chosen so that the left wall, were it drawn, would show
    // different texels where its plane crosses the same view rays.
    for (Vec3 point : {Vec3{10, 1.5f, 0.5f}, Vec3{10, 1.5f, 2.5f}}) {
        EXPECT_TRUE(near(pixelOf(point), checkerAt(point.z / 2 + 5, point.y / 2 + 5)));
    }
}

TEST_F(SceneGl, RoomTextureRepeatsEveryTwoUnits) {
    textureIds[1] = checkerTexture();
    struct Face {
        const char* name;
        Vec3 centre, up;
        // The surface point for two in-plane coordinates a, b, and its (s, t).
        Vec3 (*point)(float a, float b);
        float (*s)(float a, float b);
        float (*t)(float a, float b);
    };
    const Face faces[] = {
        {"back wall", {0, 0, -1}, {0, 1, 0}, [](float a, float b) { return Vec3{a, b, -10}; },
         [](float a, float) { return a / 2 + 5; }, [](float, float b) { return b / 2 + 5; }},
        {"left wall", {-1, 0, 0}, {0, 1, 0}, [](float a, float b) { return Vec3{-10, b, a}; },
         [](float a, float) { return a / 2 - 5; }, [](float, float b) { return b / 2 - 5; }},
        {"right wall", {1, 0, 0}, {0, 1, 0}, [](float a, float b) { return Vec3{10, b, a}; },
         [](float a, float) { return a / 2 + 5; }, [](float, float b) { return b / 2 + 5; }},
        {"floor", {0, -1, 0}, {0, 0, -1}, [](float a, float b) { return Vec3{b, -10, a}; },
         [](float a, float) { return a / 2 + 5; }, [](float, float b) { return b / 2 + 5; }},
    };
    // Points at texel centres, well inside the view from the room's centre.
    const float coordinates[] = {-4.5f, -2.5f, -1.5f, -0.5f, 0.5f, 1.5f, 3.5f};
    for (const Face& face : faces) {
        SCOPED_TRACE(face.name);
        look(Vec3{0, 0, 0}, face.centre, face.up);
        roomDrawTinted(1.0f);
        int mismatches = 0;
        for (float a : coordinates) {
            for (float b : coordinates) {
                const Rgb expected = checkerAt(face.s(a, b), face.t(a, b));
                if (!closeTo(pixelOf(face.point(a, b)), expected, 1)) ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(SceneGl, OccluderFacesShowTheirTextureFromOutside) {
    occluderSetLight(sceneOccluder, Vec3{0, 0, 1});  // marker hidden inside
    const GLuint flat = textureIds[0];
    const GLuint checkered = checkerTexture();
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        const OccluderFace& face = sceneOccluder.faces[f];
        const Vec3 u = sub(face.corners[2], face.corners[1]);
        const Vec3 v = sub(face.corners[0], face.corners[1]);
        const Vec3 outward = vecNormalize(vecCross(sub(face.corners[1], face.corners[0]),
                                                   sub(face.corners[2], face.corners[0])));
        const Vec3 centre = add(face.corners[1], add(u, v), 0.5f);
        const Vec3 up = std::fabs(outward.y) > 0.5f ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        look(add(centre, outward, 6), centre, up);

        textureIds[0] = flat;
        occluderDraw(sceneOccluder);
        EXPECT_TRUE(near(centrePixel(), occluderFileColour));

        // The texture is stretched once over the face: corners[1] at (0, 0),
        // corners[2] at (1, 0), corners[0] at (0, 1).
        look(add(centre, outward, 6), centre, up);
        textureIds[0] = checkered;
        occluderDraw(sceneOccluder);
        for (float a : {0.25f, 0.75f}) {
            for (float b : {0.25f, 0.75f}) {
                const Vec3 point = add(add(face.corners[1], u, a), v, b);
                EXPECT_TRUE(near(pixelOf(point), checkerAt(a, b))) << "at " << a << ", " << b;
            }
        }
    }
    textureIds[0] = flat;
}

TEST_F(SceneGl, OccluderIsInvisibleFromInside) {
    occluderSetLight(sceneOccluder, Vec3{0, 0, 1.5f});
    const Vec3 eye{0, 0, 1};
    const Vec3 directions[][2] = {
        {{1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}},
        {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}},
    };
    for (const auto& direction : directions) {
        look(eye, add(eye, direction[0]), direction[1]);
        occluderDraw(sceneOccluder);
        EXPECT_EQ(countPixelsOtherThan(clearColour), 0);
    }
}

TEST_F(SceneGl, LightMarkerIsAYellowSquareSeenFromGreaterZ) {
    // After sceneInit the faces hold the light's starting position.
    const Vec3 light{5, 1, 5};
    look(Vec3{5, 1, 10}, light, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_TRUE(near(centrePixel(), yellow));
    // A square of side 1 centred on the light.
    for (float offset : {-0.4f, 0.4f}) {
        EXPECT_TRUE(near(pixelOf(Vec3{5 + offset, 1 + offset, 5}), yellow));
        EXPECT_TRUE(near(pixelOf(Vec3{5 + offset, 1 - offset, 5}), yellow));
    }
    for (float offset : {-0.6f, 0.6f}) {
        EXPECT_TRUE(near(pixelOf(Vec3{5 + offset, 1, 5}), clearColour));
        EXPECT_TRUE(near(pixelOf(Vec3{5, 1 + offset, 5}), clearColour));
    }

    // From lesser z it is culled; level with it, it is edge-on.
    look(Vec3{5, 1, 0}, light, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_EQ(countPixels(yellow), 0);
    look(Vec3{12, 1, 5}, light, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_EQ(countPixels(yellow), 0);
}

TEST_F(SceneGl, LightMarkerIsHiddenBehindTheBoxAndTheWalls) {
    // Behind the box, seen from in front of it.
    occluderSetLight(sceneOccluder, Vec3{0, 0, -3});
    look(Vec3{0, 0, 10}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_TRUE(near(centrePixel(), occluderFileColour));
    EXPECT_EQ(countPixels(yellow), 0);

    // Inside the box.
    occluderSetLight(sceneOccluder, Vec3{0, 0, 1});
    look(Vec3{0, 0, 10}, Vec3{0, 0, 0}, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_EQ(countPixels(yellow), 0);

    // Beyond the back wall: shown without the room, hidden with it, whichever
    // is drawn first.
    occluderSetLight(sceneOccluder, Vec3{0, 5, -15});
    look(Vec3{0, 5, 5}, Vec3{0, 5, -15}, Vec3{0, 1, 0});
    occluderDraw(sceneOccluder);
    EXPECT_GT(countPixels(yellow), 100);
    roomDrawTinted(1.0f);
    EXPECT_EQ(countPixels(yellow), 0);
    look(Vec3{0, 5, 5}, Vec3{0, 5, -15}, Vec3{0, 1, 0});
    roomDrawTinted(1.0f);
    occluderDraw(sceneOccluder);
    EXPECT_EQ(countPixels(yellow), 0);
}

TEST_F(SceneGl, DrawingLeavesLightingAndTexturingOn) {
    // The frame's text colour comes from GL lighting, and the shadow pass
    // counts on the room to switch lighting back on.
    look(Vec3{0, 0, 0}, Vec3{0, 0, -1}, Vec3{0, 1, 0});
    GLint bound = 0;
    glDisable(GL_LIGHTING);
    roomDrawTinted(0.55f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureIds[1]);

    glDisable(GL_LIGHTING);
    occluderDraw(sceneOccluder);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureIds[0]);
}
