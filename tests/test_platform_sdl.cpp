// The real system layer on a real X server: the framebuffer's closest
// match, the window's message queue, the toggle signal and the clock.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include "app/window.h"
#include "platform/platform.h"

namespace {

std::vector<PlatformMessage> received;

intptr_t recordingProc(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
    received.push_back(PlatformMessage{window, message, wParam, lParam});
    return platformDefWindowProc(window, message, wParam, lParam);
}

const char* const className = "TenebrelLayerTest";

PlatformPixelFormat programRequest() {
    return windowPixelFormatRequest(32);
}

class Layer : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        PlatformWindowClass windowClass;
        std::memset(&windowClass, 0, sizeof windowClass);
        windowClass.windowProc = recordingProc;
        windowClass.className = className;
        ASSERT_NE(platformRegisterClass(&windowClass), 0) << "no display";
    }
    void TearDown() override {
        close();
        platformUnregisterClass(className, nullptr);
    }
    // A window with a current context made from `request`.
    bool open(const PlatformPixelFormat& request, int width = 320, int height = 200) {
        PlatformRect rect{0, 0, width, height};
        platformAdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
        static int marker;
        window = platformCreateWindow(WS_EX_APPWINDOW, className, "layer test",
                                      WS_OVERLAPPEDWINDOW, 0, 0, rect.right - rect.left,
                                      rect.bottom - rect.top, nullptr, &marker, &request);
        if (window == nullptr) return false;
        dc = platformGetDC(window);
        const int format = platformChoosePixelFormat(dc, &request);
        if (format == 0 || !platformSetPixelFormat(dc, format, &request)) return false;
        rc = platformCreateContext(dc);
        return rc != nullptr && platformMakeCurrent(dc, rc);
    }
    void close() {
        if (rc != nullptr) {
            platformMakeCurrent(dc, nullptr);
            platformDeleteContext(rc);
            rc = nullptr;
        }
        if (window != nullptr) {
            platformReleaseDC(window, dc);
            platformDestroyWindow(window);
            window = nullptr;
        }
    }
    PlatformWindow* window = nullptr;
    PlatformDeviceContext* dc = nullptr;
    PlatformRenderContext* rc = nullptr;
};

}  // namespace

TEST_F(Layer, TheProgramsFramebufferHasEveryBufferItAsksFor) {
    ASSERT_TRUE(open(programRequest()));
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    EXPECT_GE(bits, 1);
    glGetIntegerv(GL_ACCUM_RED_BITS, &bits);
    EXPECT_GE(bits, 16);
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    EXPECT_GE(bits, 16);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(doubleBuffered, GL_TRUE);
}

TEST_F(Layer, ADisplayWithoutTheBuffersStillGetsTheClosestWindow) {
    // No display offers 64-bit accumulation or stencil channels: the window
    // comes without them rather than not at all.
    PlatformPixelFormat request = programRequest();
    request.accumRedBits = request.accumGreenBits = request.accumBlueBits = 64;
    request.stencilBits = 64;
    ASSERT_TRUE(open(request));
    GLint bits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    EXPECT_GE(bits, 16);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char rgb[3] = {0, 0, 0};
    glReadPixels(5, 5, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ(rgb[1], 255);
}

TEST_F(Layer, CreationDeliversTheCreationParameterAndShowingTheClientSize) {
    ASSERT_TRUE(open(programRequest(), 320, 200));
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, WM_CREATE);
    const PlatformCreateStruct* creation =
        reinterpret_cast<const PlatformCreateStruct*>(received[0].lParam);
    ASSERT_NE(creation, nullptr);
    EXPECT_NE(creation->createParams, nullptr);
    received.clear();
    platformShowWindow(window, SW_SHOWNORMAL);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, WM_SIZE);
    EXPECT_EQ(received[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(received[0].lParam & 0xFFFF, 320);
    EXPECT_EQ((received[0].lParam >> 16) & 0xFFFF, 200);
}

TEST_F(Layer, TheQueueHandsOutPostedMessagesOldestFirstAndOnlyForTheWindowAsked) {
    ASSERT_TRUE(open(programRequest()));
    PlatformMessage message;
    while (platformPeekMessage(&message, window, PM_REMOVE)) {
    }
    platformPostMessage(window, WM_USER + 7, 1, 2);
    platformPostMessage(nullptr, WM_USER + 8, 0, 0);  // for no window
    platformPostMessage(window, WM_QUIT, 0, 0);

    ASSERT_TRUE(platformPeekMessage(&message, window, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_USER + 7u);
    ASSERT_TRUE(platformPeekMessage(&message, window, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 7u);
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 2);
    ASSERT_TRUE(platformPeekMessage(&message, window, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(platformPeekMessage(&message, window, PM_REMOVE));
    // A message already queued means there is no wait.
    platformPostMessage(window, WM_USER + 9, 0, 0);
    EXPECT_EQ(platformWaitMessage(), 1);
    // A destroyed window's messages go with it.
    close();
    platformPostMessage(nullptr, WM_USER + 10, 0, 0);
    ASSERT_TRUE(platformPeekMessage(&message, nullptr, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 8u);
}

TEST_F(Layer, TheToggleSignalWakesAWaitAndBecomesTheToggleMessage) {
    ASSERT_TRUE(open(programRequest()));
    PlatformMessage message;
    while (platformPeekMessage(&message, window, PM_REMOVE)) {
    }
    // Sent from elsewhere while the program waits with nothing to do.
    std::thread sender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::raise(SIGUSR1);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platformWaitMessage(), 1);
    const auto waited = std::chrono::steady_clock::now() - start;
    sender.join();
    EXPECT_LT(waited, std::chrono::seconds(5));
    bool toggled = false;
    while (platformPeekMessage(&message, window, PM_REMOVE)) {
        if (message.message == WM_USER + 1) toggled = true;
    }
    EXPECT_TRUE(toggled);
}

TEST(Clock, TheTickCountsMillisecondsForward) {
    const uint32_t first = platformGetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const uint32_t elapsed = platformGetTickCount() - first;
    EXPECT_GE(elapsed, 110u);
    EXPECT_LT(elapsed, 2000u);
}
