#include "gl_harness.h"

#include <GL/gl.h>

#include <cstring>

#include "app/window.h"
#include "platform/platform.h"

namespace {

PlatformWindow* harnessWindow = nullptr;
PlatformDeviceContext* harnessDC = nullptr;
PlatformRenderContext* harnessRC = nullptr;
const char* const harnessClassName = "TenebrelTest";

intptr_t harnessWindowProc(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    return platformDefWindowProc(window, message, wParam, lParam);
}

}  // namespace

bool glHarnessOpen(int width, int height) {
    static char instance;
    PlatformWindowClass windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.size = sizeof windowClass;
    windowClass.windowProc = harnessWindowProc;
    windowClass.instance = &instance;
    windowClass.className = harnessClassName;
    if (platformRegisterClass(&windowClass) == 0) return false;

    const PlatformPixelFormat request = windowPixelFormatRequest(32);

    PlatformRect rect{0, 0, width, height};
    platformAdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW);
    harnessWindow = platformCreateWindow(WS_EX_APPWINDOW, harnessClassName, "Tenebrel test",
                                         WS_OVERLAPPEDWINDOW, 0, 0, rect.right - rect.left,
                                         rect.bottom - rect.top, &instance, nullptr, &request);
    if (harnessWindow == nullptr) return false;
    harnessDC = platformGetDC(harnessWindow);
    const int format = platformChoosePixelFormat(harnessDC, &request);
    if (format == 0 || !platformSetPixelFormat(harnessDC, format, &request)) return false;
    harnessRC = platformCreateContext(harnessDC);
    if (harnessRC == nullptr || !platformMakeCurrent(harnessDC, harnessRC)) return false;
    platformShowWindow(harnessWindow, SW_SHOWNORMAL);
    glViewport(0, 0, width, height);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    return true;
}

void glHarnessClose() {
    if (harnessRC != nullptr) {
        platformMakeCurrent(harnessDC, nullptr);
        platformDeleteContext(harnessRC);
        harnessRC = nullptr;
    }
    if (harnessWindow != nullptr) {
        platformReleaseDC(harnessWindow, harnessDC);
        harnessDC = nullptr;
        platformDestroyWindow(harnessWindow);
        harnessWindow = nullptr;
    }
    platformUnregisterClass(harnessClassName, nullptr);
}

GLHarnessPixel glHarnessPixel(int x, int y) {
    unsigned char rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return GLHarnessPixel{rgb[0], rgb[1], rgb[2]};
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

int glHarnessStencilBits() {
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    return bits;
}

int glHarnessAccumRedBits() {
    GLint bits = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &bits);
    return bits;
}
