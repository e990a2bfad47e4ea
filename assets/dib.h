// Device-independent bitmap conversion: turns the pixel data of a BMP file,
// described by its header and palette, into 24-bit RGB rows.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t {
    DIB_COMPRESSION_RGB = 0,
    DIB_COMPRESSION_RLE8 = 1,
    DIB_COMPRESSION_RLE4 = 2,
    DIB_COMPRESSION_BITFIELDS = 3,
};

// The loader's working header: what a core or an info header says about the
// pixels, widened to the info header's fields, with the palette in 4-byte
// entries (blue, green, red, reserved). Only the entries a pixel can index
// are kept: at most 256.
struct DibHeader {
    int32_t width;
    int32_t height;  // negative: rows stored top to bottom
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
    uint32_t masks[3];  // red, green, blue: where the channels of a 16- or 32-bit pixel lie
    uint32_t paletteCount;
    uint8_t palette[256][4];
};

// Bytes of one stored row of uncompressed pixels, padded to 4 bytes.
uint64_t dibRowStride(int32_t width, uint16_t bitCount);

// 1 when the header describes pixels this converter knows and `length` bytes
// of pixel data hold at least one row of them, else 0.
int dibCanConvert(const DibHeader* header, size_t length);

// Converts the `length` bytes of pixel data at `bits` into `rgb`, which holds
// width x 3 x |height| bytes and is cleared by the caller. `rgb` receives
// rows of red, green, blue bottom row first, whichever way the file stores
// them. Rows the data do not reach stay as they are. Returns the number of
// rows converted, 0 when nothing could be converted.
int dibConvert(const DibHeader* header, const uint8_t* bits, size_t length, uint8_t* rgb);
