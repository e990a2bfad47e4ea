// The real system layer on a real X server: the framebuffer's closest
// match, the window's message queue, the toggle signal and the clock.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "app/window.h"
#include "gl_harness.h"

namespace {

std::vector<PlatformMessage> received;
void* createParams = nullptr;  // as WM_CREATE handed them: its record lives only as long

intptr_t recordingProc(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
    received.push_back(PlatformMessage{window, message, wParam, lParam});
    if (message == WM_CREATE)
        createParams = reinterpret_cast<const PlatformCreateStruct*>(lParam)->createParams;
    return platformDefWindowProc(window, message, wParam, lParam);
}

// Empties the window's queue; was `wanted` in it?
bool drainFinds(PlatformWindow* window, uint32_t wanted) {
    PlatformMessage message;
    bool found = false;
    while (platformPeekMessage(&message, window, PM_REMOVE))
        found = found || message.message == wanted;
    return found;
}
// A 320 x 200 window, its queue emptied; a quit already queued is a fault.
PlatformWindow* openEmptied() {
    received.clear();
    PlatformWindow* window = glHarnessOpen(320, 200, nullptr, recordingProc);
    return window != nullptr && !drainFinds(window, WM_QUIT) ? window : nullptr;
}

}  // namespace

TEST(Layer, TheClosestFramebufferLeavesOutAccumulationBeforeStencil) {
    // No display offers 64-bit channels: what cannot be had is left out,
    // the accumulation buffer first, then the stencil asked for gives way to
    // what stencil there is, and the window still comes.
    // asked; accum, stencil had
    const int rows[][4] = {{16, 8, 1, 1}, {64, 8, 0, 1}, {64, 64, 0, 1}, {16, 64, 1, 1}};
    for (const auto& row : rows) {
        PlatformPixelFormat request = windowPixelFormatRequest(32);
        request.accumRedBits = request.accumGreenBits = request.accumBlueBits =
            static_cast<uint8_t>(row[0]);
        request.stencilBits = static_cast<uint8_t>(row[1]);
        ASSERT_NE(glHarnessOpen(320, 200, &request), nullptr) << row[0] << " " << row[1];
        auto bits = [](GLenum name) {
            GLint value = 0;
            return glGetIntegerv(name, &value), value;
        };
        EXPECT_TRUE((bits(GL_ACCUM_RED_BITS) >= 16) == row[2] &&
                    (bits(GL_STENCIL_BITS) >= 1) == row[3] && bits(GL_DEPTH_BITS) >= 16 &&
                    bits(GL_DOUBLEBUFFER))
            << row[0] << " " << row[1];
        glHarnessClose();
    }
}

TEST(Layer, CreationHandsOverItsParameterAndShowingTheClientSize) {
    ASSERT_TRUE(openEmptied() != nullptr && !received.empty());
    EXPECT_TRUE(received[0].message == WM_CREATE && createParams != nullptr);
    EXPECT_TRUE(std::any_of(received.begin(), received.end(), [](const PlatformMessage& m) {
        return m.message == WM_SIZE && m.wParam == SIZE_RESTORED && m.lParam == ((200 << 16) | 320);
    }));
    // The class stays while its window is there, as on Windows.
    EXPECT_EQ(platformUnregisterClass("TenebrelTest", nullptr), 0);
    glHarnessClose();
}

TEST(Layer, TheQueueHandsOutPostedMessagesOldestFirstAndOnlyForTheWindowAsked) {
    PlatformWindow* window = openEmptied();
    ASSERT_NE(window, nullptr);
    PlatformMessage message;
    platformPostMessage(window, WM_USER + 7, 1, 2);
    platformPostMessage(nullptr, WM_USER + 8, 0, 0);  // for no window
    platformPostMessage(window, WM_QUIT, 0, 0);
    EXPECT_TRUE(platformPeekMessage(&message, window, PM_NOREMOVE) &&
                message.message == WM_USER + 7u);
    EXPECT_TRUE(platformPeekMessage(&message, window, PM_REMOVE) &&
                message.message == WM_USER + 7u && message.wParam == 1u && message.lParam == 2);
    EXPECT_TRUE(platformPeekMessage(&message, window, PM_REMOVE) && message.message == WM_QUIT);
    EXPECT_FALSE(drainFinds(window, WM_QUIT));  // gone, though the window system may add sizes
    platformPostMessage(window, WM_USER + 9, 0, 0);
    EXPECT_EQ(platformWaitMessage(), 1);  // a message already queued: no wait
    glHarnessClose(true);                 // a destroyed window's messages go with it
    platformPostMessage(nullptr, WM_USER + 10, 0, 0);
    EXPECT_TRUE(platformPeekMessage(&message, nullptr, PM_REMOVE) &&
                message.message == WM_USER + 8u);
    glHarnessClose();
}

TEST(Layer, TheToggleSignalWakesAWaitAndBecomesTheToggleMessage) {
    PlatformWindow* window = openEmptied();
    ASSERT_NE(window, nullptr);
    // Sent from elsewhere, most likely while the wait has begun; either way
    // the wait must end and the message must come.
    std::thread sender(
        [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)), std::raise(SIGUSR1); });
    EXPECT_EQ(platformWaitMessage(), 1);
    sender.join();
    EXPECT_TRUE(drainFinds(window, WM_USER + 1));
    glHarnessClose();
}

TEST(Clock, TheTickCountsMillisecondsAsTheSystemClockDoes) {
    const auto start = std::chrono::steady_clock::now();
    const uint32_t first = platformGetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const uint32_t ticks = platformGetTickCount() - first;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_TRUE(ticks >= 150 && ticks <= elapsed.count() + 1)
        << ticks << " ticks in " << elapsed.count() << " ms";
}
