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

intptr_t recordingProc(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    received.push_back(PlatformMessage{window, message, wParam, lParam});
    return platformDefWindowProc(window, message, wParam, lParam);
}

GLint glInt(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// A 320 x 200 window; returns it with nothing left in its queue.
PlatformWindow* openEmptied() {
    received.clear();
    if (!glHarnessOpen(320, 200, nullptr, recordingProc)) return nullptr;
    PlatformMessage message;
    while (platformPeekMessage(&message, glHarnessWindow(), PM_REMOVE)) {
    }
    return glHarnessWindow();
}

}  // namespace

TEST(Layer, TheClosestFramebufferLeavesOutAccumulationBeforeStencil) {
    // No display offers 64-bit channels: what cannot be had is left out,
    // the accumulation buffer first, and the window still comes.
    const struct {
        int accumBits, stencilBits;
        bool accum, stencil;
    } rows[] = {{16, 1, true, true}, {64, 1, false, true}, {64, 64, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.accumBits + row.stencilBits);
        PlatformPixelFormat request = windowPixelFormatRequest(32);
        request.accumRedBits = request.accumGreenBits = request.accumBlueBits = row.accumBits;
        request.stencilBits = row.stencilBits;
        ASSERT_TRUE(glHarnessOpen(320, 200, &request));
        EXPECT_EQ(glInt(GL_ACCUM_RED_BITS) >= 16, row.accum);
        EXPECT_EQ(glInt(GL_STENCIL_BITS) >= 1, row.stencil);
        EXPECT_GE(glInt(GL_DEPTH_BITS), 16);
        EXPECT_EQ(glInt(GL_DOUBLEBUFFER), GL_TRUE);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_EQ(glHarnessReadRgb()[1], 255);
        glHarnessClose();
    }
}

TEST(Layer, CreationHandsOverItsParameterAndShowingTheClientSize) {
    ASSERT_NE(openEmptied(), nullptr);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, WM_CREATE);
    const auto* creation = reinterpret_cast<const PlatformCreateStruct*>(received[0].lParam);
    EXPECT_TRUE(creation != nullptr && creation->createParams != nullptr);
    EXPECT_TRUE(std::any_of(received.begin(), received.end(), [](const PlatformMessage& m) {
        return m.message == WM_SIZE && m.wParam == SIZE_RESTORED && m.lParam == ((200 << 16) | 320);
    }));
    glHarnessClose();
}

TEST(Layer, TheQueueHandsOutPostedMessagesOldestFirstAndOnlyForTheWindowAsked) {
    PlatformWindow* window = openEmptied();
    ASSERT_NE(window, nullptr);
    PlatformMessage message;
    platformPostMessage(window, WM_USER + 7, 1, 2);
    platformPostMessage(nullptr, WM_USER + 8, 0, 0);  // for no window
    platformPostMessage(window, WM_QUIT, 0, 0);
    ASSERT_TRUE(platformPeekMessage(&message, window, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_USER + 7u);
    ASSERT_TRUE(platformPeekMessage(&message, window, PM_REMOVE));
    EXPECT_TRUE(message.message == WM_USER + 7u && message.wParam == 1u && message.lParam == 2);
    ASSERT_TRUE(platformPeekMessage(&message, window, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(platformPeekMessage(&message, window, PM_REMOVE));
    platformPostMessage(window, WM_USER + 9, 0, 0);
    EXPECT_EQ(platformWaitMessage(), 1);  // a message already queued: no wait
    // A destroyed window's messages go with it.
    glHarnessClose(true);
    platformPostMessage(nullptr, WM_USER + 10, 0, 0);
    ASSERT_TRUE(platformPeekMessage(&message, nullptr, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 8u);
    glHarnessClose();
}

TEST(Layer, TheToggleSignalWakesAWaitAndBecomesTheToggleMessage) {
    PlatformWindow* window = openEmptied();
    ASSERT_NE(window, nullptr);
    // Sent from elsewhere, most likely while the wait has begun; either way
    // the wait must end and the message must come.
    std::thread sender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::raise(SIGUSR1);
    });
    EXPECT_EQ(platformWaitMessage(), 1);
    sender.join();
    PlatformMessage message;
    bool toggled = false;
    while (platformPeekMessage(&message, window, PM_REMOVE)) toggled = toggled || message.message == WM_USER + 1;
    EXPECT_TRUE(toggled);
    glHarnessClose();
}

TEST(Clock, TheTickCountsMillisecondsAsTheSystemClockDoes) {
    const auto start = std::chrono::steady_clock::now();
    const uint32_t first = platformGetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const uint32_t ticks = platformGetTickCount() - first;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(ticks, 150u);
    EXPECT_LE(ticks, std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() + 1);
}
