// Light control, the ray flag, the Escape key, the frame-rate counter and
// the camera hand-off of the per-frame update, over the fake system layer.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app.h"
#include "platform_fake.h"
#include "scene/scene.h"

namespace {

class SceneControl : public ::testing::Test {
protected:
    KeyTable keys;
    GLWindow window;

    void SetUp() override {
        fakeReset();
        fake().tickStep = 0;
        std::memset(&keys, 0, sizeof keys);
        std::memset(&window, 0, sizeof window);
        window.keys = &keys;
        window.windowHandle = reinterpret_cast<PlatformWindow*>(&window);
        // What sceneInit keeps, without the rendering context it needs.
        sceneWindow = &window;
        sceneKeys = &keys;
        isLooping = 1;
        lightPosition = Vec3{5, 1, 5};
        showRays = 0;
        fpsValue = frameCount = lastSampleTime = 0;
        accumulatedPitch = 0;
        cameraSetPose(sceneCamera, 0, 0, 0, 1, 0, 0, 0, 1, 0);
    }

    void TearDown() override {
        sceneWindow = nullptr;
        sceneKeys = nullptr;
    }

    int quitsPosted() const {
        int count = 0;
        for (const PlatformMessage& m : fake().queue) {
            if (m.message == WM_QUIT && m.window == window.windowHandle) ++count;
        }
        return count;
    }
};

void expectLight(float x, float y, float z) {
    EXPECT_NEAR(lightPosition.x, x, 1e-5f);
    EXPECT_NEAR(lightPosition.y, y, 1e-5f);
    EXPECT_NEAR(lightPosition.z, z, 1e-5f);
}

}  // namespace

TEST_F(SceneControl, EscapeRequestsQuitAndTheUpdateGoesOn) {
    keys.entries[VK_ESCAPE] = 1;
    keys.entries['J'] = 1;
    keys.entries[VK_SPACE] = 1;
    fake().keyHeld['W'] = true;
    sceneUpdate(100);
    EXPECT_EQ(quitsPosted(), 1);
    EXPECT_EQ(isLooping, 0);
    // Light, rays and camera all still moved in the same update.
    expectLight(6, 1, 5);
    EXPECT_EQ(showRays, 1);
    EXPECT_NEAR(sceneCamera.position.x, 1.0f, 1e-5f);
    EXPECT_EQ(fpsValue, 1.0f);  // the frame was counted (and, being the first, published)

    // No Escape, no quit.
    std::memset(&keys, 0, sizeof keys);
    fake().queue.clear();
    isLooping = 1;
    sceneUpdate(100);
    EXPECT_EQ(quitsPosted(), 0);
    EXPECT_EQ(isLooping, 1);
}

