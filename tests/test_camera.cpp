// The camera and its vector helpers, driven through the fake system layer's
// cursor and key state.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform_fake.h"
#include "scene/camera.h"
#include "scene/vec.h"

namespace {

const float tolerance = 1e-5f;

void expectVec(Vec3 actual, float x, float y, float z, float within = tolerance) {
    EXPECT_NEAR(actual.x, x, within);
    EXPECT_NEAR(actual.y, y, within);
    EXPECT_NEAR(actual.z, z, within);
}

bool finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

float distance(Vec3 a, Vec3 b) {
    return vecLength(Vec3{a.x - b.x, a.y - b.y, a.z - b.z});
}

// The scene's level pose: at the origin, looking along +x, y up.
Camera levelCamera() {
    Camera camera;
    cameraSetPose(camera, 0, 0, 0, 1, 0, 0, 0, 1, 0);
    return camera;
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeReset();
        accumulatedPitch = 0.0f;
    }
};

}  // namespace

TEST(Vec, CrossLengthAndNormalize) {
    expectVec(vecCross(Vec3{1, 0, 0}, Vec3{0, 1, 0}), 0, 0, 1);
    expectVec(vecCross(Vec3{0, 1, 0}, Vec3{1, 0, 0}), 0, 0, -1);
    expectVec(vecCross(Vec3{1, 2, 3}, Vec3{4, 5, 6}), -3, 6, -3);
    EXPECT_FLOAT_EQ(vecLength(Vec3{3, 4, 12}), 13.0f);
    expectVec(vecNormalize(Vec3{0, -3, 4}), 0, -0.6f, 0.8f);
}

TEST(Vec, NormalizeNeverYieldsNonFiniteComponents) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // No direction at all: the zero vector comes back.
    expectVec(vecNormalize(Vec3{0, 0, 0}), 0, 0, 0);
    expectVec(vecNormalize(Vec3{inf, 0, 0}), 0, 0, 0);
    expectVec(vecNormalize(Vec3{1, nan, 0}), 0, 0, 0);
    // Finite vectors whose squares leave single precision keep their direction.
    expectVec(vecNormalize(Vec3{3e30f, 4e30f, 0}), 0.6f, 0.8f, 0);
    expectVec(vecNormalize(Vec3{0, 3e-30f, -4e-30f}), 0, 0.6f, -0.8f);
}

TEST_F(CameraTest, ConstructedDefaultsAndPoseKeepTheRest) {
    Camera camera;
    EXPECT_EQ(camera.speed, 0.0f);
    expectVec(camera.position, 0, 0, 0);
    expectVec(camera.viewPoint, 0, 1, 0.5f);
    expectVec(camera.upVector, 0, 0, 1);
    expectVec(camera.strafeVector, 0, 0, 0);

    camera.speed = 7;
    camera.strafeVector = Vec3{0, 0, 1};
    accumulatedPitch = 0.25f;
    cameraSetPose(camera, 1, 2, 3, 4, 5, 6, 0, 1, 0);
    expectVec(camera.position, 1, 2, 3);
    expectVec(camera.viewPoint, 4, 5, 6);
    expectVec(camera.upVector, 0, 1, 0);
    EXPECT_EQ(camera.speed, 7.0f);
    expectVec(camera.strafeVector, 0, 0, 1);
    EXPECT_EQ(accumulatedPitch, 0.25f);
}

TEST_F(CameraTest, RotationMatrixTurnsCounterClockwiseAboutTheAxis) {
    const float quarter = static_cast<float>(M_PI / 2);
    Camera camera = levelCamera();
    cameraRotateView(camera, quarter, 0, 1, 0);  // +x turns to -z about +y
    expectVec(camera.viewPoint, 0, 0, -1);

    camera = levelCamera();
    cameraRotateView(camera, quarter, 0, 0, 1);  // +x turns to +y about +z
    expectVec(camera.viewPoint, 0, 1, 0);

    cameraSetPose(camera, 0, 0, 0, 0, 1, 0, 0, 1, 0);
    cameraRotateView(camera, quarter, 1, 0, 0);  // +y turns to +z about +x
    expectVec(camera.viewPoint, 0, 0, 1);

    // The turn is about the eye, wherever it is, and a half turn reverses.
    cameraSetPose(camera, 1, 2, 3, 3, 2, 3, 0, 1, 0);
    cameraRotateView(camera, static_cast<float>(M_PI), 0, 1, 0);
    expectVec(camera.position, 1, 2, 3);
    expectVec(camera.viewPoint, -1, 2, 3);

    // About a slanted unit axis: a third of a turn about (1,1,1)/sqrt(3)
    // cycles the axes x -> y -> z.
    const float s = 1.0f / std::sqrt(3.0f);
    camera = levelCamera();
    cameraRotateView(camera, static_cast<float>(2 * M_PI / 3), s, s, s);
    expectVec(camera.viewPoint, 0, 1, 0);
    EXPECT_NEAR(distance(camera.position, camera.viewPoint), 1.0f, tolerance);
}

