// The scene's pictures on a real GL context, read back pixel by pixel and
// compared with colours worked out here from the frame's own arithmetic:
// flat textures, ten passes at weight 0.095, the room at 0.55 wherever the
// box hides a pass's light from it, the box again on top at full colour, the
// marker, the rays and the lit frame-rate text. Which passes are shadowed is
// found by casting a segment from each nudged light to the point. Every
// picture is checked on both ways of adding the passes (on the GPU, and in
// the accumulation buffer where the framebuffer has one), and the two ways
// are held to the same picture.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "assets/font.h"
#include "assets/texture.h"
#include "draw/draw.h"
#include "frame_scene.h"
#include "geometry/room.h"
#include "gl_harness.h"
#include "scene/scene.h"
#include "shadow/frame.h"
#include "shadow/overlay.h"
#include "shadow/stencil.h"

TEST(FrameGl, EveryPixelIsTheSumOfTheTenPasses) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    const Vec3 rows[][3] = {
        // the start: shade, box, marker, sky
        {{5, 1, 5}, {0, 0, 9.9f}, {0, 0, -10}},
        // the start, from beside it: the text is lit
        {{5, 1, 5}, {4, 1, 4}, {-10, -3, -8}},
        // three faces cast; their volumes overlap
        {{3, 3, 3}, {0, 0, 9.9f}, {0, 0, -10}},
        // far out: the shadow stays whole
        {{-30, 1, 5}, {0, -1, -0.5f}, {10, -1, -1.5f}},
    };
    int totals[128] = {};
    Image firstWay[4];
    for (FrameWay way : ways()) {
        ASSERT_EQ(frameWaySetUp(way), way);
        Rgb levels[2];
        for (const auto& row : rows) {
            const Vec3 light = row[0], eye = row[1], last = nudged(light, 9), margin{1, 1, 0.5f};
            const Image shown = frame(light, eye, row[2]);
            // The same picture both ways, but for a few pixels on silhouettes.
            Image& first = firstWay[&row - rows];
            if (first.empty()) first = shown;
            int unlike = 0;
            for (size_t i = 0; i < shown.size() / 3; ++i)
                unlike += pixelIn(shown, i) != pixelIn(first, i);
            EXPECT_LE(unlike, 24) << "pixels unlike the counted frame's, light x " << light.x;
            auto hidden = [&](Vec3 p, Vec3 lo, Vec3 hi) { return segmentHitsBox(eye, p, lo, hi); };
            int counts[128] = {}, wrong = 0, text = 0, other = 0;
            auto expect = [&](Vec3 p, Rgb expected, char kind) {
                int x, y;
                if (!project(p, &x, &y) || (x < 330 && y < 110)) return;  // not under the text
                const Rgb got = pixelIn(shown, y * 800 + x);
                if (++counts[static_cast<int>(kind)], !near(got, expected) && wrong++ < 5)
                    ADD_FAILURE() << kind << " at " << p.x << ", " << p.y << ", " << p.z
                                  << " (light x " << light.x << ") reads "
                                  << ::testing::PrintToString(got) << " not "
                                  << ::testing::PrintToString(expected);
            };
            // The back, left and right walls, the floor and the open top; room
            // points only where the count is the same all around them.
            const int fixed[] = {2, 0, 0, 1, 1}, at[] = {-10, -10, 10, -10, 10};
            for (int f = 0; f < 5; ++f)
                for (int k = 0; k < 38 * 38; ++k) {
                    const float u = -9.25f + k / 38 * 0.5f, v = -9.25f + k % 38 * 0.5f;
                    const Vec3 p = onPlane(fixed[f], static_cast<float>(at[f]), u, v);
                    if (hidden(p, light - margin, light + margin) ||
                        hidden(p, boxLow - grow, boxHigh + grow))
                        continue;
                    int s = f == 4 ? 0 : shadowedPasses(light, p), steady = 1;
                    for (int n = 0; f < 4 && n < 9; ++n)
                        steady = steady &&
                                 shadowedPasses(light, p + onPlane(fixed[f], 0, (n / 3 - 1) * 0.12f,
                                                                   (n % 3 - 1) * 0.12f)) == s;
                    const char kind = f == 4 ? 's' : s == 0 ? 'l' : s == 10 ? 'd' : 'p';
                    if (steady) expect(p, f == 4 ? skyInFrame : roomAfter(s), kind);
                }
            // The box's faces towards the eye, drawn again over the sum.
            for (int f = 0; f < 6; ++f)
                for (int k = 0;
                     k < 64 && (axisOf(eye, f / 2) - axisOf(f % 2 ? boxHigh : boxLow, f / 2)) *
                                       (f % 2 ? 1 : -1) >
                                   0;
                     ++k) {
                    const Vec3 p =
                        boxLow + (boxHigh - boxLow) * onPlane(f / 2, f % 2, 0.15f + k / 8 * 0.1f,
                                                              0.15f + k % 8 * 0.1f);
                    if (!hidden(p, light - margin, light + margin)) expect(p, boxColour, 'b');
                }
            for (Vec3 corner : {Vec3{-0.4f, -0.4f, 0}, Vec3{0.4f, -0.4f, 0}, Vec3{-0.4f, 0.4f, 0},
                                Vec3{0.4f, 0.4f, 0}})
                if (eye.z > last.z && !hidden(last + corner, boxLow, boxHigh))
                    expect(last + corner, yellow, 'm');
            EXPECT_TRUE(wrong == 0 && counts['l'] > 50 && counts['b'] > 10)
                << counts['l'] << " lit, " << counts['b'] << " box, light x " << light.x;
            for (int k = 0; k < 128; ++k) totals[k] += counts[k];

            // The frame rate: GL lighting at the text's raster position with
            // normal (0, 0, 1), lit by the last pass's light. GL puts the position
            // at eye (-0.8, -0.8, -1); Mesa's fixed pipeline lights it where it
            // stood before the translation, at (-0.8, -0.8, 0). Either is right
            // for gl1; nothing else is.
            // The second frame starts from the light the first left behind, so
            // outside the digits nothing may change.
            double m[16], d[3];
            drawGetMatrix(drawModelView, m);
            for (int z = 0; z < 2; ++z) {
                for (int i = 0; i < 3; ++i)
                    d[i] = m[i] * last.x + m[4 + i] * last.y + m[8 + i] * last.z + m[12 + i] +
                           (i < 2 ? 0.8 : z);
                const double cosine = d[2] / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                levels[z].fill(std::lround(255 * (0.04 + 0.8 * std::max(0.0, cosine))));
            }
            const Image many = (fpsValue = 888, sceneDraw(), glHarnessReadRgb());
            fpsValue = 0;
            // es3 works the colour out by GL's own equation.
            const bool es3 = drawRendererInUse() == drawRendererEs3;
            auto lit = [&](Rgb c) { return (near(c, levels[0]) && !es3) || near(c, levels[1]); };
            for (size_t i = 0; i < shown.size() / 3; ++i)
                if (pixelIn(shown, i) != pixelIn(many, i))
                    ++(i % 800 < 330 && i / 800 < 110 &&
                               (lit(pixelIn(shown, i)) || lit(pixelIn(many, i)))
                           ? text
                           : other);
            EXPECT_TRUE(text > 30 && other == 0)
                << light.x << ": " << text << " " << other << " at level " << levels[0][0] << " or "
                << levels[1][0];
        }
    }
    EXPECT_TRUE(totals['d'] > 100 && totals['p'] > 10 && totals['m'] > 2 && totals['s'] > 100);
    frameWaySetUp(frameWayCounted);
}

