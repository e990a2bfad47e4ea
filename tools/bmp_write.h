// Writes BMP files byte by byte, exactly as described: the build's brick
// textures, the BMP benchmark's large files and the loader's test files all
// come from here, so each states exactly what its file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpWriteParts {
    bool fileHeader = true;
    uint32_t headerSize = 40;  // 12: core header; any other size: info header padded to it
    int32_t width = 1;
    int32_t height = 1;  // negative: rows stored top to bottom
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks;    // written right behind an info header
    std::vector<uint32_t> palette;  // 0xRRGGBB entries
    std::vector<uint8_t> pixels;    // the pixel data as stored
    int64_t pixelOffset = -1;       // the file header's pixel offset, when not the true one
};

// The whole file.
std::vector<uint8_t> bmpWrite(const BmpWriteParts& parts);

// The parts of a plain 24-bit picture of these rows of 0xRRGGBB pixels,
// bottom row first.
BmpWriteParts bmpWritePicture(const std::vector<std::vector<uint32_t>>& rows);

// Packs rows of pixel values (palette indexes, 16- or 32-bit values, or
// 0xRRGGBB for 24 bits) into stored rows of `bitCount` bits, each padded to
// 4 bytes.
std::vector<uint8_t> bmpWritePackRows(const std::vector<std::vector<uint32_t>>& rows,
                                      uint16_t bitCount);

// Writes `bytes` to `path`; on failure removes what was written and returns
// false.
bool bmpWriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
