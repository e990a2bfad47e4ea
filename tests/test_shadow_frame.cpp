// The complete soft-shadow frame on a real GL context, read back pixel by
// pixel. Both textures are flat colours, so every room pixel must come out
// as its colour times the share of the ten passes in which the point sees
// the light (0.095 each) plus the share in which it does not (0.095 x 0.55
// each). Which passes see the light is computed here independently, by
// casting a segment from each jittered light to the point against the box.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/window.h"
#include "gl_harness.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "shadow/frame.h"

namespace {

const int roomColour[3] = {200, 120, 60};
const int boxColour[3] = {40, 80, 220};

void writeFlatBmp(const char* name, const int rgb[3]) {
    const int side = 4;
    const int rowBytes = side * 3;
    const int imageBytes = rowBytes * side;
    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    const int fileSize = 54 + imageBytes;
    std::memcpy(header + 2, &fileSize, 4);
    const int offset = 54, infoSize = 40, planes = 1, bits = 24;
    std::memcpy(header + 10, &offset, 4);
    std::memcpy(header + 14, &infoSize, 4);
    std::memcpy(header + 18, &side, 4);
    std::memcpy(header + 22, &side, 4);
    std::memcpy(header + 26, &planes, 2);
    std::memcpy(header + 28, &bits, 2);
    FILE* file = std::fopen(name, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(header, 1, sizeof header, file);
    for (int i = 0; i < side * side; ++i) {
        const unsigned char bgr[3] = {static_cast<unsigned char>(rgb[2]),
                                      static_cast<unsigned char>(rgb[1]),
                                      static_cast<unsigned char>(rgb[0])};
        std::fwrite(bgr, 1, 3, file);
    }
    std::fclose(file);
}

// Does the segment from a to b pass through the box [lo, hi]?
bool segmentHitsBox(Vec3 a, Vec3 b, Vec3 lo, Vec3 hi) {
    double t0 = 0.0, t1 = 1.0;
    const double start[3] = {a.x, a.y, a.z};
    const double delta[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const double low[3] = {lo.x, lo.y, lo.z};
    const double high[3] = {hi.x, hi.y, hi.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(delta[axis]) < 1e-12) {
            if (start[axis] < low[axis] || start[axis] > high[axis]) return false;
            continue;
        }
        double near = (low[axis] - start[axis]) / delta[axis];
        double far = (high[axis] - start[axis]) / delta[axis];
        if (near > far) std::swap(near, far);
        t0 = std::max(t0, near);
        t1 = std::min(t1, far);
        if (t0 > t1) return false;
    }
    return true;
}

const Vec3 boxLow{-2, -2, 0};
const Vec3 boxHigh{2, 2, 2};

// In how many of the ten passes the box hides the light from `point`.
int shadowedPasses(Vec3 light, Vec3 point) {
    int count = 0;
    for (int pass = 0; pass < framePassCount; ++pass) {
        const Vec3 offset = frameJitterOffset(pass);
        const Vec3 jittered{light.x + offset.x, light.y + offset.y, light.z + offset.z};
        if (segmentHitsBox(jittered, point, boxLow, boxHigh)) ++count;
    }
    return count;
}

// The value a room channel of colour `c` must read when shadowed in `s` of
// the ten passes: each pass's picture is stored in 8 bits before it is
// accumulated.
double expectedChannel(int c, int s) {
    const double lit = c / 255.0;
    const double dark = std::round(c * 0.55) / 255.0;
    return 255.0 * (0.095 * (10 - s) * lit + 0.095 * s * dark);
}

struct Sample {
    int x, y;           // window pixel
    int shadowed;       // passes in shadow
};

class ShadowFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        writeFlatBmp("brickblue.bmp", boxColour);
        writeFlatBmp("Ziegel1.bmp", roomColour);
        opened = glHarnessOpen(800, 600);
        if (!opened) return;
        window.keys = &keys;
        window.width = 800;
        window.height = 600;
        ASSERT_EQ(sceneInit(&window, &keys), 1);
        viewportResize(800, 600);
    }
    static void TearDownTestSuite() {
        if (opened) sceneShutdown();
        glHarnessClose();
    }
    void SetUp() override {
        ASSERT_TRUE(opened) << "no GL context";
        showRays = 0;
        fpsValue = 0;
        lightPosition = Vec3{5, 1, 5};
        cameraSetPose(sceneCamera, 0, 0, 9.9f, 0, 0, -10, 0, 1, 0);
    }

