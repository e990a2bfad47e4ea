// The BMP loader against one table of files made by the BMP writer: each
// gives its picture, or no picture and exactly one box with its reason. Each
// file is handed over in a heap block of exactly its length, so the
// sanitizer build sees any read past its end.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "assets/bmp.h"
#include "assets/texture.h"
#include "platform_fake.h"
#include "tools/bmp_write.h"

namespace {

typedef std::vector<std::vector<uint32_t>> Rows;  // 0xRRGGBB, bottom row first
typedef std::vector<uint8_t> Bytes;

PlatformWindow* const FOCUS = reinterpret_cast<PlatformWindow*>(0x5EED);
const char *const CONVERSION = "Image file conversion error.", *const MEMORY = "Out of memory.",
                  *const UNKNOWN = "Unknown DIB file format.";

uint32_t paletteEntry(uint32_t i) {
    return (i * 0x3B + 7) % 256 << 16 | (i * 0x61 + 3) % 256 << 8 | (255 - i % 256);
}

Rows mapRows(Rows rows, uint32_t colours) {
    for (auto& row : rows)
        for (auto& v : row) v = v < colours ? paletteEntry(v) : 0;
    return rows;
}

// A file in one expression: its rows as stored, the first `colours` palette
// entries, then whatever differs from a 40-byte header behind a file header.
struct File : BmpWriteParts {
    size_t length = SIZE_MAX;  // cut after this many bytes
    File(uint16_t bits, const Rows& rows, uint32_t colours = 0) {
        bitCount = bits, width = int32_t(rows[0].size()), height = int32_t(rows.size());
        pixels = bmpWritePackRows(rows, bits);
        for (uint32_t i = 0; i < colours; ++i) palette.push_back(paletteEntry(i));
    }
    File& bare(bool yes = true) { return fileHeader = !yes, *this; }
    File& header(uint32_t size) { return headerSize = size, *this; }
    File& size(int32_t w, int32_t h) { return width = w, height = h, *this; }
    File& layout(uint16_t bits, uint32_t kind) {
        return bitCount = bits, compression = kind, *this;
    }
    File& mask(std::vector<uint32_t> m) { return compression = 3, masks = m, *this; }
    File& used(uint32_t count) { return clrUsed = count, *this; }
    File& at(int64_t offset) { return pixelOffset = offset, *this; }
    File& data(const Bytes& bytes) { return pixels = bytes, *this; }
    File& cut(size_t bytes) { return length = bytes, *this; }
    operator Bytes() const {
        Bytes file = bmpWrite(*this);
        return file.resize(std::min(length, file.size())), file;
    }
};

// Run-length files: RLE8 over four palette entries, RLE4 over sixteen.
File runs(uint32_t kind, int32_t width, int32_t height, const Bytes& data) {
    return File(8, {{0}}, kind == 1 ? 4 : 16)
        .layout(kind == 1 ? 8 : 4, kind)
        .size(width, height)
        .data(data)
        .used(kind == 1 ? 4 : 0);
}

// a box or a picture
struct Case {
    std::string name;
    Bytes file;
    Rows picture;
    std::string box = "";
};

std::vector<Case> cases() {
    const Rows one = {{1, 0, 1, 1, 0, 0, 1, 0, 1, 1}, {0, 1, 0, 0, 1, 1, 0, 1, 0, 0}};
    const Rows four = {{0, 15, 7, 8, 3}, {12, 1, 2, 9, 10}, {5, 5, 6, 14, 13}};
    const Rows eight = {{0, 255, 128}, {17, 200, 99}}, eightRgb = mapRows(eight, 256);
    const Rows rgb = {{0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F},
                      {0xABCDEF, 0xFF0080, 0x000001, 0x010000, 0x7F7F7F}};
    const File p8(8, eight, 256);
    const File mask16 = File(16, {{0xF800, 0x07E0, 0x0410}}).mask({0xF800, 0x07E0, 0x001F});
    const File mask32 = File(32, {{0x11223344}}).mask({0xFF000000, 0x00FF0000, 0x0000FF00});
    Bytes gap = File(p8).at(14 + 40 + 1024 + 6);
    gap.insert(gap.begin() + 14 + 40 + 1024, 6, 0xEE);
    std::vector<Case> c = {
        {"1 bit", File(1, one, 2), mapRows(one, 2)},
        {"4 bits", File(4, four, 16), mapRows(four, 16)},
        {"8 bits", p8, eightRgb},
        {"4 bits, more colours announced than an index reaches", File(4, four, 16).used(256),
         mapRows(four, 16)},
        {"index past a short palette", File(8, {{0, 1, 5}}, 2).used(2), mapRows({{0, 1, 5}}, 2)},
        {"16 bits 5-5-5",
         File(16, {{0x7C00, 0x03E0, 0x001F, 0x4210, 0x8000}}),
         {{0xFF0000, 0x00FF00, 0x0000FF, 0x848484, 0}}},
        {"24 bits, padded rows", File(24, rgb), rgb},
        {"32 bits", File(32, {{0xFF123456, 0x00ABCDEF}}), {{0x123456, 0xABCDEF}}},
        {"5-6-5 masks", mask16, {{0xFF0000, 0x00FF00, 0x008284}}},
        {"5-6-5 masks, no file header", File(mask16).bare(), {{0xFF0000, 0x00FF00, 0x008284}}},
        {"32-bit masks", mask32, {{0x112233}}},
        {"core header, 24 bits", File(24, rgb).header(12).bare(), rgb},
        {"a gap before the pixels", gap, eightRgb},
        {"100 colours used", File(8, {{0, 99, 50, 1}}, 100).used(100).bare(),
         mapRows({{0, 99, 50, 1}}, 100)},
        {"colours used 0x10005", File(8, {{4, 6}}, 5).used(0x10005).bare(), mapRows({{4, 6}}, 5)},
        {"top down", File(24, rgb).size(5, -2), {rgb[1], rgb[0]}},
        {"last row unpadded",
         File(24, {{1, 2, 3}, {4, 5, 6}}).cut(14 + 40 + 12 + 9),
         {{1, 2, 3}, {4, 5, 6}}},
        {"rows the file lacks",
         File(24, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}).size(3, 4).cut(14 + 40 + 28),
         {{1, 2, 3}, {4, 5, 6}, {0, 0, 0}, {0, 0, 0}}},
        // 9: untouched, black
        {"RLE8, every command", runs(1, 6, 3, {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 2, 3, 0,
                                               2, 3, 0, 1, 1, 0, 0, 6, 2, 0, 1, 6, 1}),
         mapRows({{1, 1, 1, 2, 3, 2}, {3, 3, 9, 9, 9, 1}, {2, 2, 2, 2, 2, 2}}, 4)},
        {"RLE4, both paddings", runs(2, 5, 3, {5, 0x12, 0, 0, 0,    5,    0x34, 0x56, 0x70, 0,
                                               0, 0,    0, 3, 0x9A, 0xB0, 2,    0xCD, 0,    1}),
         mapRows({{1, 2, 1, 2, 1}, {3, 4, 5, 6, 7}, {9, 10, 11, 12, 13}}, 16)},
        {"RLE8 cut at the row", runs(1, 4, 3, {255, 1, 0, 0, 0, 7, 3, 3, 3,   3,   3, 3,
                                               3,   0, 0, 0, 2, 2, 0, 2, 255, 255, 4, 1}),
         mapRows({{1, 1, 1, 1}, {3, 3, 3, 3}, {2, 2, 9, 9}}, 4)},
        {"RLE8 lines past the top", runs(1, 4, 1, {1, 2, 0, 0, 0, 0, 0, 0, 3, 1}),
         mapRows({{2, 9, 9, 9}}, 4)},
        {"RLE8 cut in a stretch", runs(1, 4, 1, {1, 2, 0, 4, 3, 3}), mapRows({{2, 3, 3, 9}}, 4)},
        {"RLE8 cut in a move", runs(1, 4, 1, {2, 3, 0, 2, 1}), mapRows({{3, 3, 9, 9}}, 4)},
        {"RLE8 top down", runs(1, 2, -2, {2, 1, 0, 1}), mapRows({{9, 9}, {1, 1}}, 4)},
    };
    for (File f : {File(p8).bare(), File(p8).header(12), File(p8).header(12).bare()})
        c.push_back(
            {"8 bits, header " + std::to_string(f.headerSize) + (f.fileHeader ? "" : " alone"), f,
             eightRgb});
    auto refuse = [&](const std::string& name, const Bytes& file, const char* box) {
        c.push_back({name, file, {}, box});
    };
    refuse("RLE8, half a command", runs(1, 4, 1, {2}), CONVERSION);
    refuse("RLE8, no data", runs(1, 4, 1, {}), CONVERSION);
    refuse("masks cut short", File(mask32).bare().cut(44), CONVERSION);
    refuse("core header cut short", File(p8).header(12).bare().cut(10), CONVERSION);
    refuse("core palette cut short", File(p8).header(12).bare().cut(12 + 3 * 255), CONVERSION);
    refuse("pixels past the end", File(24, {{1}}).at(0xFFFFFFF0), CONVERSION);
    refuse("pixels at the end", File(24, {{1}}).at(14 + 40 + 4), CONVERSION);
    refuse("not one row", File(24, {{1, 2}, {3, 4}}).cut(14 + 40 + 5), CONVERSION);
    refuse("core 65535 x 65535", File(24, {{1}}).header(12).size(65535, 65535), MEMORY);
    for (size_t length : {0u, 1u, 2u, 9u, 13u, 14u, 17u, 30u, 53u, 54u, 300u, 14u + 40u + 1023u})
        refuse("cut at " + std::to_string(length), File(p8).cut(length), CONVERSION);
    for (uint32_t size : {108u, 124u, 64u, 0u})
        for (bool bare : {false, true})
            refuse("header of " + std::to_string(size), File(24, {{1}}).header(size).bare(bare),
                   UNKNOWN);
    const int32_t layouts[][4] = {{2, 0, 1, 1},   {0, 0, 1, 1},  {64, 0, 1, 1},
                                  {24, 4, 1, 1},  {24, 5, 1, 1}, {24, 1, 1, 1},
                                  {8, 2, 1, 1},   {24, 3, 1, 1}, {24, 0, 0, 1},
                                  {24, 0, -4, 1}, {24, 0, 1, 0}, {24, 0, 1, INT32_MIN}};
    const std::vector<uint32_t> rgbMasks{0xFF0000, 0xFF00, 0xFF}, noMasks;
    for (const auto& l : layouts)  // bits, compression, width, height
        refuse("layout " + std::to_string(&l - layouts),
               File(24, {{1}}, l[0] && l[0] <= 8 ? 1u << l[0] : 0)
                   .mask(l[1] == 3 ? rgbMasks : noMasks)
                   .layout(l[0], l[1])
                   .size(l[2], l[3])
                   .data(Bytes(64, 0x11)),
               CONVERSION);
    const int32_t sizes[][2] = {{INT32_MAX, INT32_MAX}, {INT32_MAX, 1},  {1, INT32_MAX},
                                {1000000, 1000000},     {30000, -30000}, {8192, 10923},
                                {INT32_MAX, -INT32_MAX}};
    for (const auto& s : sizes)  // run-length data could claim any size
        for (File f : {File(24, {{1}}), runs(1, 1, 1, {})})
            refuse("claims " + std::to_string(s[0]) + "x" + std::to_string(s[1]),
                   f.size(s[0], s[1]).data(Bytes(64, 0x22)), MEMORY);
    return c;
}