TEST(FrameGl, TheCountedFrameFollowsTheViewportSize) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    if (ways().size() < 2) GTEST_SKIP() << "no accumulation buffer to compare with";
    // Counting set up at one size draws at the next: smaller, then back.
    frameWaySetUp(frameWayCounted);
    for (const auto& [width, height] : {std::pair{500, 400}, {800, 600}}) {
        viewportResize(width, height);
        const Image counted = frame({5, 1, 5}, {4, 1, 4}, {-10, -3, -8});
        const Image buffer =
            (frameWaySetUp(frameWayAccumBuffer), frame({5, 1, 5}, {4, 1, 4}, {-10, -3, -8}));
        frameWaySetUp(frameWayCounted);
        int unlike = 0;
        for (size_t i = 0; i < counted.size() / 3; ++i)
            unlike += pixelIn(counted, i) != pixelIn(buffer, i);
        EXPECT_TRUE(counted.size() == width * height * 3u && unlike <= 24)
            << width << ": " << unlike;
    }
}

TEST(FrameGl, TheFrameRateHasFourDecimals) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    // The digits are drawn as the frame draws them, and again from the text
    // they must read; the two pictures must match.
    auto drawn = [](float value, const char* text) {
        drawClear(drawColourBuffer);
        if (text == nullptr) {
            overlayFrameRatePrint(value);
        } else {
            drawDisable(drawTexturing), drawPushMatrix(), drawLoadIdentity(),
                drawTranslatef(0, 0, -1);
            drawRasterPos2f(-0.8f, -0.8f), textPrint("%s", text), drawPopMatrix();
            drawEnable(drawTexturing);
        }
        return glHarnessReadRgb();
    };
    for (const auto& [value, text] :
         {std::pair{0.0f, "0.0000"}, {59.0f, "59.0000"}, {1234.5f, "1234.5000"}})
        EXPECT_TRUE(drawn(value, nullptr) == drawn(value, text)) << text;
    fpsValue = 0;
}

