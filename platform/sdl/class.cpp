// Video start-up and shut-down (as the window class comes and goes), the one
// window's record, and the toggle signal.
#include <cstdio>
#include <cstring>

#include "platform/sdl/internal.h"

SdlLayer sdlLayer;
volatile sig_atomic_t sdlToggleSignalled = 0;

namespace {

void toggleSignalHandler(int) {
    sdlToggleSignalled = 1;
}

// Installed as the program starts, before the start-up question: the
// signal's default action would end the program while it asks.
bool installToggleSignal() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = toggleSignalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGUSR1, &action, nullptr) == 0;
}

const bool toggleSignalInstalled = installToggleSignal();

bool isRealDisplayDriver(const char* name) {
    if (name == nullptr) return false;
    return std::strcmp(name, "x11") == 0 || std::strcmp(name, "wayland") == 0 ||
           std::strcmp(name, "kmsdrm") == 0;
}

}  // namespace

WindowingWindow* windowingOf(PlatformWindow* window) {
    return window != nullptr ? &window->shared : nullptr;
}

bool windowingSystemStart() {
    sdlHideSrgbFramebufferExtension();
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "No display: %s\n", SDL_GetError());
        return false;
    }
    // Without a display SDL still comes up, on a driver that draws nowhere;
    // a program nobody can see must not count as started.
    if (!isRealDisplayDriver(SDL_GetCurrentVideoDriver())) {
        std::fprintf(stderr, "No display: only the \"%s\" video driver is available\n",
                     SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "none");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void windowingSystemStop() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