// The boxes shown since the last call (text, caption, style, owner), which
// are then forgotten.
std::string boxes() {
    std::string all;
    for (const FakeBox& b : fake().boxes)
        all += b.text + "|" + b.caption + "|" + std::to_string(b.style) +
               (b.owner == FOCUS ? "|focus;" : "|?;");
    return fake().boxes.clear(), all;
}
std::string errorBox(const std::string& text) {
    return text + "|Error|" + std::to_string(MB_OK) + "|focus;";
}

// The picture's pixels as 0xRRGGBB rows, bottom first; frees the picture.
Rows rowsOf(ImageRGB* image) {
    Rows rows(image ? image->height : 0);
    for (size_t i = 0; image && i < size_t(image->width) * image->height; ++i)
        rows[i / image->width].push_back(uint32_t(
            image->data[i * 3] << 16 | image->data[i * 3 + 1] << 8 | image->data[i * 3 + 2]));
    if (image) std::free(image->data);
    std::free(image);
    return rows;
}

TEST(BmpDecodeTest, EachFileGivesItsPictureOrItsReason) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<uint8_t[]> block(new uint8_t[c.file.size()]);  // exactly the file's length
        std::copy(c.file.begin(), c.file.end(), block.get());
        char why[bmpWhySize] = "";
        EXPECT_EQ(rowsOf(bmpDecode(block.get(), c.file.size(), why, sizeof why)), c.picture);
        EXPECT_EQ(why, c.box);
        EXPECT_EQ(boxes(), "");  // the decoder shows nothing itself
    }
}