TEST(FrameGl, ARefusedComposingShaderLeavesTheSumToTheBufferAndSaysWhy) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    // Run where the driver refuses the composing shader: the line carries
    // what the driver said, and the frames above come through the buffer.
    ::testing::internal::CaptureStderr();
    const FrameWay way = frameWaySetUp(frameWayCounted);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(way, frameWayAccumBuffer);
    EXPECT_NE(said.find("accumulation buffer, not on the GPU: the composing shader does not "),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("error"), std::string::npos) << "no driver log in: " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(FrameGl, HeldSpaceAddsFaintRaysFromEachLightPastTheBoxCorners) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    const Vec3 light{5, 1, 5};
    const Image without = frame(light, Vec3{0, 0, 9.9f}, Vec3{0, 0, -10});
    const Image with = (showRays = 1, frame(light, Vec3{0, 0, 9.9f}, Vec3{0, 0, -10}));
    if (ways().size() == 2) {  // the rays are added as the rest of the pass is
        frameWaySetUp(frameWayAccumBuffer);
        const Image buffer = frame(light, Vec3{0, 0, 9.9f}, Vec3{0, 0, -10});
        int unlike = 0;
        for (size_t i = 0; i < with.size() / 3; ++i)
            unlike += pixelIn(with, i) != pixelIn(buffer, i);
        EXPECT_LE(unlike, 24) << "pixels unlike the counted frame's";
        frameWaySetUp(frameWayCounted);
    }
    // Pass i draws from its light towards the corners extruded 100 times
    // from the light of the pass before; marked up to where they leave the room.
    std::vector<bool> onRay(800 * 600, false);
    for (int pass = 0; pass < 10; ++pass) {
        const Vec3 from = nudged(light, pass), before = nudged(light, (pass + 9) % 10);
        for (int k = 0, x, y; k < 8; ++k) {
            const Vec3 corner{k & 1 ? 2.0f : -2.0f, k & 2 ? 2.0f : -2.0f, k & 4 ? 2.0f : 0.0f};
            const Vec3 far = before + (corner - before) * 100;
            for (Vec3 p = from; std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}) < 10;
                 p = p + (far - from) * 0.00005f)
                if (project(p, &x, &y))
                    for (int d = 0; d < 49; ++d)
                        onRay[(y + d / 7 - 3) * 800 + x + d % 7 - 3] = true;
        }
    }
    int brighter = 0, darker = 0, elsewhere = 0;
    for (size_t i = 0; i < onRay.size(); ++i) {
        const Rgb on = pixelIn(with, i), off = pixelIn(without, i);
        const int change = on[0] + on[1] + on[2] - off[0] - off[1] - off[2];
        if (std::abs(change) > 6) ++(change > 0 ? brighter : darker), elsewhere += !onRay[i];
    }
    EXPECT_TRUE(brighter > 100 && darker < brighter / 4 && elsewhere == 0)
        << brighter << " " << darker << " " << elsewhere;
}

