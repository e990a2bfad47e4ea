// Mip levels made on the processor, texel for texel as GLU makes them, so
// that a renderer without GLU samples the same texels as one with it.
#pragma once

#include <cstdint>
#include <vector>

// The power of two GLU fits a side to: the nearest one, halves rounding up
// (3 -> 4, 5 -> 4, 6 -> 8).
int mipmapNearestPower(int side);
// Both sides fitted to their nearest powers of two, halved until they are
// within `largest` (0 for no limit).
void mipmapFittedSize(int* width, int* height, int largest);
// Scales tightly packed 24-bit rows to another size, each new texel the
// average of the area of the picture around it, as GLU scales (to within
// one step: GLU rounds its own way).
void mipmapScale(const uint8_t* from, int width, int height, uint8_t* to, int newWidth,
                 int newHeight);
// The next level down: each texel the mean of the 2 x 2 texels it stands
// for, rounded to the nearest, or along a side of 1 of the 2, rounded down,
// as GLU makes it. Sides of powers of two.
std::vector<uint8_t> mipmapHalve(const uint8_t* level, int width, int height);
