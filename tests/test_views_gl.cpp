// What the user can ask to see of the method, read back from a real
// context: one pass, a point light and more passes against the geometry,
// the count view against the counts the frame composes, and the shadow
// volumes against the volumes' own shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "draw/compose.h"
#include "frame_scene.h"
#include "gl_harness.h"
#include "scene/scene.h"
#include "shadow/counted.h"
#include "shadow/frame.h"
#include "shadow/light.h"

namespace {

FrameInput inputAt(Vec3 light, Vec3 eye, Vec3 centre, int passes, float size) {
    Camera camera;
    cameraSetPose(camera, eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
    FrameInput input{camera, light, 0, 0};
    input.passes = passes, input.lightSize = size;
    return input;
}

Image shot(const FrameInput& input) {
    frameDraw(input, sceneOccluder);
    return glHarnessReadRgb();
}

bool underDigits(size_t i) {
    return i % 800 < 330 && i / 800 < 110;
}

const Vec3 light{5, 1, 5}, eye{0, 0, 9.9f}, ahead{0, 0, -10};

}  // namespace

TEST(ViewsGl, OnePassIsTheLightsHardShadowAtAnySizeAndMorePassesGradeItFiner) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    for (FrameWay way : ways()) {
        ASSERT_EQ(frameWaySetUp(way), way);
        // One pass: the room where the box hides the light itself at 0.55,
        // all of it at 0.95.
        const Image one = shot(inputAt(light, eye, ahead, 1, 1));
        int wrong = 0, dark = 0, x, y;
        for (int k = 0; k < 38 * 38; ++k) {
            const Vec3 p = onPlane(2, -10, -9.25f + k / 38 * 0.5f, -9.25f + k % 38 * 0.5f);
            if (segmentHitsBox(eye, p, boxLow - grow, boxHigh + grow) || !project(p, &x, &y) ||
                underDigits(y * 800 + x))
                continue;
            bool steady = true, hidden = segmentHitsBox(light, p, boxLow, boxHigh);
            for (int n = 0; n < 9; ++n)
                steady = steady && segmentHitsBox(
                                       light, p + Vec3{(n / 3 - 1) * 0.12f, (n % 3 - 1) * 0.12f, 0},
                                       boxLow, boxHigh) == hidden;
            Rgb expected;
            for (int c = 0; c < 3; ++c)
                expected[c] = int(std::lround(
                    0.95 * (hidden ? std::round(roomColour[c] * 0.55) : roomColour[c])));
            if (steady) dark += hidden, wrong += !near(pixelIn(one, y * 800 + x), expected);
        }
        EXPECT_TRUE(wrong == 0 && dark > 50) << wrong << " wrong, " << dark << " in shadow";
        // A point light gives that same shadow whatever the number of passes
        // (some, where each pass is drawn whole and summed slowly).
        const bool counted = way == frameWayCounted;
        for (int passes : counted ? std::vector<int>{2, 4, 10, 16, 32, 64} : std::vector<int>{16}) {
            const Image point = shot(inputAt(light, eye, ahead, passes, 0));
            int apart = 0;
            for (size_t i = 0; i < one.size() / 3; ++i)
                apart += !underDigits(i) && !near(pixelIn(point, i), pixelIn(one, i));
            EXPECT_EQ(apart, 0) << passes << " passes of a point light";
        }
        // Across the shadow's edge on the back wall, 64 passes show more
        // steps than 10.
        if (!counted) continue;
        size_t levels[2];
        for (int p : {0, 1}) {
            const Image soft = shot(inputAt(light, eye, ahead, p ? 64 : 10, 2));
            std::set<int> reds;
            for (float u = -9.9f; u < 0; u += 0.01f)
                if (project(Vec3{u, -4, -10}, &x, &y)) reds.insert(pixelIn(soft, y * 800 + x)[0]);
            levels[p] = reds.size();
        }
        EXPECT_GT(levels[1], levels[0]) << "levels across the edge";
    }
    frameWaySetUp(frameWayCounted);
}