TEST(FrameGl, TexturesAndCullingFromATableOfViews) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    const uint32_t files[2] = {textureIds[0], textureIds[1]};
    uint8_t texels[12];
    for (int i = 0; i < 12; ++i) texels[i] = static_cast<uint8_t>(checker[i / 6][i / 3 % 2][i % 3]);
    drawTextureBind(textureIds[1] = textureIds[0] = drawTextureCreate()),
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    auto look = [](Vec3 e, Vec3 c, Vec3 u) {
        drawClear(drawColourBuffer | drawDepthBuffer), drawLoadIdentity();
        drawLookAt(e.x, e.y, e.z, c.x, c.y, c.z, u.x, u.y, u.z);
    };
    // The room's faces, seen from their inner side only (from outside,
    // through the faces turned away), as {fixed axis, at, s axis, t axis, s
    // offset, t offset}: s and t are (coordinate + offset) / 2, ten repeats a
    // side. The open top and front show the clear colour.
    const int faces[][6] = {{2, -10, 0, 1, 10, 10}, {0, -10, 2, 1, -10, -10}, {0, 10, 2, 1, 10, 10},
                            {1, -10, 2, 0, 10, 10}, {1, 10, 0, 2, 0, 0},      {2, 10, 0, 1, 0, 0}};
    const Vec3 views[][3] = {
        {{0, 0, 0}, {0, 0, -1}, {0, 1, 0}},  {{0, 0, 0}, {-1, 0, 0}, {0, 1, 0}},
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},   {{0, 0, 0}, {0, -1, 0}, {0, 0, -1}},
        {{0, 0, 0}, {0, 1, 0}, {0, 0, 1}},   {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 0, -30}, {0, 0, 0}, {0, 1, 0}}, {{0, -30, 0}, {0, 0, 0}, {0, 0, 1}},
        {{-30, 0, 0}, {0, 0, 0}, {0, 1, 0}}, {{30, 0, 0}, {0, 0, 0}, {0, 1, 0}},
        {{0, 30, 0}, {0, 0, 0}, {0, 0, -1}}, {{0, 0, 30}, {0, 0, 0}, {0, 1, 0}},
    };
    for (const auto& view : views) {
        look(view[0], view[1], view[2]);
        roomDrawTinted(1.0f);
        const Image shown = glHarnessReadRgb();
        int seen = 0, wrong = 0, x, y;
        for (int f = 0; f < 6; ++f)
            for (int k = 0;
                 k < 400 && (axisOf(view[0], faces[f][0]) - faces[f][1]) * faces[f][1] < 0; ++k) {
                const float a = -9.5f + k / 20, b = -9.5f + k % 20;
                Vec3 p = onPlane(faces[f][0], static_cast<float>(faces[f][1]), 0, 0);
                axis(p, faces[f][2]) = a, axis(p, faces[f][3]) = b;
                const Rgb expected =
                    f > 3 ? clearBlue : checkerAt((a + faces[f][4]) / 2, (b + faces[f][5]) / 2);
                if (project(p, &x, &y))
                    ++seen, wrong += !near(pixelIn(shown, y * 800 + x), expected);
            }
        EXPECT_TRUE(seen > 50 && wrong == 0) << wrong << " of " << seen << " from " << view[0].x
                                             << " " << view[0].y << " " << view[0].z;
    }
    // Each box face shows the texture once from outside: corners[1] at
    // (0, 0), corners[2] at (1, 0), corners[0] at (0, 1); from inside, nothing.
    occluderSetLight(sceneOccluder, Vec3{0, 0, 1});  // the marker inside, out of sight
    for (const OccluderFace& face : sceneOccluder.faces) {
        const Vec3 o = face.corners[1], u = face.corners[2] - o, v = face.corners[0] - o;
        const Vec3 centre = o + (u + v) * 0.5f, out = vecNormalize(vecCross(u, v));
        const Vec3 up = std::fabs(out.y) > 0.5f ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        look(centre + out * 6, centre, up);
        occluderDraw(sceneOccluder);
        const Image shown = glHarnessReadRgb();
        int x, y;
        for (float a : {0.25f, 0.75f})
            for (float b : {0.25f, 0.75f})
                EXPECT_TRUE(project(o + u * a + v * b, &x, &y) &&
                            pixelIn(shown, y * 800 + x) == checkerAt(a, b))
                    << a << b;
        look(Vec3{0, 0, 1}, Vec3{0, 0, 1} + out, up);
        occluderDraw(sceneOccluder);
        const Image inside = glHarnessReadRgb();
        EXPECT_EQ(std::count(inside.begin(), inside.end(), 255), 800 * 600)
            << "box seen from inside";
    }
    drawTextureDelete(textureIds[0]);
    textureIds[0] = files[0], textureIds[1] = files[1];
}