// A new folder under the system's temporary one (mkdtemp is POSIX only).
std::string makeTempDir() {
    std::random_device random;
    for (;;) {
        auto dir =
            std::filesystem::temp_directory_path() / ("tenebrel-bmp-" + std::to_string(random()));
        if (std::filesystem::create_directory(dir)) return dir.string();
    }
}

TEST(BmpLoadTest, FilesThatCannotBeOpenedNameTheFileAndFailTheTexture) {
    const std::string dir = makeTempDir();
    const std::string empty = dir + "/empty.bmp";
    ASSERT_TRUE(bmpWriteFile(empty, {}));
#ifdef _WIN32
    const std::string pipe = "NUL";  // a device, not a file: nothing to map
#else
    const std::string pipe = dir + "/pipe.bmp";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);  // no writer: must not keep the program waiting
#endif
    fake().focus = FOCUS;
    // A texture that cannot be loaded shows the loader's reason in one box
    // owned by the focus, and leaves its name alone. A name too long for
    // the box keeps its start and is marked as cut.
    GLuint ids[2] = {11, 22};
    for (const std::string& name :
         {dir + "/missing.bmp", empty, dir, pipe, dir + "/" + std::string(300, 'n')}) {
        EXPECT_EQ(textureLoad(ids, name.c_str(), 1), 0);
        const std::string shown = name.substr(0, 226) + (name.size() > 229 ? "...." : ".");
        EXPECT_EQ(boxes(), errorBox("Failed to open DIB file " + shown + "\n"));
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ(textureLoad(ids, nullptr, 0), 1);  // nothing to load, nothing touched
    EXPECT_TRUE(ids[0] == 11u && ids[1] == 22u);
}

