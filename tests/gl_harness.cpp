#include "gl_harness.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "app/window.h"
#include "draw/draw.h"

namespace {

PlatformWindow* harnessWindow = nullptr;
PlatformDeviceContext* harnessDC = nullptr;
PlatformRenderContext* harnessRC = nullptr;
bool harnessStarted = false;
const char* const harnessClassName = "TenebrelTest";

}  // namespace

PlatformWindow* glHarnessOpen(int width, int height, const PlatformPixelFormat* request,
                              PlatformWindowProc proc, DrawRenderer renderer) {
    static char instance;
    PlatformWindowClass windowClass{};
    windowClass.size = sizeof windowClass;
    windowClass.windowProc = proc != nullptr ? proc : platformDefWindowProc;
    windowClass.instance = &instance, windowClass.className = harnessClassName;
    char why[160];
    if (platformRegisterClass(&windowClass) == 0 ||
        !drawContextPrepare(renderer, why, sizeof why)) {
        return nullptr;
    }
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
    if (!drawStart(renderer, why, sizeof why)) {
        std::fprintf(stderr, "no renderer: %s\n", why);
        return nullptr;
    }
    harnessStarted = true;
    platformShowWindow(harnessWindow, SW_SHOWNORMAL);
    drawViewport(0, 0, width, height);
    return harnessWindow;
}

void glHarnessClose(bool keepClass) {
    if (harnessStarted) drawStop();
    if (harnessRC != nullptr)
        platformMakeCurrent(harnessDC, nullptr), platformDeleteContext(harnessRC);
    harnessStarted = false;
    if (harnessWindow != nullptr)
        platformReleaseDC(harnessWindow, harnessDC), platformDestroyWindow(harnessWindow);
    harnessRC = nullptr, harnessWindow = nullptr;
    if (!keepClass) platformUnregisterClass(harnessClassName, nullptr);
}

std::vector<uint8_t> glHarnessReadRgb() {
    drawFlush();
    int viewport[4];
    drawGetViewport(viewport);
    // OpenGL ES reads four bytes a pixel; the tests compare three.
    const size_t count = static_cast<size_t>(viewport[2]) * viewport[3];
    std::vector<uint8_t> rgba(count * 4), rgb(count * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < count; ++i) std::copy_n(&rgba[i * 4], 3, &rgb[i * 3]);
    return rgb;
}
