#include "app/window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

namespace {

const char* const modeSwitchFailedText = "Mode Switch Failed.\nRunning In Windowed Mode.";

// Gives back the device context and the window after a failed step.
void windowRelease(GLWindow* window) {
    platformReleaseDC(window->windowHandle, window->deviceContext);
    window->deviceContext = nullptr;
    platformDestroyWindow(window->windowHandle);
    window->windowHandle = nullptr;
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
    request.stencilBits = 1;
    request.auxBuffers = 0;
    request.layerType = PFD_MAIN_PLANE;
    return request;
}

void viewportResize(int32_t width, int32_t height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height gives an infinite (or, with a zero width, not-a-number)
    // aspect: a floating-point quotient, never a trap, and harmless to GL,
    // since the viewport it applies to is empty.
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(90.0, aspect, static_cast<double>(0.1f), 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
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

    window->windowHandle = platformCreateWindow(
        exStyle, window->application->className, window->title, style, 0, 0,
        rect.right - rect.left, rect.bottom - rect.top, window->application->instance, window,
        &request);
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

    platformShowWindow(window->windowHandle, SW_SHOWNORMAL);
    window->isVisible = 1;
    // Whatever viewport a size message set while the window was made, the
    // one that counts is the requested size, now that GL is current.
    viewportResize(window->width, window->height);
    std::memset(window->keys->entries, 0, sizeof window->keys->entries);
    window->focusLost = 0;
    window->pointerToCentre = 1;
    window->lastTickCount = platformGetTickCount();
    return 1;
}

void windowDestroy(GLWindow* window) {
    if (window->windowHandle != nullptr) {
        if (window->deviceContext != nullptr) {
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
