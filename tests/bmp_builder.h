// Builds BMP files byte by byte for the loader's tests, so every test states
// exactly what the file holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

struct BmpFileParts {
    bool fileHeader = true;
    uint32_t headerSize = 40;  // 12 for a core header; anything else is written as an info header
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks;       // written right behind a 40-byte header
    std::vector<uint32_t> palette;     // 0xRRGGBB entries
    std::vector<uint8_t> pixels;       // the pixel data as stored
    int64_t pixelOffsetOverride = -1;  // bfOffBits to write instead of the true one
};

inline void bmpPut16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void bmpPut32(std::vector<uint8_t>& out, uint32_t v) {
    bmpPut16(out, v & 0xFFFF);
    bmpPut16(out, v >> 16);
}

inline std::vector<uint8_t> bmpBuild(const BmpFileParts& p) {
    std::vector<uint8_t> header;
    if (p.headerSize == 12) {
        bmpPut32(header, 12);
        bmpPut16(header, static_cast<uint32_t>(p.width));
        bmpPut16(header, static_cast<uint32_t>(p.height));
        bmpPut16(header, 1);
        bmpPut16(header, p.bitCount);
    } else {
        bmpPut32(header, p.headerSize);
        bmpPut32(header, static_cast<uint32_t>(p.width));
        bmpPut32(header, static_cast<uint32_t>(p.height));
        bmpPut16(header, 1);
        bmpPut16(header, p.bitCount);
        bmpPut32(header, p.compression);
        bmpPut32(header, static_cast<uint32_t>(p.pixels.size()));
        bmpPut32(header, 2835);
        bmpPut32(header, 2835);
        bmpPut32(header, p.clrUsed);
        bmpPut32(header, 0);
        while (header.size() < p.headerSize) header.push_back(0);
        for (uint32_t m : p.masks) bmpPut32(header, m);
    }
    for (uint32_t c : p.palette) {
        header.push_back(static_cast<uint8_t>(c));        // blue
        header.push_back(static_cast<uint8_t>(c >> 8));   // green
        header.push_back(static_cast<uint8_t>(c >> 16));  // red
        if (p.headerSize != 12) header.push_back(0);
    }

    std::vector<uint8_t> file;
    if (p.fileHeader) {
        uint32_t offset = static_cast<uint32_t>(14 + header.size());
        if (p.pixelOffsetOverride >= 0) offset = static_cast<uint32_t>(p.pixelOffsetOverride);
        file.push_back('B');
        file.push_back('M');
        bmpPut32(file, static_cast<uint32_t>(14 + header.size() + p.pixels.size()));
        bmpPut32(file, 0);
        bmpPut32(file, offset);
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), p.pixels.begin(), p.pixels.end());
    return file;
}

// Packs rows of pixel values (indexes or 16/32-bit values, or 0xRRGGBB for
// 24 bits) into stored rows of `bitCount` bits, each padded to 4 bytes.
inline std::vector<uint8_t> bmpPackRows(const std::vector<std::vector<uint32_t>>& rows,
                                        uint16_t bitCount) {
    std::vector<uint8_t> out;
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes;
        if (bitCount < 8) {
            bytes.assign((row.size() * bitCount + 7) / 8, 0);
            for (size_t x = 0; x < row.size(); ++x) {
                size_t bit = x * bitCount;
                bytes[bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bitCount - bit % 8));
            }
        } else {
            for (uint32_t v : row) {
                if (bitCount == 8) bytes.push_back(static_cast<uint8_t>(v));
                if (bitCount == 16) bmpPut16(bytes, v);
                if (bitCount == 24) {
                    bytes.push_back(static_cast<uint8_t>(v));
                    bytes.push_back(static_cast<uint8_t>(v >> 8));
                    bytes.push_back(static_cast<uint8_t>(v >> 16));
                }
                if (bitCount == 32) bmpPut32(bytes, v);
            }
        }
        while (bytes.size() % 4) bytes.push_back(0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

// A private folder for test files, removed with its contents at the end.
struct BmpTempDir {
    std::string path;
    std::vector<std::string> files;
    BmpTempDir() {
        char pattern[] = "/tmp/tenebrel-bmp-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~BmpTempDir() {
        for (const auto& f : files) std::remove(f.c_str());
        rmdir(path.c_str());
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string file = path + "/" + name;
        FILE* out = std::fopen(file.c_str(), "wb");
        if (out) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
        files.push_back(file);
        return file;
    }
};
