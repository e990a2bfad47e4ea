// Writes the program's two brick textures as 24-bit BMP files:
//   make_textures OUTDIR  ->  OUTDIR/brickblue.bmp, OUTDIR/Ziegel1.bmp
// Both are 256 x 256 bricks in a running bond that tile without a seam.
// Everything is derived from the pixel coordinates, so every build makes the
// same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/bmp_write.h"

namespace {

const int SIZE = 256;
const int BRICK_W = 64;  // four bricks across the tile
const int BRICK_H = 32;  // eight courses up the tile
const int MORTAR = 4;    // joint width in pixels

struct Colour {
    float r, g, b;
};

struct Style {
    Colour brick;
    Colour mortar;
    float brickVariation;  // how much one brick differs from the next
    float noise;           // grain within a brick
};

uint32_t hash(uint32_t a, uint32_t b, uint32_t seed) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// A value in -1..1.
float unit(uint32_t h) {
    return static_cast<float>(h & 0xFFFF) / 32767.5f - 1.0f;
}

uint8_t clampByte(float v) {
    if (v < 0) return 0;
    if (v > 255) return 255;
    return static_cast<uint8_t>(v + 0.5f);
}

// The colour at (x, y), y counted from the bottom of the picture.
Colour brickPixel(const Style& style, int x, int y, uint32_t seed) {
    int course = y / BRICK_H;
    // Every other course is shifted by half a brick: the running bond.
    int shifted = (x + (course % 2) * (BRICK_W / 2)) % SIZE;
    int column = shifted / BRICK_W;
    int inX = shifted % BRICK_W;
    int inY = y % BRICK_H;

    float grain = unit(hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed + 7));
    bool joint = inX < MORTAR || inY < MORTAR;
    if (joint) {
        float g = 1.0f + 0.06f * grain;
        return {style.mortar.r * g, style.mortar.g * g, style.mortar.b * g};
    }

    // Each brick has its own shade; the column wraps with the tile, so the
    // brick cut by the tile's edge has the same shade on both sides.
    float shade = 1.0f + style.brickVariation * unit(hash(static_cast<uint32_t>(column),
                                                          static_cast<uint32_t>(course), seed));
    float warm = 0.5f * style.brickVariation *
                 unit(hash(static_cast<uint32_t>(column), static_cast<uint32_t>(course), seed + 1));
    // A soft edge next to the joints gives the bricks some depth.
    int edge = std::min(std::min(inX - MORTAR, BRICK_W - 1 - inX),
                        std::min(inY - MORTAR, BRICK_H - 1 - inY));
    float bevel = edge < 3 ? 0.85f + 0.05f * edge : 1.0f;
    float g = shade * bevel * (1.0f + style.noise * grain);
    return {style.brick.r * g * (1.0f + warm), style.brick.g * g,
            style.brick.b * g * (1.0f - warm)};
}

bool writeBmp(const std::string& path, const Style& style, uint32_t seed) {
    // Rows bottom to top, as the file stores them.
    std::vector<std::vector<uint32_t>> rows(SIZE, std::vector<uint32_t>(SIZE));
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            Colour c = brickPixel(style, x, y, seed);
            rows[y][x] = static_cast<uint32_t>(clampByte(c.r)) << 16 |
                         static_cast<uint32_t>(clampByte(c.g)) << 8 | clampByte(c.b);
        }
    return bmpWriteFile(path, bmpWrite(bmpWritePicture(rows)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "make_textures");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.empty() && dir.back() != '/') dir += '/';

    const Style blue = {{58, 86, 178}, {178, 182, 192}, 0.12f, 0.07f};
    const Style red = {{156, 72, 46}, {206, 196, 178}, 0.14f, 0.08f};
    bool ok = writeBmp(dir + "brickblue.bmp", blue, 0x51u);
    ok = writeBmp(dir + "Ziegel1.bmp", red, 0xA7u) && ok;
    return ok ? 0 : 1;
}
