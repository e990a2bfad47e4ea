// The BMP writer: little-endian headers, palette entries blue-green-red.
#include "tools/bmp_write.h"

#include <cstdio>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> bmpWrite(const BmpWriteParts& p) {
    std::vector<uint8_t> header;
    put32(header, p.headerSize);
    if (p.headerSize == 12) {
        put16(header, static_cast<uint32_t>(p.width));
        put16(header, static_cast<uint32_t>(p.height));
        put16(header, 1);
        put16(header, p.bitCount);
    } else {
        put32(header, static_cast<uint32_t>(p.width));
        put32(header, static_cast<uint32_t>(p.height));
        put16(header, 1);
        put16(header, p.bitCount);
        put32(header, p.compression);
        put32(header, static_cast<uint32_t>(p.pixels.size()));
        put32(header, 2835);  // 72 dots per inch, both ways
        put32(header, 2835);
        put32(header, p.clrUsed);
        put32(header, 0);
        header.resize(header.size() > p.headerSize ? header.size() : p.headerSize, 0);
        for (uint32_t m : p.masks) put32(header, m);
    }
    for (uint32_t c : p.palette) {
        header.push_back(static_cast<uint8_t>(c));        // blue
        header.push_back(static_cast<uint8_t>(c >> 8));   // green
        header.push_back(static_cast<uint8_t>(c >> 16));  // red
        if (p.headerSize != 12) header.push_back(0);
    }

    std::vector<uint8_t> file;
    if (p.fileHeader) {
        file.push_back('B');
        file.push_back('M');
        put32(file, static_cast<uint32_t>(14 + header.size() + p.pixels.size()));
        put32(file, 0);
        put32(file, p.pixelOffset >= 0 ? static_cast<uint32_t>(p.pixelOffset)
                                       : static_cast<uint32_t>(14 + header.size()));
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), p.pixels.begin(), p.pixels.end());
    return file;
}

BmpWriteParts bmpWritePicture(const std::vector<std::vector<uint32_t>>& rows) {
    BmpWriteParts parts;
    parts.width = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
    parts.height = static_cast<int32_t>(rows.size());
    parts.pixels = bmpWritePackRows(rows, 24);
    return parts;
}

std::vector<uint8_t> bmpWritePackRows(const std::vector<std::vector<uint32_t>>& rows,
                                      uint16_t bitCount) {
    std::vector<uint8_t> out;
    for (const auto& row : rows) {
        size_t start = out.size();
        if (bitCount < 8) {
            out.resize(start + (row.size() * bitCount + 7) / 8, 0);
            for (size_t x = 0; x < row.size(); ++x) {
                size_t bit = x * bitCount;
                out[start + bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bitCount - bit % 8));
            }
        } else {
            for (uint32_t v : row) {
                if (bitCount == 8) out.push_back(static_cast<uint8_t>(v));
                if (bitCount == 16) put16(out, v);
                if (bitCount == 24) {
                    out.push_back(static_cast<uint8_t>(v));
                    out.push_back(static_cast<uint8_t>(v >> 8));
                    out.push_back(static_cast<uint8_t>(v >> 16));
                }
                if (bitCount == 32) put32(out, v);
            }
        }
        while ((out.size() - start) % 4) out.push_back(0);
    }
    return out;
}

bool bmpWriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = (std::fclose(out) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
        std::remove(path.c_str());
    }
    return ok;
}
