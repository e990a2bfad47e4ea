// The passes counted instead of drawn whole, checked where a fault would
// hide in the finished frame: the counts themselves against the geometry,
// the silhouette's volumes against each face's own, and the composition of
// every value and count against the accumulation buffer's arithmetic.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "draw/compose.h"
#include "draw/draw.h"
#include "frame_scene.h"
#include "geometry/room.h"
#include "gl_harness.h"
#include "scene/scene.h"
#include "shadow/counted.h"
#include "shadow/frame.h"
#include "shadow/light.h"
#include "shadow/stencil.h"

namespace {

// The counts a frame keeps, before they are composed: the window's colour
// where they were kept, 0 elsewhere.
Image counts(Vec3 light, Vec3 eye, Vec3 centre) {
    Camera camera;
    cameraSetPose(camera, eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
    const ReachRect kept = countedPassesDraw(FrameInput{camera, light, showRays, 0}, sceneOccluder);
    Image shown = glHarnessReadRgb();
    for (size_t i = 0; i < shown.size(); ++i) {
        const int x = int(i / 3 % 800), y = int(i / 3 / 800);
        if (x < kept.x0 || x >= kept.x1 || y < kept.y0 || y >= kept.y1) shown[i] = 0;
    }
    return shown;
}

}  // namespace

TEST(CountedGl, EachPixelCountsThePassesThatShadeItOrShowTheMarker) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    if (frameWaySetUp(frameWayCounted) != frameWayCounted) GTEST_SKIP() << "no counting here";
    const Vec3 eye{0, 0, 9.9f}, ahead{0, 0, -10};
    // {light, marker's pixel: counted in every pass, or hidden by the box}
    const Vec3 lights[] = {{5, 1, 5}, {3, 3, 3}, {-30, 1, 5}, {0, 0, 1}, {0, 0, -1}};
    int shaded = 0;
    for (const Vec3& light : lights) {
        const Image got = counts(light, eye, ahead);
        int wrong = 0, x, y;
        auto expect = [&](Vec3 p, Rgb want, const char* what) {
            if (!project(p, &x, &y) || pixelIn(got, y * 800 + x) == want || wrong++ > 3) return;
            ADD_FAILURE() << what << " at " << p.x << ", " << p.y << ", " << p.z << " (light "
                          << light.x << ", " << light.y << ", " << light.z << ") counts "
                          << ::testing::PrintToString(pixelIn(got, y * 800 + x)) << " not "
                          << ::testing::PrintToString(want);
        };
        // Room points away from the marker and the box's outline: red counts
        // the passes whose light the box hides.
        const Vec3 margin{1, 1, 0.5f};
        for (int f = 0; f < 4; ++f)
            for (int k = 0; k < 19 * 19; ++k) {
                const int fixed[] = {2, 0, 0, 1}, at[] = {-10, -10, 10, -10};
                const Vec3 p =
                    onPlane(fixed[f], static_cast<float>(at[f]), -9 + k / 19, -9 + k % 19);
                if (segmentHitsBox(eye, p, light - margin, light + margin) ||
                    segmentHitsBox(eye, p, boxLow - grow, boxHigh + grow))
                    continue;
                const int s = shadowedPasses(light, p);
                bool steady = true;
                for (int n = 0; n < 9; ++n)
                    steady = steady &&
                             shadowedPasses(light, p + onPlane(fixed[f], 0, (n / 3 - 1) * 0.12f,
                                                               (n % 3 - 1) * 0.12f)) == s;
                if (steady) shaded += s > 0, expect(p, Rgb{s, 0, 0}, "room");
            }
        // The marker's middle lies inside every pass's marker: green counts
        // all ten, unless the box stands before it, and nothing else counts
        // there.
        const bool hidden = segmentHitsBox(eye, light, boxLow, boxHigh);
        expect(light, Rgb{0, hidden ? 0 : 10, 0}, hidden ? "hidden marker" : "marker");
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_GT(shaded, 100) << "room points in shadow";
    showRays = 1;  // each pass's rays, counted in blue, not in green or red
    const Image rays = counts(lights[0], eye, ahead);
    showRays = 0;
    int blue = 0, mixed = 0;
    for (size_t i = 0; i < rays.size() / 3; ++i)
        blue += pixelIn(rays, i)[2] > 0,
            mixed += pixelIn(rays, i)[0] + pixelIn(rays, i)[1] + pixelIn(rays, i)[2] > 10;
    EXPECT_TRUE(blue > 300 && mixed == 0)
        << blue << " pixels under rays, " << mixed << " counted past ten";
}

TEST(CountedGl, TheSilhouetteCountsAsEachFacesOwnVolume) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    // Lights: the start, three faces casting, in the top face's plane, in
    // the right face's plane, far out, inside the box. Views: from the
    // open front, along the floor, and from inside the start light's volume.
    // One pass drawn whole darkens the room with each casting face's own
    // volume; the silhouette's count must darken the same pixels.
    const Vec3 lights[] = {{5, 1, 5}, {3, 3, 3}, {0, 2, 5}, {2, 0, 5}, {-30, 1, 5}, {0, 0, 1}};
    const Vec3 views[][2] = {{{0, 0, 9.9f}, {0, 0, -10}},
                             {{0, -1, -0.5f}, {10, -1, -1.5f}},
                             {{-5, -1, -3}, {-10, -1, -8}}};
    for (const Vec3& light : lights) {
        int dark = 0, unlike = 0;
        for (const auto& view : views) {
            Image shaded[2];
            for (int silhouette = 0; silhouette < 2; ++silhouette) {
                cameraSetPose(sceneCamera, view[0].x, view[0].y, view[0].z, view[1].x, view[1].y,
                              view[1].z, 0, 1, 0);
                drawStencilMask(~0u),
                    drawClear(drawColourBuffer | drawDepthBuffer | drawStencilBuffer);
                drawLoadIdentity(), cameraApply(sceneCamera);
                occluderSetLight(sceneOccluder, light);
                occluderBoxDraw(sceneOccluder), roomDrawTinted(1.0f);
                if (!silhouette) {
                    occluderCastShadows(sceneOccluder, 0);
                } else {
                    occluderChooseCasters(sceneOccluder), drawEnable(drawStencilTest);
                    shadowVolumesCount(sceneOccluder, drawCountVolumeBits);
                    drawStencilFunc(drawEqual, 1, 1), drawStencilOp(drawKeep, drawKeep, drawKeep);
                    roomDrawTinted(shadowTint), drawDisable(drawStencilTest);
                }
                shaded[silhouette] = glHarnessReadRgb();
            }
            for (size_t i = 0; i < shaded[0].size() / 3; ++i)
                dark += near(pixelIn(shaded[1], i), Rgb{110, 66, 33}),  // the room x 0.55
                    unlike += pixelIn(shaded[0], i) != pixelIn(shaded[1], i);
        }
        const bool inside = light.x == 0 && light.y == 0;
        EXPECT_TRUE(unlike == 0 && (inside ? dark == 0 : dark > 1000))
            << unlike << " pixels unlike, " << dark << " dark, light " << light.x << ", " << light.y
            << ", " << light.z;
    }
}

