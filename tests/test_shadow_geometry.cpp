// Shadow geometry without drawing: the far corners of a face's volume, the
// choice of the faces that face the light, and the light's jitter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "geometry/occluder.h"
#include "shadow/frame.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

Occluder occluderWithLight(Vec3 light) {
    Occluder occluder{};
    occluderInit(occluder);
    occluderSetLight(occluder, light);
    return occluder;
}

std::vector<int> castingFaces(Vec3 light) {
    const Occluder occluder = occluderWithLight(light);
    std::vector<int> faces;
    for (int index = 0; index < 6; ++index) {
        if (occluderFaceCasts(occluder.faces[index], index)) faces.push_back(index);
    }
    return faces;
}

}  // namespace

TEST(ShadowVolume, TheTopOfTheBoxExtrudesToTheFarCornersFromTheStartLight) {
    Occluder occluder = occluderWithLight(Vec3{5, 1, 5});
    OccluderFace& face = occluder.faces[0];
    shadowVolumeExtrude(face);
    const Vec3 expected[4] = {{-695, 101, -295}, {-695, -299, -295}, {-295, -299, -295},
                              {-295, 101, -295}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(face.extruded[i].x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(face.extruded[i].y, expected[i].y) << i;
        EXPECT_FLOAT_EQ(face.extruded[i].z, expected[i].z) << i;
    }
    // A second build from the same light gives the very same corners.
    Vec3 first[4];
    std::copy(face.extruded, face.extruded + 4, first);
    shadowVolumeExtrude(face);
    EXPECT_EQ(0, std::memcmp(first, face.extruded, sizeof first));
}

TEST(ShadowVolume, ACornerOneUnitFromTheLightEndsAHundredUnitsAway) {
    OccluderFace face{};
    face.light = Vec3{2, 2, 3};  // one unit above corner (2, 2, 2)
    face.corners[0] = Vec3{2, 2, 2};
    shadowVolumeExtrude(face);
    EXPECT_FLOAT_EQ(face.extruded[0].x, 2);
    EXPECT_FLOAT_EQ(face.extruded[0].y, 2);
    EXPECT_FLOAT_EQ(face.extruded[0].z, 3 - 100);
}

TEST(FaceSelection, TheFacesThatFaceTheLight) {
    EXPECT_EQ(castingFaces(Vec3{5, 1, 5}), (std::vector<int>{0, 4}));
    // In the plane of the top face: the top casts (flat), the others do not
    // for being in their plane.
    EXPECT_EQ(castingFaces(Vec3{0, 2, 5}), (std::vector<int>{0, 1}));
    EXPECT_EQ(castingFaces(Vec3{2, 0, 5}), (std::vector<int>{0}));
    EXPECT_EQ(castingFaces(Vec3{0, 0, 1}), (std::vector<int>{}));
    EXPECT_EQ(castingFaces(Vec3{3, 3, 3}), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(castingFaces(Vec3{-3, -3, -1}), (std::vector<int>{2, 3, 5}));
}

TEST(FaceSelection, CastingRecordsEveryFaceAndNeverLeavesAStaleFlag) {
    Occluder occluder = occluderWithLight(Vec3{3, 3, 3});
    for (OccluderFace& face : occluder.faces) face.castsShadow = 7;
    occluderCastShadows(occluder, 0);  // no context: the drawing goes nowhere
    const int expected[6] = {1, 1, 0, 0, 1, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(occluder.faces[i].castsShadow, expected[i]) << i;
    // A face that casts gets its volume rebuilt from the light it holds;
    // one that does not keeps the corners of its last build.
    EXPECT_FLOAT_EQ(occluder.faces[4].extruded[0].x, (2 - 3) * 100.0f + 3);
    EXPECT_FLOAT_EQ(occluder.faces[2].extruded[0].x, 0);
}

TEST(Jitter, TheTenOffsetsAreTheTableReadThroughASlidingWindow) {
    const Vec3 first = frameJitterOffset(0);
    EXPECT_FLOAT_EQ(first.x, 0.142075f);
    EXPECT_FLOAT_EQ(first.y, -0.105855f);
    EXPECT_FLOAT_EQ(first.z, 0.05f);
    const Vec3 last = frameJitterOffset(9);
    EXPECT_FLOAT_EQ(last.x, -0.14f);
    EXPECT_FLOAT_EQ(last.y, 0.0f);
    EXPECT_FLOAT_EQ(last.z, 0.03075f);
    float weights = 0;
    for (int pass = 0; pass < framePassCount; ++pass) weights += framePassWeight;
    EXPECT_NEAR(weights, 0.95f, 1e-6);
}