TEST(ViewsGl, TheCountViewShowsTheCountsTheFrameComposes) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    if (frameWaySetUp(frameWayCounted) != frameWayCounted) GTEST_SKIP() << "no counting here";
    const Vec3 poses[][3] = {{light, eye, ahead}, {{3, 3, 3}, {-5, -1, 9}, {-10, -1, -10}}};
    for (const auto& pose : poses)
        for (int passes : {10, 32}) {
            FrameInput input = inputAt(pose[0], pose[1], pose[2], passes, 1);
            occluderInit(sceneOccluder);
            const ReachRect kept = countedPassesDraw(input, sceneOccluder);
            const Image counts = glHarnessReadRgb();
            const Image plain = shot(input);
            input.showCounts = true;
            const Image shown = shot(input);
            int room = 0, shaded = 0, wrong = 0;
            for (size_t i = 0; i < shown.size() / 3; ++i) {
                const int x = int(i % 800), y = int(i / 800);
                if (underDigits(i) || (x >= 486 && y >= 478)) continue;  // the legend
                if (pixelIn(shown, i) == pixelIn(plain, i)) continue;    // not the room
                const bool inKept = x >= kept.x0 && x < kept.x1 && y >= kept.y0 && y < kept.y1;
                const int n = inKept ? pixelIn(counts, i)[drawCountShadow] : 0;
                float rgb[3];
                drawCountColour(float(n) / float(passes), rgb);
                ++room, shaded += n > 0;
                wrong += !near(pixelIn(shown, i),
                               Rgb{int(std::lround(rgb[0] * 255)), int(std::lround(rgb[1] * 255)),
                                   int(std::lround(rgb[2] * 255))});
            }
            EXPECT_TRUE(wrong == 0 && room > 100000 && shaded > 1000)
                << wrong << " wrong of " << room << ", " << shaded << " in shadow, " << passes
                << " passes";
        }
}

TEST(ViewsGl, TheVolumesViewTintsWhatTheVolumesCoverAndNothingAWallHides) {
    ASSERT_TRUE(sceneReady()) << "no GL context";
    // Whether the light, outside the box, shines through it to reach q.
    auto inShadow = [](Vec3 q) { return segmentHitsBox(light, q, boxLow, boxHigh); };
    // Whether the view from `from` to q crosses a volume's side first.
    auto crosses = [&](Vec3 from, Vec3 q) {
        const bool start = inShadow(from);
        for (int k = 1; k < 400; ++k)
            if (inShadow(from + (q - from) * (k / 400.0f)) != start) return true;
        return inShadow(q) != start;
    };
    // From the open front, and from inside a volume.
    int tinted = 0, clear = 0;
    for (const auto& view : {std::pair{eye, ahead}, std::pair{Vec3{-5, -1, -3}, Vec3{-10, -1, -8}}})
        for (FrameWay way : ways()) {
            ASSERT_EQ(frameWaySetUp(way), way);
            FrameInput input = inputAt(light, view.first, view.second, 10, 1);
            const Image plain = shot(input);
            input.showVolumes = true;
            const Image shown = shot(input);
            int wrong = 0, x, y;
            const int fixed[] = {2, 0, 0, 1}, at[] = {-10, -10, 10, -10};
            for (int f = 0; f < 4; ++f)
                for (int k = 0; k < 38 * 38; ++k) {
                    const Vec3 p = onPlane(fixed[f], float(at[f]), -9.25f + k / 38 * 0.5f,
                                           -9.25f + k % 38 * 0.5f);
                    if (segmentHitsBox(view.first, p, boxLow - grow, boxHigh + grow) ||
                        segmentHitsBox(view.first, p, light - Vec3{1, 1, 1},
                                       light + Vec3{1, 1, 1}) ||
                        !project(p, &x, &y) || underDigits(y * 800 + x))
                        continue;
                    bool expected = crosses(view.first, p), steady = true;
                    for (int n = 0; n < 9; ++n)
                        steady = steady &&
                                 crosses(view.first, p + onPlane(fixed[f], 0, (n / 3 - 1) * 0.15f,
                                                                 (n % 3 - 1) * 0.15f)) == expected;
                    if (!steady) continue;
                    const Rgb a = pixelIn(plain, y * 800 + x), b = pixelIn(shown, y * 800 + x);
                    const bool changed =
                        std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 20;
                    ++(expected ? tinted : clear), wrong += changed != expected;
                }
            EXPECT_EQ(wrong, 0) << "eye " << view.first.x;
        }
    EXPECT_TRUE(tinted > 100 && clear > 100) << tinted << " tinted, " << clear << " clear";
    frameWaySetUp(frameWayCounted);
}
