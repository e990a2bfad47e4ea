// The message queue: SDL's events translated into window messages, and the
// program's own posts.
#include "platform/queue.h"
#include "platform/sdl/internal.h"

intptr_t sdlPackSize(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(width) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(height) & 0xFFFFu) << 16));
}

void sdlQueuePost(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    sdlLayer.queue.push_back(PlatformMessage{window, message, wParam, lParam});
}

namespace {

bool eventIsForWindow(uint32_t windowId) {
    return sdlLayer.window != nullptr && SDL_GetWindowID(sdlLayer.window->sdl) == windowId;
}

void queueClientSize(uintptr_t kind) {
    int width = 0, height = 0;
    SDL_GetWindowSize(sdlLayer.window->sdl, &width, &height);
    sdlQueuePost(sdlLayer.window, WM_SIZE, kind, sdlPackSize(width, height));
}

void translateWindowEvent(const SDL_WindowEvent& event) {
    PlatformWindow* window = sdlLayer.window;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        sdlQueuePost(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        sdlQueuePost(window, WM_SETFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        sdlQueuePost(window, WM_KILLFOCUS, 0, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        sdlQueuePost(window, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        queueClientSize(SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        queueClientSize(SIZE_MAXIMIZED);
        break;
    case SDL_WINDOWEVENT_RESIZED:
        if (event.data1 == window->fittedWidth && event.data2 == window->fittedHeight) {
            // Our own fitting to the frame, not the user's resize.
            window->fittedWidth = window->fittedHeight = -1;
            break;
        }
        queueClientSize((SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED)
                            ? SIZE_MAXIMIZED
                            : SIZE_RESTORED);
        break;
    default:
        break;
    }
}

// Turns one SDL event into the window messages it stands for.
void translateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        // An interrupt from the terminal, or the session ending: close the
        // window as the user would, so the program ends in good order.
        if (sdlLayer.window != nullptr) sdlQueuePost(sdlLayer.window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        if (eventIsForWindow(event.window.windowID)) translateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        // SDL takes the keyboard focus a moment after the window system
        // gives it, and names no window for keys that come meanwhile. They
        // are ours all the same: the window system sends keys only to the
        // window that has the focus, and this is the program's only window.
        if (event.key.windowID != 0 && !eventIsForWindow(event.key.windowID)) break;
        if (sdlLayer.window == nullptr) break;
        const int virtualKey = sdlVirtualKeyFromSdl(event.key.keysym.sym);
        if (virtualKey < 0) break;
        // Keys pressed with Alt held, and F10, are the system's keys.
        const bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || virtualKey == VK_F10;
        uint32_t message;
        if (event.type == SDL_KEYDOWN) {
            message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
        } else {
            message = system ? WM_SYSKEYUP : WM_KEYUP;
        }
        sdlQueuePost(sdlLayer.window, message, static_cast<uintptr_t>(virtualKey), 0);
        break;
    }
    case SDL_MOUSEMOTION:
        if (!eventIsForWindow(event.motion.windowID)) break;
        {
            int windowX = 0, windowY = 0;
            SDL_GetWindowPosition(sdlLayer.window->sdl, &windowX, &windowY);
            sdlLayer.cursorKnown = true;
            sdlLayer.cursorX = windowX + event.motion.x;
            sdlLayer.cursorY = windowY + event.motion.y;
        }
        break;
    default:
        break;
    }
}

void pumpSystemEvents() {
    if (!sdlLayer.videoUp) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) translateEvent(event);
    if (sdlToggleSignalled) {
        sdlToggleSignalled = 0;
        if (sdlLayer.window != nullptr) sdlQueuePost(sdlLayer.window, WM_USER + 1, 0, 0);
    }
}

bool queueHasMessageFor(PlatformWindow* window) {
    for (const PlatformMessage& message : sdlLayer.queue) {
        if (window == nullptr || message.window == window) return true;
    }
    return false;
}

}  // namespace

int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags) {
    pumpSystemEvents();
    return queueTake(sdlLayer.queue, message, window, removeFlags);
}

intptr_t platformDispatchMessage(const PlatformMessage* message) {
    return queueDispatch(message, sdlLayer.window, sdlLayer.windowProc);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    sdlQueuePost(window, message, wParam, lParam);
    return 1;
}

int platformWaitMessage() {
    pumpSystemEvents();
    while (!queueHasMessageFor(nullptr)) {
        if (!sdlLayer.videoUp) return 0;
        // Sleeps in the window system's wait; the bounded wait lets a signal
        // that arrived meanwhile become a message within a quarter second.
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 250)) translateEvent(event);
        pumpSystemEvents();
    }
    return 1;
}