TEST(CountedGl, TheComposedFrameAddsEveryValueAndCountAsTheBufferWould) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    if (frameWaySetUp(frameWayCounted) != frameWayCounted) GTEST_SKIP() << "no counting here";
    // Every count of passes in shadow, under the marker and under a ray
    // (286 rows of {shadow, marker, rays}), over every 8-bit value (256
    // columns): the kept picture and the counts, each a texture shown texel
    // for texel, each count in its own channel.
    const int passes = lightPassCount;
    std::vector<Rgb> rows;
    for (int k = 0; k <= passes; ++k)
        for (int g = 0; k + g <= passes; ++g)
            for (int b = 0; k + g + b <= passes; ++b) rows.push_back(Rgb{k, g, b});
    const int width = 256, height = static_cast<int>(rows.size());
    std::vector<uint8_t> lit, counted;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            lit.insert(lit.end(), {uint8_t(x), uint8_t(x * 5 + y), uint8_t(x * 11 + y * 3)});
            uint8_t texel[3];
            texel[drawCountShadow] = uint8_t(rows[y][0]);
            texel[drawCountMarker] = uint8_t(rows[y][1]);
            texel[drawCountRays] = uint8_t(rows[y][2]);
            counted.insert(counted.end(), texel, texel + 3);
        }
    uint32_t textures[2];
    for (int t = 0; t < 2; ++t) {
        drawTextureBind(textures[t] = drawTextureCreate()), glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     (t == 0 ? lit : counted).data());
    }
    drawDisable(drawDepthTest), drawDisable(drawLighting);
    drawMatrixMode(drawProjection), drawPushMatrix(), drawLoadIdentity();
    drawMatrixMode(drawModelView), drawPushMatrix(), drawLoadIdentity();
    // Rows [from, to) of picture t, textured in `tint` or flat in `flat`.
    auto show = [&](int t, int from, int to, float tint, const float* flat) {
        drawTextureBind(textures[t]);
        flat ? drawDisable(drawTexturing) : drawEnable(drawTexturing);
        flat ? drawColor4f(flat[0], flat[1], flat[2], 1) : drawColor4f(tint, tint, tint, 1);
        drawBegin(drawTriangleStrip);
        for (int corner = 0; corner < 4; ++corner) {
            const int row = corner / 2 ? to : from;
            // Some rows only where the accumulation buffer sums: with gl1.
            drawTexCoord2i(corner & 1, corner / 2);
            if (to - from < height) glTexCoord2f(corner & 1, row / float(height));
            drawVertex3f(corner & 1 ? width / 400.0f - 1 : -1, row / 300.0f - 1, 0);
        }
        drawEnd(), drawEnable(drawTexturing);
    };
    // Around the counts, three passes of each kind that must not be kept.
    // The first row counts none: left out of those kept, it is composed as
    // where nothing counts, every value of it exactly as the counts 0 give.
    drawClear(drawColourBuffer), show(0, 0, height, 1, nullptr), drawComposeKeepBase();
    drawClearColor(3 / 255.0f, 3 / 255.0f, 3 / 255.0f, 0), drawClear(drawColourBuffer);
    show(1, 0, height, 1, nullptr), drawComposeKeepCounts(0, 1, width, height - 1);
    drawClearColor(sceneClearColour[0], sceneClearColour[1], sceneClearColour[2],
                   sceneClearColour[3]);
    drawCompose(passes, lightPassWeight(passes), drawComposeFrame);
    const Image composed = glHarnessReadRgb();
    // The same ten passes drawn whole and summed in the accumulation buffer,
    // where there is one: pass p shows a row's room in shadow, its marker's
    // yellow, its rays' white, or the room lit.
    Image summed;
    if (drawAccumBits() >= 16) {
        const float yellowLevels[3] = {1, 1, 0}, white[3] = {1, 1, 1};
        drawClear(drawAccumBuffer);
        for (int p = 0; p < passes; ++p) {
            drawClear(drawColourBuffer);
            for (int y = 0; y < height; ++y) {
                const Rgb& n = rows[y];
                if (p < n[0])
                    show(0, y, y + 1, shadowTint, nullptr);
                else if (p < n[0] + n[1])
                    show(0, y, y + 1, 1, yellowLevels);
                else if (p < n[0] + n[1] + n[2])
                    show(0, y, y + 1, 1, white);
                else
                    show(0, y, y + 1, 1, nullptr);
            }
            drawAccumAdd(lightPassWeight(passes));
        }
        drawAccumReturn(1), summed = glHarnessReadRgb();
    }
    drawMatrixMode(drawProjection), drawPopMatrix(), drawMatrixMode(drawModelView), drawPopMatrix();
    drawEnable(drawDepthTest), drawEnable(drawLighting);
    for (uint32_t t : textures) drawTextureDelete(t);
    // The accumulation buffer's arithmetic: each pass's 8-bit channel / 255
    // x (weight x scale), truncated, summed, x 1 / scale, rounded.
    auto share = [](int value) {
        return std::trunc(value / 255.0f * (lightPassWeight(lightPassCount) * drawAccumScale));
    };
    int wrong = 0, apart = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const Rgb& n = rows[y];
                const int value = lit[(y * width + x) * 3 + c], i = (y * 800 + x) * 3 + c;
                const float sum = n[0] * share(static_cast<int>(std::lround(value * shadowTint))) +
                                  (passes - n[0] - n[1] - n[2]) * share(value) +
                                  n[1] * share(c < 2 ? 255 : 0) + n[2] * share(255);
                wrong += composed[i] != std::lround(sum * (1.0f / drawAccumScale) * 255.0f);
                if (!summed.empty()) apart += std::abs(composed[i] - summed[i]) > 1;
            }
    // Beyond them, the clear blue as ten passes of it sum.
    for (int y = 0; y < 600; ++y)
        for (int x = y < height ? width : 0; x < 800; ++x)
            wrong += pixelIn(composed, y * 800 + x) != skyInFrame;
    EXPECT_EQ(wrong, 0) << "channels off the 16-bit arithmetic";
    EXPECT_EQ(apart, 0) << "channels more than a step from the accumulation buffer's";
}

