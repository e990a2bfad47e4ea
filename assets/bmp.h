// BMP image files, loaded into plain 24-bit RGB pictures.
#pragma once

#include <cstddef>
#include <cstdint>

// A loaded picture: width x height pixels of red, green, blue, rows tightly
// packed (3 x width bytes each), the bottom row first. The record and `data`
// both come from malloc; the caller frees `data`, then the record.
struct ImageRGB {
    int32_t width;
    int32_t height;
    uint8_t* data;
};

// The largest picture the loader will make, in bytes of RGB data. Anything
// larger is no texture this program can use, and a header claiming it is
// more likely damaged than honest.
enum : uint32_t { BMP_MAX_IMAGE_BYTES = 256u * 1024u * 1024u };

// Room for any reason the loader gives: a box's text of 255 characters.
enum : int { bmpWhySize = 256 };

// Loads a BMP file (with or without the 14-byte file header; 12-byte core or
// 40-byte info header). On failure returns null with the reason in `why`
// (whySize bytes), the text the user is shown: "Failed to open DIB file
// NAME.\n", "Unknown DIB file format.", "Out of memory." or "Image file
// conversion error.".
ImageRGB* bmpLoad(const char* fileName, char* why, int whySize);

// The same for a BMP already in memory: `length` bytes at `bytes`, nothing
// read outside them.
ImageRGB* bmpDecode(const uint8_t* bytes, size_t length, char* why, int whySize);

// The number of palette entries a core or info header announces: for a core
// header 2, 16 or 256 by the bit count (else 0); for an info header its
// colours-used field when not zero (low 16 bits), otherwise as for a core
// header. `header` points at the header's size field; 0 when `available`
// bytes do not hold the fields it needs.
uint16_t bmpColorCount(const uint8_t* header, size_t available);
