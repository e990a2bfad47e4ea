// The published DIB pixel rules: palette indexes of 1, 4 and 8 bits, direct
// colour of 16 (5-5-5 or bit-field masks), 24 and 32 bits, and the 8- and
// 4-bit run-length encodings. Every read is checked against the length of
// the data, every write against the picture.
#include "assets/dib.h"

namespace {

struct DibTarget {
    uint8_t* rgb;
    uint64_t width;
    uint64_t height;
    bool topDown;
};

uint8_t* targetPixel(const DibTarget& target, uint64_t fileRow, uint64_t x) {
    uint64_t row = target.topDown ? target.height - 1 - fileRow : fileRow;
    return target.rgb + (row * target.width + x) * 3;
}

void putPaletteColour(const DibHeader* header, uint8_t* out, unsigned index) {
    if (index < header->paletteCount) {
        const uint8_t* entry = header->palette[index];
        out[0] = entry[2];
        out[1] = entry[1];
        out[2] = entry[0];
    } else {
        // An index past the palette has no colour: black.
        out[0] = out[1] = out[2] = 0;
    }
}

// One channel of a masked pixel, scaled to 0..255 whatever the mask's width.
uint8_t maskChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    unsigned shift = 0;
    while (!((mask >> shift) & 1u)) ++shift;
    uint64_t maximum = mask >> shift;
    uint64_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>((value * 255 + maximum / 2) / maximum);
}

uint32_t readLe16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool isRle(const DibHeader* header) {
    return (header->compression == DIB_COMPRESSION_RLE8 && header->bitCount == 8) ||
           (header->compression == DIB_COMPRESSION_RLE4 && header->bitCount == 4);
}

bool isKnownLayout(const DibHeader* header) {
    if (header->width <= 0 || header->height == 0 || header->height == INT32_MIN) return false;
    switch (header->compression) {
    case DIB_COMPRESSION_RGB:
        switch (header->bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: return true;
        default: return false;
        }
    case DIB_COMPRESSION_RLE8:
    case DIB_COMPRESSION_RLE4: return isRle(header);
    case DIB_COMPRESSION_BITFIELDS: return header->bitCount == 16 || header->bitCount == 32;
    default: return false;
    }
}

// Bytes a row's pixels need, without the padding (the last row of a file may
// lack its padding and still be whole).
uint64_t rowPixelBytes(const DibHeader* header) {
    return (static_cast<uint64_t>(header->width) * header->bitCount + 7) / 8;
}

int convertUncompressed(const DibHeader* header, const uint8_t* bits, size_t length,
                        const DibTarget& target) {
    uint64_t stride = dibRowStride(header->width, header->bitCount);
    uint64_t need = rowPixelBytes(header);
    if (length < need) return 0;
    // Rows whose pixels lie wholly inside the data; the rest stay black.
    uint64_t rows = (length - need) / stride + 1;
    if (rows > target.height) rows = target.height;

    uint32_t masks[3] = {header->masks[0], header->masks[1], header->masks[2]};
    if (header->compression == DIB_COMPRESSION_RGB) {
        if (header->bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
    }

    for (uint64_t r = 0; r < rows; ++r) {
        const uint8_t* row = bits + r * stride;
        uint8_t* out = targetPixel(target, r, 0);
        for (uint64_t x = 0; x < target.width; ++x, out += 3) {
            switch (header->bitCount) {
            case 1: putPaletteColour(header, out, (row[x >> 3] >> (7 - (x & 7))) & 1u); break;
            case 4: putPaletteColour(header, out, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u); break;
            case 8: putPaletteColour(header, out, row[x]); break;
            case 24:
                out[0] = row[x * 3 + 2];
                out[1] = row[x * 3 + 1];
                out[2] = row[x * 3];
                break;
            default: {
                uint32_t pixel =
                    header->bitCount == 16 ? readLe16(row + x * 2) : readLe32(row + x * 4);
                out[0] = maskChannel(pixel, masks[0]);
                out[1] = maskChannel(pixel, masks[1]);
                out[2] = maskChannel(pixel, masks[2]);
                break;
            }
            }
        }
    }
    return static_cast<int>(rows);
}

// The run-length encodings. Runs and absolute stretches that reach past the
// end of a row are cut there; moves past the top end the picture. Data that
// stop early leave the remaining pixels black, as an end-of-bitmap would.
int convertRunLength(const DibHeader* header, const uint8_t* bits, size_t length,
                     const DibTarget& target) {
    const bool fourBit = header->compression == DIB_COMPRESSION_RLE4;
    uint64_t x = 0, y = 0;
    size_t pos = 0;
    bool started = false;

    auto put = [&](unsigned index) {
        if (x < target.width && y < target.height)
            putPaletteColour(header, targetPixel(target, y, x), index);
        ++x;
    };

    while (y < target.height && length - pos >= 2) {
        unsigned first = bits[pos], second = bits[pos + 1];
        pos += 2;
        started = true;
        if (first > 0) {
            // Encoded run: `first` pixels of one index, or of two alternating
            // 4-bit indexes.
            for (unsigned i = 0; i < first && x < target.width; ++i)
                put(fourBit ? ((i & 1) ? (second & 15u) : (second >> 4)) : second);
            continue;
        }
        if (second == 0) {  // end of line
            x = 0;
            ++y;
        } else if (second == 1) {  // end of bitmap
            break;
        } else if (second == 2) {  // delta: move right and up
            if (length - pos < 2) break;
            x += bits[pos];
            y += bits[pos + 1];
            pos += 2;
        } else {  // absolute stretch of `second` indexes, padded to 16 bits
            size_t bytes = fourBit ? (second + 1u) / 2 : second;
            size_t present = length - pos < bytes ? length - pos : bytes;
            for (unsigned i = 0; i < second && x < target.width; ++i) {
                size_t byte = fourBit ? i / 2 : i;
                if (byte >= present) break;
                unsigned value = bits[pos + byte];
                put(fourBit ? ((i & 1) ? (value & 15u) : (value >> 4)) : value);
            }
            if (present < bytes) break;
            bytes += bytes & 1;
            pos = length - pos < bytes ? length : pos + bytes;
        }
    }
    return started ? static_cast<int>(target.height) : 0;
}

}  // namespace

uint64_t dibRowStride(int32_t width, uint16_t bitCount) {
    if (width <= 0) return 0;
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

int dibCanConvert(const DibHeader* header, size_t length) {
    if (!header || !isKnownLayout(header)) return 0;
    if (isRle(header)) return length >= 2;
    return length >= rowPixelBytes(header) && rowPixelBytes(header) > 0;
}

int dibConvert(const DibHeader* header, const uint8_t* bits, size_t length, uint8_t* rgb) {
    if (!bits || !rgb || !dibCanConvert(header, length)) return 0;
    DibTarget target;
    target.rgb = rgb;
    target.width = static_cast<uint64_t>(header->width);
    target.topDown = header->height < 0;
    target.height = target.topDown ? static_cast<uint64_t>(-static_cast<int64_t>(header->height))
                                   : static_cast<uint64_t>(header->height);
    if (isRle(header)) return convertRunLength(header, bits, length, target);
    return convertUncompressed(header, bits, length, target);
}