TEST(CountedGl, PassesKeptToTheirReachDrawTheWholeViewsPicture) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    if (frameWaySetUp(frameWayCounted) != frameWayCounted) GTEST_SKIP() << "no counting here";
    // {light, eye, centre, rays}: the start; turned to the back wall's
    // shadow; the marker near, and far; the rays, behind the marker and
    // before it; the light far out; just above the box, whose shadow holds
    // the whole floor; inside the box; the eye inside the start light's
    // shadow volume.
    const Vec3 poses[][4] = {{{5, 1, 5}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}},
                             {{5, 1, 5}, {0, 0, 0}, {0, 0, -1}, {0, 0, 0}},
                             {{5, 1, 5}, {5.5f, 1.5f, 7}, {5, 1, 0}, {0, 0, 0}},
                             {{-6, 6, -8}, {0, 0, 9.9f}, {0, 0, -10}, {0, 0, 0}},
                             {{5, 1, 5}, {0, 0, 9.9f}, {0, 0, -10}, {1, 0, 0}},
                             {{3, 1, -4}, {6, 2, 9}, {3, 1, -4}, {1, 0, 0}},
                             {{-30, 1, 5}, {0, -1, -0.5f}, {10, -1, -1.5f}, {0, 0, 0}},
                             {{0, 3, 1}, {0, 5, 9.9f}, {0, -10, 0}, {0, 0, 0}},
                             {{0, 0, 1}, {0, 0, 9.9f}, {0, 0, -10}, {0, 0, 0}},
                             {{5, 1, 5}, {-5, -1, -3}, {-10, -1, -8}, {0, 0, 0}}};
    long keptArea = 0;
    for (const auto& pose : poses) {
        Camera camera;
        cameraSetPose(camera, pose[1].x, pose[1].y, pose[1].z, pose[2].x, pose[2].y, pose[2].z, 0,
                      1, 0);
        FrameInput input{camera, pose[0], uint8_t(pose[3].x), 59};
        Image shown[2];
        for (int whole = 0; whole < 2; ++whole) {
            input.wholeView = whole == 1;
            occluderInit(sceneOccluder);  // the rays' ends, alike for both
            shown[whole] = (frameDraw(input, sceneOccluder), glHarnessReadRgb());
        }
        occluderInit(sceneOccluder);
        const ReachRect kept = countedPassesDraw(input, sceneOccluder);
        input.wholeView = false;
        const ReachRect reach = countedPassesDraw(input, sceneOccluder);
        keptArea += long(reach.x1 - reach.x0) * (reach.y1 - reach.y0);
        int unlike = 0;
        for (size_t i = 0; i < shown[0].size() / 3; ++i)
            unlike += pixelIn(shown[0], i) != pixelIn(shown[1], i);
        EXPECT_TRUE(unlike == 0 && kept.x1 - kept.x0 == 800 && kept.y1 - kept.y0 == 600)
            << unlike << " pixels unlike the whole view's, light " << pose[0].x << ", " << pose[0].y
            << ", " << pose[0].z << ", eye " << pose[1].x << ", " << pose[1].y << ", " << pose[1].z;
    }
    // Kept to their reach, the passes count in much less than the whole.
    EXPECT_LT(keptArea, 10 * 800 * 600 / 2) << "pixels counted in all";
}