TEST(FrameGl, BothRenderersDrawTheSameFramesBothWays) {
    // The program's own brick textures, mipmapped by each renderer its way.
    for (const char* name : {"brickblue.bmp", "Ziegel1.bmp"})
        std::ofstream(name, std::ios::binary)
            << std::ifstream(std::string(TENEBREL_TEXTURE_DIR "/") + name, std::ios::binary)
                   .rdbuf();
    // {light, eye, centre, rays}: the start; turned to the back wall's soft
    // shadow; the marker near, and far; the rays; the light far out; the
    // light inside the box; the eye inside the box's shadow volume.
    const Vec3 poses[][4] = {{{5, 1, 5}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}},
                             {{5, 1, 5}, {0, 0, 0}, {0, 0, -1}, {0, 0, 0}},
                             {{5, 1, 5}, {5.5f, 1.5f, 7}, {5, 1, 0}, {0, 0, 0}},
                             {{-6, 6, -8}, {0, 0, 9.9f}, {0, 0, -10}, {0, 0, 0}},
                             {{5, 1, 5}, {0, 0, 9.9f}, {0, 0, -10}, {1, 0, 0}},
                             {{-30, 1, 5}, {0, -1, -0.5f}, {10, -1, -1.5f}, {0, 0, 0}},
                             {{0, 0, 1}, {0, 0, 9.9f}, {0, 0, -10}, {0, 0, 0}},
                             {{5, 1, 5}, {-5, -1, -3}, {-10, -1, -8}, {0, 0, 0}}};
    // The accumulation buffer's frame with gl1, then both renderers counting.
    const struct {
        DrawRenderer renderer;
        FrameWay way;
        const char* name;
    } runs[] = {{drawRendererGl1, frameWayAccumBuffer, "gl1, buffer"},
                {drawRendererGl1, frameWayCounted, "gl1, counted"},
                {drawRendererEs3, frameWayCounted, "es3, counted"}};
    std::vector<Image> shown[3];
    for (const auto& run : runs) {
        GLWindow window{};
        KeyTable keys{};
        window.keys = &keys;
        ASSERT_TRUE(glHarnessOpen(800, 600, nullptr, nullptr, run.renderer))
            << "no context for " << run.name;
        viewportResize(800, 600);
        // A new window keeps what the keys set, as it keeps the light.
        sceneSettings = SceneSettings{1, 5, true, true, true};
        ASSERT_EQ(sceneInit(&window, &keys), 1);
        EXPECT_TRUE(settingsSame(sceneSettings, SceneSettings{1, 5, true, true, true}));
        sceneSettings = SceneSettings{};
        ASSERT_EQ(frameWaySetUp(run.way), run.way) << run.name;
        for (const auto& pose : poses) {
            showRays = pose[3].x != 0, fpsValue = 59;
            shown[&run - runs].push_back(frame(pose[0], pose[1], pose[2]));
        }
        sceneShutdown(), glHarnessClose(true);
    }
    // Outside the digits a few hundred pixels may round a step or two apart
    // (on triangle seams, where a wall's texture is squeezed most, and where
    // the shadowed room is worked out from the lit one); a handful on the
    // shadow's edges by more. The digits' colour each renderer answers for
    // in the test above.
    for (int r = 1; r < 3; ++r)
        for (size_t p = 0; p < shown[0].size(); ++p) {
            int unlike = 0, most = 0, far = 0;
            for (size_t i = 0; i < shown[0][p].size() / 3; ++i) {
                if (i % 800 < 330 && i / 800 < 110) continue;
                const Rgb a = pixelIn(shown[0][p], i), b = pixelIn(shown[r][p], i);
                const int off =
                    std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
                unlike += off != 0, far += off > 2, most = std::max(most, off);
            }
            std::printf(
                "%s against gl1's buffer, pose %zu: %d pixels unlike, %d by more than 2, "
                "by at most %d\n",
                runs[r].name, p, unlike, far, most);
            EXPECT_LE(far, 50) << runs[r].name << ", pose " << p << ": " << unlike
                               << " unlike, most " << most;
        }
}
