// The BMP loader: finds the headers and the palette in a mapped file, checks
// every size and offset against the file, and has the DIB converter turn the
// pixels into RGB.
#include "assets/bmp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/dib.h"
#include "platform/platform.h"

namespace {

const char* const BMP_TEXT_UNKNOWN = "Unknown DIB file format.";
const char* const BMP_TEXT_MEMORY = "Out of memory.";
const char* const BMP_TEXT_CONVERSION = "Image file conversion error.";

enum : uint32_t {
    BMP_FILE_HEADER_SIZE = 14,
    BMP_CORE_HEADER_SIZE = 12,
    BMP_INFO_HEADER_SIZE = 40,
    BMP_MASKS_SIZE = 12,
};

uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The reason, into the caller's `why`; null, the decoder's answer.
ImageRGB* refuse(const char* reason, char* why, int whySize) {
    if (why != nullptr && whySize > 0)
        std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
    return nullptr;
}

ImageRGB* refuseOpening(const char* fileName, char* why, int whySize) {
    // The box's text fits 255 characters; a longer name keeps its start and
    // is marked as cut, so the message still reads as a whole sentence.
    const char* prefix = "Failed to open DIB file ";
    const char* suffix = ".\n";
    const char* name = fileName ? fileName : "";
    char text[bmpWhySize];
    size_t room = sizeof text - 1 - std::strlen(prefix) - std::strlen(suffix);
    if (std::strlen(name) <= room)
        std::snprintf(text, sizeof text, "%s%s%s", prefix, name, suffix);
    else
        std::snprintf(text, sizeof text, "%s%.*s...%s", prefix, static_cast<int>(room - 3), name,
                      suffix);
    return refuse(text, why, whySize);
}

uint16_t colorCountForBits(uint16_t bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Fills the working header from a core or info header known to lie wholly
// inside the file, and returns where the header's palette begins.
size_t bmpReadHeader(const uint8_t* header, uint32_t headerSize, DibHeader* work) {
    std::memset(work, 0, sizeof *work);
    if (headerSize == BMP_CORE_HEADER_SIZE) {
        work->width = readU16(header + 4);
        work->height = readU16(header + 6);
        work->planes = readU16(header + 8);
        work->bitCount = readU16(header + 10);
        work->compression = DIB_COMPRESSION_RGB;
        return BMP_CORE_HEADER_SIZE;
    }
    work->width = static_cast<int32_t>(readU32(header + 4));
    work->height = static_cast<int32_t>(readU32(header + 8));
    work->planes = readU16(header + 12);
    work->bitCount = readU16(header + 14);
    work->compression = readU32(header + 16);
    work->sizeImage = readU32(header + 20);
    work->xPelsPerMeter = static_cast<int32_t>(readU32(header + 24));
    work->yPelsPerMeter = static_cast<int32_t>(readU32(header + 28));
    work->clrUsed = readU32(header + 32);
    work->clrImportant = readU32(header + 36);
    return BMP_INFO_HEADER_SIZE;
}

}  // namespace

uint16_t bmpColorCount(const uint8_t* header, size_t available) {
    if (!header || available < 4) return 0;
    uint32_t size = readU32(header);
    if (size == BMP_CORE_HEADER_SIZE) {
        if (available < BMP_CORE_HEADER_SIZE) return 0;
        return colorCountForBits(readU16(header + 10));
    }
    if (available < 36) return 0;
    uint32_t used = readU32(header + 32);
    if (used != 0) return static_cast<uint16_t>(used & 0xFFFFu);
    return colorCountForBits(readU16(header + 14));
}

ImageRGB* bmpDecode(const uint8_t* bytes, size_t length, char* why, int whySize) {
    if (!bytes) length = 0;

    // The optional file header says where the pixels are.
    size_t headerAt = 0;
    uint64_t pixelOffset = 0;
    bool havePixelOffset = false;
    if (length >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (length < BMP_FILE_HEADER_SIZE) return refuse(BMP_TEXT_CONVERSION, why, whySize);
        pixelOffset = readU32(bytes + 10);
        havePixelOffset = true;
        headerAt = BMP_FILE_HEADER_SIZE;
    }

    size_t available = length - headerAt;
    if (available < 4) return refuse(BMP_TEXT_CONVERSION, why, whySize);
    const uint8_t* header = bytes + headerAt;
    uint32_t headerSize = readU32(header);
    if (headerSize != BMP_CORE_HEADER_SIZE && headerSize != BMP_INFO_HEADER_SIZE)
        return refuse(BMP_TEXT_UNKNOWN, why, whySize);
    if (available < headerSize) return refuse(BMP_TEXT_CONVERSION, why, whySize);

    uint16_t colorCount = bmpColorCount(header, available);
    DibHeader work;
    uint64_t paletteAt = headerAt + bmpReadHeader(header, headerSize, &work);

    // Bit-field masks follow a 40-byte header, ahead of any palette.
    if (work.compression == DIB_COMPRESSION_BITFIELDS) {
        if (length - paletteAt < BMP_MASKS_SIZE) return refuse(BMP_TEXT_CONVERSION, why, whySize);
        for (int i = 0; i < 3; ++i) work.masks[i] = readU32(bytes + paletteAt + 4 * i);
        paletteAt += BMP_MASKS_SIZE;
    }

    // The palette: only the entries a pixel can index matter, and those must
    // be in the file.
    const unsigned entrySize = headerSize == BMP_CORE_HEADER_SIZE ? 3 : 4;
    if (work.bitCount <= 8) {
        uint32_t wanted = colorCount;
        uint32_t reachable = work.bitCount == 0 ? 0 : 1u << work.bitCount;
        if (wanted > reachable) wanted = reachable;
        if ((length - paletteAt) / entrySize < wanted)
            return refuse(BMP_TEXT_CONVERSION, why, whySize);
        for (uint32_t i = 0; i < wanted; ++i) {
            const uint8_t* entry = bytes + paletteAt + i * entrySize;
            work.palette[i][0] = entry[0];
            work.palette[i][1] = entry[1];
            work.palette[i][2] = entry[2];
            work.palette[i][3] = entrySize == 4 ? entry[3] : 0;
        }
        work.paletteCount = wanted;
    }
    if (headerSize == BMP_CORE_HEADER_SIZE) {
        work.clrUsed = colorCount;
        work.clrImportant = colorCount;
    }
    if (!havePixelOffset) pixelOffset = paletteAt + static_cast<uint64_t>(colorCount) * entrySize;
    if (work.clrUsed == 0) work.clrUsed = colorCount;
    if (work.sizeImage == 0 && work.width > 0) {
        uint64_t sizeImage =
            (static_cast<uint64_t>(work.width) * work.bitCount + 7) / 8 *
            static_cast<uint64_t>(work.height < 0 ? -static_cast<int64_t>(work.height)
                                                  : work.height);
        work.sizeImage = sizeImage > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(sizeImage);
    }

    // A picture with no pixels, or whose pixels start outside the file, is
    // nothing the converter can work with.
    if (work.width <= 0 || work.height == 0 || work.height == INT32_MIN || pixelOffset >= length)
        return refuse(BMP_TEXT_CONVERSION, why, whySize);
    uint64_t width = static_cast<uint64_t>(work.width);
    uint64_t height = work.height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(work.height))
                                      : static_cast<uint64_t>(work.height);
    uint64_t rowBytes = width * 3;  // width < 2^31: no overflow
    if (rowBytes > BMP_MAX_IMAGE_BYTES || height > BMP_MAX_IMAGE_BYTES / rowBytes)
        return refuse(BMP_TEXT_MEMORY, why, whySize);
    const uint8_t* bits = bytes + pixelOffset;
    size_t bitsLength = length - static_cast<size_t>(pixelOffset);
    if (!dibCanConvert(&work, bitsLength)) return refuse(BMP_TEXT_CONVERSION, why, whySize);

    // Cleared, so rows the file does not reach come out black.
    uint8_t* data = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(height), rowBytes));
    if (!data) return refuse(BMP_TEXT_MEMORY, why, whySize);
    if (dibConvert(&work, bits, bitsLength, data) == 0) {
        std::free(data);
        return refuse(BMP_TEXT_CONVERSION, why, whySize);
    }
    ImageRGB* image = static_cast<ImageRGB*>(std::malloc(sizeof(ImageRGB)));
    if (!image) {
        std::free(data);
        return refuse(BMP_TEXT_MEMORY, why, whySize);
    }
    image->width = work.width;
    image->height = static_cast<int32_t>(height);
    image->data = data;
    return image;
}

ImageRGB* bmpLoad(const char* fileName, char* why, int whySize) {
    PlatformMappedFile file = {nullptr, 0, -1};
    if (!fileName || !platformFileMap(fileName, &file))
        return refuseOpening(fileName, why, whySize);
    ImageRGB* image = bmpDecode(file.data, file.size, why, whySize);
    platformFileUnmap(&file);
    return image;
}