TEST_F(CameraTest, StrafeKeepsHeightAdvanceFollowsTheView) {
    Camera camera;
    // Looking forward and 45 degrees down.
    cameraSetPose(camera, 0, 0, 0, 1, -1, 0, 0, 1, 0);
    cameraUpdate(camera);
    expectVec(camera.strafeVector, 0, 0, 1);

    cameraStrafe(camera, 2);
    expectVec(camera.position, 0, 0, 2);
    expectVec(camera.viewPoint, 1, -1, 2);

    cameraAdvance(camera, std::sqrt(2.0f));
    expectVec(camera.position, 1, -1, 2);
    expectVec(camera.viewPoint, 2, -2, 2);
}

TEST_F(CameraTest, MovementKeysActOncePerRowAndScaleWithSpeed) {
    Camera camera = levelCamera();
    camera.speed = 100;  // 100 ms: one unit
    fake().keyHeld[VK_UP] = true;
    fake().keyHeld['W'] = true;
    cameraUpdate(camera);
    expectVec(camera.position, 1, 0, 0);
    expectVec(camera.viewPoint, 2, 0, 0);

    // Up and down together: forward and back again.
    fake().keyHeld['S'] = true;
    cameraUpdate(camera);
    expectVec(camera.position, 1, 0, 0);

    // Left arrow and A together: one step to the left (-z when facing +x).
    fakeReset();
    camera = levelCamera();
    camera.speed = 100;
    fake().keyHeld[VK_LEFT] = true;
    fake().keyHeld['A'] = true;
    cameraUpdate(camera);
    expectVec(camera.position, 0, 0, -1);
    fake().keyHeld[VK_LEFT] = fake().keyHeld['A'] = false;
    fake().keyHeld['D'] = true;
    fake().keyHeld[VK_RIGHT] = true;
    cameraUpdate(camera);
    expectVec(camera.position, 0, 0, 0);
}

TEST_F(CameraTest, SpeedZeroStopsTheKeysButNotTheMouse) {
    Camera camera = levelCamera();
    camera.speed = 0;
    fake().keyHeld['W'] = fake().keyHeld['D'] = true;
    fake().cursorX = 300;  // 100 pixels left: turn left by 0.1
    cameraUpdate(camera);
    expectVec(camera.position, 0, 0, 0);
    expectVec(camera.viewPoint, std::cos(0.1f), 0, -std::sin(0.1f));
}

TEST_F(CameraTest, MouseLookTurnsAndRecentres) {
    // At the centre: nothing happens, the cursor is not touched.
    Camera camera = levelCamera();
    cameraUpdate(camera);
    expectVec(camera.viewPoint, 1, 0, 0);
    EXPECT_EQ(fakeCount("SetCursorPos"), 0);
    EXPECT_EQ(accumulatedPitch, 0.0f);

    // 100 pixels up: the view tilts up by 0.1 and the sum goes down.
    fake().cursorY = 200;
    cameraUpdate(camera);
    expectVec(camera.viewPoint, std::cos(0.1f), std::sin(0.1f), 0);
    EXPECT_NEAR(accumulatedPitch, -0.1f, tolerance);
    EXPECT_EQ(fakeCount("SetCursorPos(400,300)"), 1);
    EXPECT_EQ(fake().cursorX, 400);
    EXPECT_EQ(fake().cursorY, 300);

    // The next frame with the cursor left alone turns no further.
    cameraUpdate(camera);
    expectVec(camera.viewPoint, std::cos(0.1f), std::sin(0.1f), 0);
    EXPECT_NEAR(distance(camera.position, camera.viewPoint), 1.0f, tolerance);
}

