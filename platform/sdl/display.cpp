// Display modes and the cursor's visibility.
#include "platform/sdl/internal.h"

int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    if (mode == nullptr) {
        // Back to the user's mode: SDL gives the desktop its own mode back as
        // soon as the fullscreen window is gone.
        sdlLayer.modeSet = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!windowingLayer.up || (flags & CDS_FULLSCREEN) == 0) return DISP_CHANGE_FAILED;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate;
        if (SDL_GetDisplayMode(0, i, &candidate) != 0) continue;
        if (static_cast<uint32_t>(candidate.w) != mode->pelsWidth ||
            static_cast<uint32_t>(candidate.h) != mode->pelsHeight) {
            continue;
        }
        // A 32-bit request is met by the usual 24-bit colour in 32-bit pixels.
        const uint32_t bits = SDL_BITSPERPIXEL(candidate.format);
        const bool depthMatches = bits == mode->bitsPerPel ||
                                  (mode->bitsPerPel == 32 && bits == 24) || mode->bitsPerPel == 0;
        if (!depthMatches) continue;
        sdlLayer.mode = candidate;
        sdlLayer.modeSet = true;
        return DISP_CHANGE_SUCCESSFUL;
    }
    return DISP_CHANGE_FAILED;
}

void windowingShowPointer(bool shown) {
    if (windowingLayer.up) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}
