#include "gl_harness.h"

#include <GL/gl.h>

#include "app/window.h"

namespace {

PlatformWindow* harnessWindow = nullptr;
PlatformDeviceContext* harnessDC = nullptr;
PlatformRenderContext* harnessRC = nullptr;
const char* const harnessClassName = "TenebrelTest";

}  // namespace

PlatformWindow* glHarnessOpen(int width, int height, const PlatformPixelFormat* request,
                              PlatformWindowProc proc) {
    static char instance;
    PlatformWindowClass windowClass{};
    windowClass.size = sizeof windowClass;
    windowClass.windowProc = proc != nullptr ? proc : platformDefWindowProc;
    windowClass.instance = &instance, windowClass.className = harnessClassName;
    if (platformRegisterClass(&windowClass) == 0) return nullptr;
    const PlatformPixelFormat format = request != nullptr ? *request : windowPixelFormatRequest(32);
    PlatformRect rect{0, 0, width, height};
    platformAdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    harnessWindow = platformCreateWindow(WS_EX_APPWINDOW, harnessClassName, "Tenebrel test",
                                         WS_OVERLAPPEDWINDOW, 0, 0, rect.right - rect.left,
                                         rect.bottom - rect.top, &instance, &instance, &format);
    if (harnessWindow == nullptr) return nullptr;
    harnessDC = platformGetDC(harnessWindow);
    const int index = platformChoosePixelFormat(harnessDC, &format);
    if (index == 0 || !platformSetPixelFormat(harnessDC, index, &format)) return nullptr;
    harnessRC = platformCreateContext(harnessDC);
    if (harnessRC == nullptr || !platformMakeCurrent(harnessDC, harnessRC)) return nullptr;
    platformShowWindow(harnessWindow, SW_SHOWNORMAL);
    glViewport(0, 0, width, height);
    return harnessWindow;
}

void glHarnessClose(bool keepClass) {
    if (harnessRC != nullptr)
        platformMakeCurrent(harnessDC, nullptr), platformDeleteContext(harnessRC);
    if (harnessWindow != nullptr)
        platformReleaseDC(harnessWindow, harnessDC), platformDestroyWindow(harnessWindow);
    harnessRC = nullptr, harnessWindow = nullptr;
    if (!keepClass) platformUnregisterClass(harnessClassName, nullptr);
}

std::vector<uint8_t> glHarnessReadRgb() {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<uint8_t> pixels(static_cast<size_t>(viewport[2]) * viewport[3] * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