TEST_F(SceneControl, EachLightKeyMovesItsAxisByElapsedTimesAHundredth) {
    struct Case {
        int key;
        float dx, dy, dz;
    };
    const Case cases[] = {
        {'I', 0, -1, 0}, {'K', 0, 1, 0}, {'L', -1, 0, 0},
        {'J', 1, 0, 0},  {'U', 0, 0, -1}, {'O', 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        lightPosition = Vec3{5, 1, 5};
        std::memset(&keys, 0, sizeof keys);
        keys.entries[c.key] = 1;
        sceneUpdate(250);  // a quarter second: 2.5 units
        expectLight(5 + 2.5f * c.dx, 1 + 2.5f * c.dy, 5 + 2.5f * c.dz);
    }

    // Opposite keys cancel; the three axes move independently.
    lightPosition = Vec3{5, 1, 5};
    std::memset(&keys, 0, sizeof keys);
    keys.entries['I'] = keys.entries['K'] = 1;
    keys.entries['L'] = keys.entries['J'] = 1;
    keys.entries['U'] = keys.entries['O'] = 1;
    sceneUpdate(300);
    expectLight(5, 1, 5);

    // Only an entry of exactly 1 counts as held.
    keys.entries['K'] = 0;
    keys.entries['I'] = 2;
    sceneUpdate(100);
    expectLight(5, 1, 5);

    // No time, no movement; the frame still counts.
    std::memset(&keys, 0, sizeof keys);
    keys.entries['J'] = 1;
    fake().keyHeld['W'] = true;
    const float framesBefore = frameCount;
    sceneUpdate(0);
    expectLight(5, 1, 5);
    EXPECT_NEAR(sceneCamera.position.x, 0.0f, 1e-6f);
    EXPECT_EQ(frameCount, framesBefore + 1);

    // The light is unbounded: it may pass through the walls.
    sceneUpdate(5000);
    expectLight(55, 1, 5);
}

TEST_F(SceneControl, RaysFollowTheSpaceKey) {
    sceneUpdate(16);
    EXPECT_EQ(showRays, 0);
    keys.entries[VK_SPACE] = 1;
    sceneUpdate(16);
    EXPECT_EQ(showRays, 1);
    sceneUpdate(16);
    EXPECT_EQ(showRays, 1);  // held, not toggled
    keys.entries[VK_SPACE] = 0;
    sceneUpdate(16);
    EXPECT_EQ(showRays, 0);
}

TEST_F(SceneControl, UpdateHandsElapsedTimeToTheCamera) {
    fake().keyHeld[VK_RIGHT] = true;
    fake().cursorX = 300;
    sceneUpdate(200);
    EXPECT_EQ(sceneCamera.speed, 200.0f);
    // Two units to the right (+z when facing +x), then the turn to the left.
    EXPECT_NEAR(sceneCamera.position.z, 2.0f, 1e-5f);
    EXPECT_LT(sceneCamera.viewPoint.z - sceneCamera.position.z, -0.05f);
    EXPECT_EQ(fake().cursorX, 400);
}

TEST_F(SceneControl, UpdateOutsideTheWindowsLifetimeIsHarmless) {
    sceneWindow = nullptr;
    sceneKeys = nullptr;
    fake().keyHeld['W'] = true;
    sceneUpdate(100);
    EXPECT_EQ(quitsPosted(), 0);
    expectLight(5, 1, 5);
    EXPECT_NEAR(sceneCamera.position.x, 1.0f, 1e-5f);
    // Nothing to set up without the shell's records.
    EXPECT_EQ(sceneInit(nullptr, &keys), 0);
    EXPECT_EQ(sceneInit(&window, nullptr), 0);
}

TEST_F(SceneControl, FrameRatePublishesAtMostOncePerSecond) {
    // The first sample publishes at once: uptime is far beyond a second.
    fake().tick = 1000000;
    EXPECT_EQ(fpsSample(), 1.0f);
    EXPECT_EQ(fpsValue, 1.0f);
    EXPECT_EQ(frameCount, 0.0f);

    // 59 more frames within the second publish nothing.
    for (int frame = 1; frame < 60; ++frame) {
        fake().tick = 1000000 + static_cast<uint32_t>(frame) * 16;
        EXPECT_EQ(fpsSample(), 1.0f);
    }
    EXPECT_EQ(frameCount, 59.0f);
    fake().tick = 1000999;
    EXPECT_EQ(fpsSample(), 1.0f);

    // The frame that closes an interval of more than a second is counted in.
    fake().tick = 1001500;
    EXPECT_EQ(fpsSample(), 61.0f);
    EXPECT_EQ(fpsValue, 61.0f);
    EXPECT_EQ(frameCount, 0.0f);
    EXPECT_NEAR(lastSampleTime, 1001.5f, 0.01f);

    // The update samples once per frame and leaves the result in fpsValue.
    fake().tick = 1001600;
    sceneUpdate(100);
    EXPECT_EQ(frameCount, 1.0f);
    fake().tick = 1003000;
    sceneUpdate(100);
    EXPECT_EQ(fpsValue, 2.0f);
}

TEST_F(SceneControl, FrameRateNeedsMoreThanExactlyOneSecond) {
    // One second after start (t exactly 1.0) is not yet more than a second.
    fake().tick = 1000;
    EXPECT_EQ(fpsSample(), 0.0f);
    fake().tick = 1001;
    EXPECT_EQ(fpsSample(), 2.0f);
    EXPECT_EQ(frameCount, 0.0f);
}

TEST_F(SceneControl, FrameRateAfterTheTickCounterWraps) {
    fake().tick = 4294960000u;  // seven seconds before the wrap
    fpsSample();
    const float published = fpsValue;
    const float sampledAt = lastSampleTime;

    // After the wrap the time lies below the last sample: nothing is
    // published, whatever the count, until it is a second past it again.
    for (uint32_t tick : {2000u, 5000000u, 3000000000u, 4294960500u}) {
        fake().tick = tick;
        EXPECT_EQ(fpsSample(), published);
    }
    EXPECT_EQ(lastSampleTime, sampledAt);
    EXPECT_EQ(frameCount, 4.0f);
    fake().tick = 4294963000u;
    EXPECT_EQ(fpsSample(), 5.0f);
}
