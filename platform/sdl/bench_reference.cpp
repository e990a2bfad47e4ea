#include "platform/sdl/bench_reference.h"

#include <SDL.h>

#include <cstring>

bool platformBenchLoadBmpReference(const char* path, int* width, int* height,
                                   std::vector<uint8_t>* rgb, std::string* error) {
    SDL_Surface* loaded = SDL_LoadBMP(path);
    if (loaded == nullptr) {
        if (error) *error = SDL_GetError();
        return false;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) {
        if (error) *error = SDL_GetError();
        return false;
    }
    // SDL pads its rows to its pitch; the copy is packed like ours.
    const size_t rowBytes = static_cast<size_t>(converted->w) * 3;
    rgb->resize(rowBytes * static_cast<size_t>(converted->h));
    if (SDL_MUSTLOCK(converted)) SDL_LockSurface(converted);
    const uint8_t* source = static_cast<const uint8_t*>(converted->pixels);
    for (int y = 0; y < converted->h; ++y) {
        std::memcpy(rgb->data() + rowBytes * static_cast<size_t>(y),
                    source + static_cast<size_t>(converted->pitch) * static_cast<size_t>(y),
                    rowBytes);
    }
    if (SDL_MUSTLOCK(converted)) SDL_UnlockSurface(converted);
    *width = converted->w;
    *height = converted->h;
    SDL_FreeSurface(converted);
    return true;
}
