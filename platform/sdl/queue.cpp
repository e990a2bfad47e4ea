// SDL's events translated into window messages, the toggle signal among
// them, and the wait for them.
#include <iterator>

#include "platform/queue.h"
#include "platform/sdl/internal.h"

namespace {

// The window events that stand for one message each.
const QueueEventMessage windowEventMessages[] = {
    {SDL_WINDOWEVENT_CLOSE, WM_CLOSE, 0},
    {SDL_WINDOWEVENT_FOCUS_GAINED, WM_SETFOCUS, 0},
    {SDL_WINDOWEVENT_FOCUS_LOST, WM_KILLFOCUS, 0},
    {SDL_WINDOWEVENT_MINIMIZED, WM_SIZE, SIZE_MINIMIZED},
};

bool eventIsForWindow(uint32_t windowId) {
    return windowingLayer.window != nullptr &&
           SDL_GetWindowID(windowingLayer.window->sdl) == windowId;
}

void queueClientSize(uintptr_t kind) {
    PlatformWindow* window = windowingLayer.window;
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    queuePost(window, WM_SIZE, kind, queuePackSize(width, height));
}

void translateWindowEvent(const SDL_WindowEvent& event) {
    PlatformWindow* window = windowingLayer.window;
    if (queuePostFor(window, windowEventMessages, std::size(windowEventMessages), event.event)) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_RESTORED: queueClientSize(SIZE_RESTORED); break;
    case SDL_WINDOWEVENT_MAXIMIZED: queueClientSize(SIZE_MAXIMIZED); break;
    case SDL_WINDOWEVENT_RESIZED:
        if (event.data1 == window->fittedWidth && event.data2 == window->fittedHeight) {
            // Our own fitting to the frame, not the user's resize.
            window->fittedWidth = window->fittedHeight = -1;
            break;
        }
        queueClientSize((SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MAXIMIZED) ? SIZE_MAXIMIZED
                                                                                 : SIZE_RESTORED);
        break;
    default: break;
    }
}

// Turns one SDL event into the window messages it stands for.
void translateEvent(const SDL_Event& event) {
    PlatformWindow* window = windowingLayer.window;
    switch (event.type) {
    case SDL_QUIT:
        // An interrupt from the terminal, or the session ending: close the
        // window as the user would, so the program ends in good order.
        if (window != nullptr) queuePost(window, WM_CLOSE, 0, 0);
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
        if (window == nullptr) break;
        const int virtualKey = sdlVirtualKeyFromSdl(event.key.keysym.sym);
        if (virtualKey < 0) break;
        queuePostKey(window, virtualKey, event.type == SDL_KEYDOWN,
                     (event.key.keysym.mod & KMOD_ALT) != 0);
        break;
    }
    case SDL_MOUSEMOTION:
        if (!eventIsForWindow(event.motion.windowID)) break;
        {
            int windowX = 0, windowY = 0;
            SDL_GetWindowPosition(window->sdl, &windowX, &windowY);
            sdlLayer.cursorKnown = true;
            sdlLayer.cursorX = windowX + event.motion.x;
            sdlLayer.cursorY = windowY + event.motion.y;
        }
        break;
    default: break;
    }
}

}  // namespace

void queuePump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) translateEvent(event);
    if (sdlToggleSignalled) {
        sdlToggleSignalled = 0;
        if (windowingLayer.window != nullptr) queuePost(windowingLayer.window, WM_USER + 1, 0, 0);
    }
}

void queueSleep() {
    // Sleeps in the window system's wait; the bounded wait lets a signal
    // that arrived meanwhile become a message within a quarter second.
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 250)) translateEvent(event);
}