TEST_F(CameraTest, PitchLimit) {
    // At the limit, a purely sideways movement still turns the view.
    Camera camera = levelCamera();
    accumulatedPitch = 1.0f;
    fake().cursorX = 300;
    cameraUpdate(camera);
    EXPECT_EQ(accumulatedPitch, 1.0f);
    expectVec(camera.viewPoint, std::cos(0.1f), 0, -std::sin(0.1f));

    // Landing exactly on +1 or -1 applies both turns.
    camera = levelCamera();
    accumulatedPitch = 0.5f;
    fake().cursorX = 300;
    fake().cursorY = 800;  // 500 pixels down
    cameraUpdate(camera);
    ASSERT_EQ(accumulatedPitch, 1.0f);
    EXPECT_NEAR(camera.viewPoint.y, -std::sin(0.5f), tolerance);  // looked down
    EXPECT_LT(camera.viewPoint.z, -0.01f);                        // and left

    camera = levelCamera();
    accumulatedPitch = -0.5f;
    fake().cursorX = 500;
    fake().cursorY = -200;  // 500 pixels up
    cameraUpdate(camera);
    ASSERT_EQ(accumulatedPitch, -1.0f);
    EXPECT_NEAR(camera.viewPoint.y, std::sin(0.5f), tolerance);
    EXPECT_GT(camera.viewPoint.z, 0.01f);

    // Crossing the limit pins the sum and drops the whole frame's turn,
    // but the cursor is still pulled back.
    camera = levelCamera();
    accumulatedPitch = 0.9f;
    fake().cursorX = 100;
    fake().cursorY = 600;  // 0.3 down would make 1.2
    cameraUpdate(camera);
    EXPECT_EQ(accumulatedPitch, 1.0f);
    expectVec(camera.viewPoint, 1, 0, 0);
    EXPECT_EQ(fake().cursorX, 400);
    EXPECT_EQ(fake().cursorY, 300);

    accumulatedPitch = -0.9f;
    fake().cursorX = 700;
    fake().cursorY = 0;
    cameraUpdate(camera);
    EXPECT_EQ(accumulatedPitch, -1.0f);
    expectVec(camera.viewPoint, 1, 0, 0);
}

TEST_F(CameraTest, RotationUsesThePoseAndStrafeUsesTheFrameStart) {
    // The strafe vector is taken before this frame's mouse turn: a quarter
    // turn and a step right in one frame still steps along the old right.
    Camera camera = levelCamera();
    camera.speed = 100;
    fake().cursorX = 400 - 1571;  // about a quarter turn to the left
    fake().keyHeld['D'] = true;
    cameraUpdate(camera);
    expectVec(camera.position, 0, 0, 1);
    EXPECT_NEAR(camera.viewPoint.z - camera.position.z, -1.0f, 1e-3f);
}

TEST_F(CameraTest, VanishingDirectionsNeverPoisonThePose) {
    const float inf = std::numeric_limits<float>::infinity();
    // View point on the eye: no direction, yet every step stays finite and
    // the camera can still be posed again afterwards.
    Camera camera;
    cameraSetPose(camera, 1, 1, 1, 1, 1, 1, 0, 1, 0);
    camera.speed = 100;
    fake().keyHeld['W'] = fake().keyHeld['D'] = true;
    fake().cursorX = 350;
    fake().cursorY = 250;
    cameraUpdate(camera);
    EXPECT_TRUE(finite(camera.position));
    EXPECT_TRUE(finite(camera.viewPoint));
    EXPECT_TRUE(finite(camera.strafeVector));
    expectVec(camera.position, 1, 1, 1);

    // Looking straight along the up vector: no sideways axis. The tilt is
    // skipped, strafing has no direction, but flying forward still works.
    fakeReset();
    accumulatedPitch = 0;
    cameraSetPose(camera, 0, 0, 0, 0, 1, 0, 0, 1, 0);
    camera.speed = 100;
    fake().keyHeld['W'] = fake().keyHeld['D'] = true;
    for (int frame = 0; frame < 3; ++frame) {
        fake().cursorX = 420;
        fake().cursorY = 280;
        cameraUpdate(camera);
    }
    EXPECT_TRUE(finite(camera.position));
    EXPECT_TRUE(finite(camera.viewPoint));
    expectVec(camera.position, 0, 3, 0);
    expectVec(camera.viewPoint, 0, 4, 0);

    // A pose with a non-finite number is refused; the old pose stays.
    cameraSetPose(camera, 0, 0, 0, inf, 0, 0, 0, 1, 0);
    expectVec(camera.viewPoint, 0, 4, 0);
    cameraSetPose(camera, std::nanf(""), 0, 0, 1, 0, 0, 0, 1, 0);
    expectVec(camera.position, 0, 3, 0);

    // A move or turn that overflows is dropped rather than taken.
    cameraSetPose(camera, 3e38f, 0, 0, 3.1e38f, 0, 0, 0, 1, 0);
    cameraAdvance(camera, 1e38f);
    EXPECT_EQ(camera.position.x, 3e38f);
    cameraRotateView(camera, 1, 0, 1, 0);
    EXPECT_TRUE(finite(camera.viewPoint));
    cameraRotateView(camera, inf, 0, 1, 0);
    EXPECT_TRUE(finite(camera.viewPoint));
}
