// SDL's own BMP reading, for the loader benchmark to measure ours against.
// Linked into tools/bench_bmp only, never into the program or the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Loads `path` with SDL_LoadBMP, converts it to 24-bit RGB with
// SDL_ConvertSurfaceFormat and copies the rows out tightly packed (red,
// green, blue, 3 x width bytes a row, top row first, as SDL stores them).
// Returns false with SDL's reason in `error` when SDL cannot read the file.
bool platformBenchLoadBmpReference(const char* path, int* width, int* height,
                                   std::vector<uint8_t>* rgb, std::string* error);