    // World point to window pixel with the frame's own matrices.
    static bool project(Vec3 p, int* x, int* y) {
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx, wy, wz;
        if (!gluProject(p.x, p.y, p.z, model, projection, viewport, &wx, &wy, &wz)) return false;
        if (wz <= 0 || wz >= 1) return false;
        *x = static_cast<int>(std::floor(wx));
        *y = static_cast<int>(std::floor(wy));
        return *x >= 2 && *y >= 2 && *x < 798 && *y < 598;
    }

    // Room points on the back wall and the floor whose pixels show the room
    // (not the box, the marker or the text) and whose shadow count does not
    // change within a small neighbourhood (so a pixel's rounding cannot put
    // it on the other side of an edge).
    std::vector<Sample> roomSamples(Vec3 light) {
        std::vector<Sample> samples;
        const Vec3 eye = sceneCamera.position;
        auto consider = [&](Vec3 p, Vec3 du, Vec3 dv) {
            const int s = shadowedPasses(light, p);
            const double step = 0.12;
            for (int i = -1; i <= 1; ++i) {
                for (int j = -1; j <= 1; ++j) {
                    const Vec3 q{p.x + (du.x * i + dv.x * j) * float(step),
                                 p.y + (du.y * i + dv.y * j) * float(step),
                                 p.z + (du.z * i + dv.z * j) * float(step)};
                    if (shadowedPasses(light, q) != s) return;
                }
            }
            // Hidden behind the box, or near the light's marker?
            if (segmentHitsBox(eye, p, Vec3{-2.2f, -2.2f, -0.2f}, Vec3{2.2f, 2.2f, 2.2f})) return;
            const Vec3 markerLow{light.x - 1, light.y - 1, light.z - 0.5f};
            const Vec3 markerHigh{light.x + 1, light.y + 1, light.z + 0.5f};
            if (segmentHitsBox(eye, p, markerLow, markerHigh)) return;
            int x, y;
            if (!project(p, &x, &y)) return;
            if (x < 330 && y < 110) return;  // the frame-rate text
            samples.push_back(Sample{x, y, s});
        };
        for (float u = -9.25f; u <= 9.25f; u += 0.5f) {
            for (float v = -9.25f; v <= 9.25f; v += 0.5f) {
                consider(Vec3{u, v, -10}, Vec3{1, 0, 0}, Vec3{0, 1, 0});   // back wall
                consider(Vec3{u, -10, v}, Vec3{1, 0, 0}, Vec3{0, 0, 1});   // floor
            }
        }
        return samples;
    }

    void expectRoomShading(Vec3 light) {
        lightPosition = light;
        sceneDraw();
        const std::vector<Sample> samples = roomSamples(light);
        int lit = 0, full = 0, partial = 0, wrong = 0;
        for (const Sample& sample : samples) {
            const GLHarnessPixel pixel = glHarnessPixel(sample.x, sample.y);
            const int got[3] = {pixel.r, pixel.g, pixel.b};
            bool ok = true;
            for (int c = 0; c < 3; ++c) {
                if (std::fabs(got[c] - expectedChannel(roomColour[c], sample.shadowed)) > 3.0) {
                    ok = false;
                }
            }
            if (!ok && wrong++ < 8) {
                ADD_FAILURE() << "pixel (" << sample.x << ", " << sample.y << ") shadowed in "
                              << sample.shadowed << " passes reads " << got[0] << " " << got[1]
                              << " " << got[2] << ", expected "
                              << expectedChannel(roomColour[0], sample.shadowed) << " "
                              << expectedChannel(roomColour[1], sample.shadowed) << " "
                              << expectedChannel(roomColour[2], sample.shadowed);
            }
            if (sample.shadowed == 0) ++lit;
            else if (sample.shadowed == 10) ++full;
            else ++partial;
        }
        EXPECT_EQ(wrong, 0);
        // The view must really have shown all three kinds of pixel.
        EXPECT_GT(lit, 50);
        EXPECT_GT(full, 20);
        EXPECT_GT(partial, 3);
    }

    static bool opened;
    static GLWindow window;
    static KeyTable keys;
};

bool ShadowFrame::opened = false;
GLWindow ShadowFrame::window{};
KeyTable ShadowFrame::keys{};

}  // namespace

