#include "app/window.h"

#include <cstring>

#include "draw/compose.h"
#include "draw/draw.h"

namespace {

const char* const modeSwitchFailedText = "Mode Switch Failed.\nRunning In Windowed Mode.";

// Gives back the device context and the window after a failed step.
void windowRelease(GLWindow* window) {
    platformReleaseDC(window->windowHandle, window->deviceContext);
    window->deviceContext = nullptr;
    platformDestroyWindow(window->windowHandle);
    window->windowHandle = nullptr;
}

// The window with its device context and a current rendering context of
// the kind chosen last; 1, or 0 after releasing whatever was made.
int windowMakeContext(GLWindow* window, uint32_t style, uint32_t exStyle, const PlatformRect& rect,
                      const PlatformPixelFormat& request) {
    window->windowHandle = platformCreateWindow(
        exStyle, window->application->className, window->title, style, 0, 0, rect.right - rect.left,
        rect.bottom - rect.top, window->application->instance, window, &request);
    if (window->windowHandle == nullptr) return 0;

    window->deviceContext = platformGetDC(window->windowHandle);
    if (window->deviceContext == nullptr) {
        platformDestroyWindow(window->windowHandle);
        window->windowHandle = nullptr;
        return 0;
    }

    const int format = platformChoosePixelFormat(window->deviceContext, &request);
    if (format == 0) {
        windowRelease(window);
        return 0;
    }
    if (!platformSetPixelFormat(window->deviceContext, format, &request)) {
        windowRelease(window);
        return 0;
    }

    window->renderContext = platformCreateContext(window->deviceContext);
    if (window->renderContext == nullptr) {
        windowRelease(window);
        return 0;
    }
    if (!platformMakeCurrent(window->deviceContext, window->renderContext)) {
        platformDeleteContext(window->renderContext);
        window->renderContext = nullptr;
        windowRelease(window);
        return 0;
    }

    return 1;
}

// The window with a current context of the kind prepared for the renderer,
// and the renderer started in it; 0 after releasing everything, with `why`
// (160 bytes) filled in where the renderer could not start.
bool windowMakeDrawable(GLWindow* window, DrawRenderer renderer, uint32_t style, uint32_t exStyle,
                        const PlatformRect& rect, const PlatformPixelFormat& request, char* why) {
    if (!windowMakeContext(window, style, exStyle, rect, request)) return false;
    if (drawStart(renderer, why, 160)) {
        if (why[0] != '\0') platformWarn(why);
        return true;
    }
    platformMakeCurrent(window->deviceContext, nullptr);
    platformDeleteContext(window->renderContext);
    window->renderContext = nullptr;
    windowRelease(window);
    return false;
}

// Shows the window made, and starts it afresh: the viewport, no keys held,
// the pointer to be put at the centre, the frame clock from now.
int windowShown(GLWindow* window) {
    platformShowWindow(window->windowHandle, SW_SHOWNORMAL);
    window->isVisible = 1;
    // Whatever viewport a size message set while the window was made, the
    // one that counts is the requested size, now that GL is current.
    viewportResize(window->width, window->height);
    std::memset(window->keys, 0, sizeof *window->keys);
    window->focusLost = 0;
    window->pointerToCentre = 1;
    window->lastTickCount = platformGetTickCount();
    return 1;
}

}  // namespace

PlatformPixelFormat windowPixelFormatRequest(int32_t bitsPerPixel) {
    PlatformPixelFormat request;
    std::memset(&request, 0, sizeof request);
    request.size = 40;
    request.version = 1;
    request.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.pixelType = PFD_TYPE_RGBA;
    request.colorBits = static_cast<uint8_t>(bitsPerPixel);
    request.accumBits = 16;
    request.accumRedBits = 16;
    request.accumGreenBits = 16;
    request.accumBlueBits = 16;
    request.accumAlphaBits = 16;
    request.depthBits = 16;
    // What counting the passes needs; a window with fewer still comes, and
    // sums its passes in the accumulation buffer.
    request.stencilBits = drawCountStencilBits;
    request.auxBuffers = 0;
    request.layerType = PFD_MAIN_PLANE;
    return request;
}

void viewportResize(int32_t width, int32_t height) {
    drawViewport(0, 0, width, height);
    drawMatrixMode(drawProjection);
    drawLoadIdentity();
    // A zero height gives an infinite (or, with a zero width, not-a-number)
    // aspect: a floating-point quotient, never a trap, and harmless to GL,
    // since the viewport it applies to is empty.
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    drawPerspective(90.0, aspect, static_cast<double>(0.1f), 2000.0);
    drawMatrixMode(drawModelView);
    drawLoadIdentity();
}

int displayModeSet(int32_t width, int32_t height, int32_t bitsPerPixel) {
    PlatformDisplayMode mode;
    std::memset(&mode, 0, sizeof mode);
    mode.size = 148;
    mode.pelsWidth = static_cast<uint32_t>(width);
    mode.pelsHeight = static_cast<uint32_t>(height);
    mode.bitsPerPel = static_cast<uint32_t>(bitsPerPixel);
    mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return platformChangeDisplaySettings(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL ? 1 : 0;
}

int windowCreate(GLWindow* window) {
    const PlatformPixelFormat request = windowPixelFormatRequest(window->bitsPerPixel);
    PlatformRect rect = {0, 0, window->width, window->height};

    uint32_t exStyle;
    uint32_t style;
    if (window->isFullScreen == 1) {
        if (displayModeSet(window->width, window->height, window->bitsPerPixel) == 1) {
            platformShowCursor(0);
            exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
            style = WS_POPUP;
        } else {
            // The outer size stays the requested one, so the client area
            // comes out smaller by the frame.
            platformMessageBox(nullptr, modeSwitchFailedText, "Error", MB_ICONWARNING);
            window->isFullScreen = 0;
            exStyle = WS_EX_APPWINDOW;
            style = WS_OVERLAPPEDWINDOW;
        }
    } else {
        exStyle = WS_EX_APPWINDOW;
        style = WS_OVERLAPPEDWINDOW;
        platformAdjustWindowRect(&rect, style, exStyle);
    }

    // The renderer asked for where its context can be had; otherwise the
    // one it falls back to, after one line that says why.
    DrawRenderer renderer = static_cast<DrawRenderer>(window->renderer);
    char why[160];
    for (;;) {
        if (drawContextPrepare(renderer, why, sizeof why) &&
            windowMakeDrawable(window, renderer, style, exStyle, rect, request, why)) {
            return windowShown(window);
        }
        if (!drawFallBack(&renderer, why)) return 0;
    }
}

void windowDestroy(GLWindow* window) {
    if (window->windowHandle != nullptr) {
        if (window->deviceContext != nullptr) {
            // What the renderer made ends with the context.
            if (window->renderContext != nullptr) drawStop();
            platformMakeCurrent(window->deviceContext, nullptr);
            if (window->renderContext != nullptr) {
                platformDeleteContext(window->renderContext);
                window->renderContext = nullptr;
            }
            platformReleaseDC(window->windowHandle, window->deviceContext);
            window->deviceContext = nullptr;
        }
        platformDestroyWindow(window->windowHandle);
        window->windowHandle = nullptr;
    }
    if (window->isFullScreen != 0) {
        platformChangeDisplaySettings(nullptr, 0);
        platformShowCursor(1);
    }
}
