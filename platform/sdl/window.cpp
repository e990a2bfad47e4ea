// Windows: made hidden at the size asked for, fitted to the window manager's
// frame once shown, destroyed with whatever was queued for them.
#include <algorithm>
#include <cstdio>

#include "platform/sdl/internal.h"

int platformAdjustWindowRect(PlatformRect* rect, uint32_t style, uint32_t) {
    if (rect == nullptr) return 0;
    const int clientWidth = rect->right - rect->left;
    const int clientHeight = rect->bottom - rect->top;
    if ((style & WS_POPUP) == 0) {
        rect->left -= sdlLayer.frame.left;
        rect->top -= sdlLayer.frame.top;
        rect->right += sdlLayer.frame.right;
        rect->bottom += sdlLayer.frame.bottom;
    }
    sdlLayer.hint = SdlClientSizeHint{true, rect->right - rect->left, rect->bottom - rect->top,
                                      clientWidth, clientHeight};
    return 1;
}

PlatformWindow* platformCreateWindow(uint32_t, const char* className, const char* title,
                                     uint32_t style, int x, int y, int width, int height, void*,
                                     void* createParams, const PlatformPixelFormat* pixelFormat) {
    if (!windowingMayCreate(className, pixelFormat)) return nullptr;
    const bool popup = (style & WS_POPUP) != 0;

    // SDL sizes the client area. A framed window made at the size that a
    // client rectangle was grown to gets that client size; any other framed
    // window loses the frame from its outer size.
    int clientWidth = width;
    int clientHeight = height;
    const bool hinted = sdlLayer.hint.valid && sdlLayer.hint.outerWidth == width &&
                        sdlLayer.hint.outerHeight == height;
    if (!popup) {
        if (hinted) {
            clientWidth = sdlLayer.hint.clientWidth;
            clientHeight = sdlLayer.hint.clientHeight;
        } else {
            clientWidth = width - sdlLayer.frame.left - sdlLayer.frame.right;
            clientHeight = height - sdlLayer.frame.top - sdlLayer.frame.bottom;
        }
    }
    sdlLayer.hint.valid = false;
    clientWidth = std::max(clientWidth, 1);
    clientHeight = std::max(clientHeight, 1);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= popup ? (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP)
                   : SDL_WINDOW_RESIZABLE;

    // The closest framebuffer the display has: without an accumulation
    // buffer if it has none; then with whatever stencil it has, with an
    // accumulation buffer first; then without a stencil buffer too.
    SDL_Window* sdl = nullptr;
    const int all = 255;
    const struct {
        bool accum;
        int stencilBits;
    } attempts[] = {{true, all}, {false, all}, {true, 1}, {false, 1}, {false, 0}};
    for (const auto& attempt : attempts) {
        sdlSetFramebufferAttributes(pixelFormat, attempt.accum, attempt.stencilBits);
        sdl = sdlCreateGLWindow(title != nullptr ? title : "", x, y, clientWidth, clientHeight,
                                flags);
        if (sdl != nullptr) break;
    }
    if (sdl == nullptr) {
        std::fprintf(stderr, "Cannot create the window: %s\n", SDL_GetError());
        return nullptr;
    }

    if (popup && sdlLayer.modeSet) SDL_SetWindowDisplayMode(sdl, &sdlLayer.mode);

    PlatformWindow* window = new PlatformWindow;
    window->sdl = sdl;
    window->popup = popup;
    window->outerSized = !popup && !hinted;
    window->outerWidth = width;
    window->outerHeight = height;
    window->fittedWidth = window->fittedHeight = -1;
    // A toggle asked for before there was any window is dropped: the answer
    // to the start-up question decides the first window's mode.
    if (!sdlLayer.windowMadeOnce) sdlToggleSignalled = 0;
    sdlLayer.windowMadeOnce = true;
    windowingAdopt(window, createParams);
    return window;
}

namespace {

// The frame is known once the window manager has framed the window, which
// happens after the window shows. A window that is to keep its outer size
// waits a little for it, then loses the frame from its client area; with no
// window manager there is no frame and the wait runs out.
void fitToFrame(PlatformWindow* window) {
    int top = 0, left = 0, bottom = 0, right = 0;
    const int tries = window->outerSized ? 40 : 1;
    for (int i = 0; i < tries; ++i) {
        if (i > 0) {
            SDL_Delay(10);
            SDL_PumpEvents();
        }
        if (SDL_GetWindowBordersSize(window->sdl, &top, &left, &bottom, &right) == 0 &&
            (top | left | bottom | right) != 0) {
            break;
        }
    }
    if ((top | left | bottom | right) != 0) sdlLayer.frame = SdlFrame{left, top, right, bottom};
    if (!window->outerSized) return;
    const int fittedWidth = std::max(window->outerWidth - left - right, 1);
    const int fittedHeight = std::max(window->outerHeight - top - bottom, 1);
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    if (width != fittedWidth || height != fittedHeight) {
        window->fittedWidth = fittedWidth;
        window->fittedHeight = fittedHeight;
        SDL_SetWindowSize(window->sdl, fittedWidth, fittedHeight);
    }
}

}  // namespace

int platformShowWindow(PlatformWindow* window, int) {
    if (window == nullptr) return 0;
    // A fullscreen window takes the display mode chosen for it as it shows.
    SDL_ShowWindow(window->sdl);
    if (!window->popup) fitToFrame(window);
    SDL_RaiseWindow(window->sdl);
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    windowingSendSize(window, width, height);
    return 1;
}

int platformDestroyWindow(PlatformWindow* window) {
    if (window == nullptr) return 0;
    SDL_DestroyWindow(window->sdl);
    windowingForget(window);
    delete window;
    return 1;
}