#ifdef TENEBREL_TEXTURE_DIR
// The build's own texture files: 256 x 256 bricks of the right colour whose
// joints line up when the picture is tiled (the bond repeats every 64
// pixels both ways).
TEST(TextureFilesTest, BricksTileWithoutASeam) {
    for (const char* name : {"brickblue.bmp", "Ziegel1.bmp"}) {
        char why[bmpWhySize];
        Rows r = rowsOf(
            bmpLoad((std::string(TENEBREL_TEXTURE_DIR) + "/" + name).c_str(), why, sizeof why));
        ASSERT_TRUE(r.size() == 256 && r[0].size() == 256) << name;
        auto mortar = [&](int x, int y) {
            return (r[y][x] >> 16) > 140 && (r[y][x] >> 8 & 255) > 140 && (r[y][x] & 255) > 140;
        };
        long sums[3] = {0, 0, 0}, joints = 0;
        for (int i = 0; i < 256 * 256; ++i)
            for (int k = 0; k < 3; ++k)
                if (mortar(i % 256, i / 256))
                    joints += k == 0;
                else
                    sums[k] += r[i / 256][i % 256] >> (16 - 8 * k) & 255;
        for (int i = 0; i < 256; ++i)
            EXPECT_TRUE(mortar(255, i) == mortar(63, i) && mortar(0, i) == mortar(64, i) &&
                        mortar(i, 255) == mortar(i, 63) && mortar(i, 0) == mortar(i, 64))
                << name << " " << i;
        EXPECT_TRUE(joints > 256 * 256 / 20 && joints < 256 * 256 / 3) << name;
        int strong = name[0] == 'b' ? 2 : 0;  // blue bricks, red bricks
        EXPECT_TRUE(sums[strong] > sums[(strong + 1) % 3] * 3 / 2 &&
                    sums[strong] > sums[(strong + 2) % 3] * 3 / 2)
            << name;
    }
}
#endif

}  // namespace