TEST_F(ShadowFrame, AccumulationFollowsPlainArithmetic) {
    // Every accumulated value depends on this: half of white comes back as
    // half, not as the sRGB-encoded 188.
    ASSERT_GE(glHarnessAccumRedBits(), 8);
    ASSERT_GE(glHarnessStencilBits(), 1);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_ACCUM_BUFFER_BIT);
    glAccum(GL_ACCUM, 0.5f);
    glAccum(GL_RETURN, 1.0f);
    const GLHarnessPixel pixel = glHarnessPixel(400, 300);
    EXPECT_NEAR(pixel.r, 127.5, 1.0);
    glClearColor(0, 0, 1, 0.9f);
}

TEST_F(ShadowFrame, RoomPixelsAreLitShadowedOrGradedAsTheTenLightsSay) {
    expectRoomShading(Vec3{5, 1, 5});
}

TEST_F(ShadowFrame, WhereSeveralFacesCastThePixelIsDarkenedOnce) {
    // Three faces face this light; behind the box their volumes overlap.
    expectRoomShading(Vec3{3, 3, 3});
}

TEST_F(ShadowFrame, TheBoxShowsAtFullColourAndTheLightEndsWhereItBegan) {
    lightPosition = Vec3{5, 1, 5};
    sceneDraw();
    EXPECT_EQ(lightPosition.x, 5.0f);
    EXPECT_EQ(lightPosition.y, 1.0f);
    EXPECT_EQ(lightPosition.z, 5.0f);
    // The front face of the box, never darkened.
    int x, y;
    ASSERT_TRUE(project(Vec3{-1, -1, 2}, &x, &y));
    const GLHarnessPixel front = glHarnessPixel(x, y);
    EXPECT_NEAR(front.r, boxColour[0], 2);
    EXPECT_NEAR(front.g, boxColour[1], 2);
    EXPECT_NEAR(front.b, boxColour[2], 2);
    // The light's marker is drawn at the last pass's light, in yellow.
    ASSERT_TRUE(project(Vec3{5 - 0.14f, 1, 5.03075f}, &x, &y));
    const GLHarnessPixel marker = glHarnessPixel(x, y);
    EXPECT_EQ(marker.r, 255);
    EXPECT_EQ(marker.g, 255);
    EXPECT_EQ(marker.b, 0);
    // The open top shows the clear colour.
    ASSERT_TRUE(project(Vec3{0, 10.5f, -5}, &x, &y));
    const GLHarnessPixel sky = glHarnessPixel(x, y);
    EXPECT_EQ(sky.r, 0);
    EXPECT_EQ(sky.g, 0);
    EXPECT_NEAR(sky.b, 0.95 * 255, 2);
}

TEST_F(ShadowFrame, HeldSpaceAddsFaintRaysAndDarkensNothing) {
    lightPosition = Vec3{5, 1, 5};
    showRays = 0;
    sceneDraw();
    const std::vector<uint8_t> without = glHarnessReadRgb();
    showRays = 1;
    sceneDraw();
    const std::vector<uint8_t> with = glHarnessReadRgb();
    ASSERT_EQ(without.size(), with.size());
    int brighter = 0, darker = 0;
    for (size_t i = 0; i + 2 < with.size(); i += 3) {
        const int change = (with[i] + with[i + 1] + with[i + 2]) -
                           (without[i] + without[i + 1] + without[i + 2]);
        if (change > 6) ++brighter;
        if (change < -6) ++darker;
    }
    EXPECT_GT(brighter, 100) << "the rays must show";
    // Only where the rays themselves hide some of the room; a ray pixel is
    // white at the pass weight over the room, which is never darker.
    EXPECT_LT(darker, brighter / 4);
}

TEST_F(ShadowFrame, TheFrameRateIsPrintedInTheLowerLeft) {
    lightPosition = Vec3{5, 1, 5};
    fpsValue = 0;
    sceneDraw();
    const std::vector<uint8_t> zero = glHarnessReadRgb();
    fpsValue = 888;
    sceneDraw();
    const std::vector<uint8_t> many = glHarnessReadRgb();
    int changedInCorner = 0, changedElsewhere = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const size_t i = (static_cast<size_t>(y) * 800 + x) * 3;
            if (std::memcmp(&zero[i], &many[i], 3) == 0) continue;
            if (x < 330 && y < 110) ++changedInCorner;
            else ++changedElsewhere;
        }
    }
    EXPECT_GT(changedInCorner, 30);
    EXPECT_EQ(changedElsewhere, 0);
}
