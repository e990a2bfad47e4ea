// The BMP loader against files built byte by byte: every bit depth and both
// run-length encodings give known pixels, every header variety gives the
// same picture, and every damaged or hostile file gives exactly one box with
// its reason and no picture.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "assets/bmp.h"
#include "assets/texture.h"
#include "bmp_builder.h"
#include "platform_fake.h"

namespace {

typedef std::vector<std::vector<uint32_t>> Rows;  // 0xRRGGBB, bottom row first

PlatformWindow* const FOCUS = reinterpret_cast<PlatformWindow*>(0x5EED);

class BmpLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeReset();
        fake().focus = FOCUS;
    }

    ImageRGB* load(const std::vector<uint8_t>& bytes) {
        std::string path = dir.write("t" + std::to_string(dir.files.size()) + ".bmp", bytes);
        return bmpLoad(path.c_str());
    }

    // Loads and compares with `expected`; no box may appear.
    void expectPicture(const std::vector<uint8_t>& bytes, const Rows& expected) {
        ImageRGB* image = load(bytes);
        ASSERT_NE(image, nullptr) << (fake().boxes.empty() ? "" : fake().boxes[0].text);
        EXPECT_TRUE(fake().boxes.empty());
        ASSERT_EQ(image->height, static_cast<int32_t>(expected.size()));
        ASSERT_EQ(image->width, static_cast<int32_t>(expected[0].size()));
        for (size_t y = 0; y < expected.size(); ++y)
            for (size_t x = 0; x < expected[y].size(); ++x) {
                const uint8_t* p = image->data + (y * expected[y].size() + x) * 3;
                uint32_t got = (p[0] << 16) | (p[1] << 8) | p[2];
                EXPECT_EQ(got, expected[y][x]) << "pixel " << x << "," << y;
            }
        std::free(image->data);
        std::free(image);
    }

    // Loads and expects null with exactly one box of this text.
    void expectRefused(const std::vector<uint8_t>& bytes, const std::string& text) {
        fakeReset();
        fake().focus = FOCUS;
        ImageRGB* image = load(bytes);
        EXPECT_EQ(image, nullptr);
        if (image) {
            std::free(image->data);
            std::free(image);
        }
        expectOneBox(text);
    }

    void expectOneBox(const std::string& text) {
        ASSERT_EQ(fake().boxes.size(), 1u);
        EXPECT_EQ(fake().boxes[0].text, text);
        EXPECT_EQ(fake().boxes[0].caption, "Error");
        EXPECT_EQ(fake().boxes[0].style, static_cast<uint32_t>(MB_OK));
        EXPECT_EQ(fake().boxes[0].owner, FOCUS);
    }

    BmpTempDir dir;
};

Rows mapRows(const Rows& indexes, const std::vector<uint32_t>& palette) {
    Rows out = indexes;
    for (auto& row : out)
        for (auto& v : row) v = v < palette.size() ? palette[v] : 0;
    return out;
}

std::vector<uint32_t> somePalette(size_t count) {
    std::vector<uint32_t> palette;
    for (size_t i = 0; i < count; ++i)
        palette.push_back(static_cast<uint32_t>((i * 0x3B + 7) % 256 << 16 | (i * 0x61 + 3) % 256 << 8 |
                                                (255 - i % 256)));
    return palette;
}

BmpFileParts paletted(uint16_t bits, const Rows& indexes, size_t paletteSize) {
    BmpFileParts p;
    p.width = static_cast<int32_t>(indexes[0].size());
    p.height = static_cast<int32_t>(indexes.size());
    p.bitCount = bits;
    p.palette = somePalette(paletteSize);
    p.pixels = bmpPackRows(indexes, bits);
    return p;
}

TEST_F(BmpLoadTest, PaletteDepthsLookUpEachIndex) {
    Rows one = {{1, 0, 1, 1, 0, 0, 1, 0, 1, 1}, {0, 1, 0, 0, 1, 1, 0, 1, 0, 0}};
    BmpFileParts p1 = paletted(1, one, 2);
    expectPicture(bmpBuild(p1), mapRows(one, p1.palette));

    Rows four = {{0, 15, 7, 8, 3}, {12, 1, 2, 9, 10}, {5, 5, 6, 14, 13}};
    BmpFileParts p4 = paletted(4, four, 16);
    expectPicture(bmpBuild(p4), mapRows(four, p4.palette));

    Rows eight = {{0, 255, 128}, {17, 200, 99}};
    BmpFileParts p8 = paletted(8, eight, 256);
    expectPicture(bmpBuild(p8), mapRows(eight, p8.palette));

    // An index past a short palette has no colour and comes out black.
    Rows beyond = {{0, 1, 5}};
    BmpFileParts pShort = paletted(8, beyond, 2);
    pShort.clrUsed = 2;
    expectPicture(bmpBuild(pShort), mapRows(beyond, pShort.palette));
}

TEST_F(BmpLoadTest, DirectColourDepthsGiveTheirColours) {
    BmpFileParts p16;
    p16.bitCount = 16;
    p16.width = 5;
    p16.height = 1;
    // 5-5-5 with the top bit unused; full channels reach 255.
    p16.pixels = bmpPackRows({{0x7C00, 0x03E0, 0x001F, 0x4210, 0x8000}}, 16);
    expectPicture(bmpBuild(p16), {{0xFF0000, 0x00FF00, 0x0000FF, 0x848484, 0x000000}});

    BmpFileParts p24;
    p24.width = 3;
    p24.height = 2;
    Rows colours = {{0x123456, 0xABCDEF, 0xFF0080}, {0x000001, 0x010000, 0x7F7F7F}};
    p24.pixels = bmpPackRows(colours, 24);
    expectPicture(bmpBuild(p24), colours);

    BmpFileParts p32;
    p32.bitCount = 32;
    p32.width = 2;
    p32.height = 1;
    // The top byte is unused.
    p32.pixels = bmpPackRows({{0xFF123456, 0x00ABCDEF}}, 32);
    expectPicture(bmpBuild(p32), {{0x123456, 0xABCDEF}});
}

TEST_F(BmpLoadTest, BitFieldMasksPlaceTheChannels) {
    BmpFileParts p;
    p.bitCount = 16;
    p.compression = 3;
    p.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    p.width = 3;
    p.height = 1;
    p.pixels = bmpPackRows({{0xF800, 0x07E0, 0x0410}}, 16);
    expectPicture(bmpBuild(p), {{0xFF0000, 0x00FF00, 0x008284}});

    // Without a file header the pixels lie behind the masks.
    p.fileHeader = false;
    expectPicture(bmpBuild(p), {{0xFF0000, 0x00FF00, 0x008284}});

    BmpFileParts p32;
    p32.bitCount = 32;
    p32.compression = 3;
    p32.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    p32.width = 1;
    p32.height = 1;
    p32.pixels = bmpPackRows({{0x11223344}}, 32);
    expectPicture(bmpBuild(p32), {{0x112233}});

    // Masks cut off by the end of the file.
    BmpFileParts cut = p32;
    cut.fileHeader = false;
    cut.masks = {0xFF000000};
    cut.pixels.clear();
    expectRefused(bmpBuild(cut), "Image file conversion error.");
}

TEST_F(BmpLoadTest, RunLengthEncodingsFollowEveryCommand) {
    std::vector<uint32_t> palette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};
    BmpFileParts rle8;
    rle8.bitCount = 8;
    rle8.compression = 1;
    rle8.width = 6;
    rle8.height = 3;
    rle8.palette = palette;
    rle8.clrUsed = 4;
    rle8.pixels = {
        0x03, 0x01,                          // three of 1
        0x00, 0x03, 0x02, 0x03, 0x02, 0x00,  // absolute 2 3 2, padded
        0x00, 0x00,                          // end of line
        0x02, 0x03,                          // two of 3
        0x00, 0x02, 0x03, 0x00,              // move 3 right
        0x01, 0x01,                          // one of 1
        0x00, 0x00,                          // end of line
        0x06, 0x02,                          // six of 2
        0x00, 0x01,                          // end of bitmap
        0x06, 0x01,                          // ignored
    };
    // Pixels no command reaches stay black, not palette entry 0.
    expectPicture(bmpBuild(rle8), {{0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00},
                                   {0x0000FF, 0x0000FF, 0, 0, 0, 0xFF0000},
                                   {0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}});

    std::vector<uint32_t> palette16 = somePalette(16);
    BmpFileParts rle4;
    rle4.bitCount = 4;
    rle4.compression = 2;
    rle4.width = 5;
    rle4.height = 3;
    rle4.palette = palette16;
    rle4.pixels = {
        0x05, 0x12,                          // 1 2 1 2 1
        0x00, 0x00,                          // end of line
        0x00, 0x05, 0x34, 0x56, 0x70, 0x00,  // absolute 3 4 5 6 7: three bytes padded to four
        0x00, 0x00,                          // end of line
        0x00, 0x03, 0x9A, 0xB0,              // absolute 9 10 11: two bytes, no padding
        0x02, 0xCD,                          // 12 13
        0x00, 0x01,
    };
    expectPicture(bmpBuild(rle4), mapRows({{1, 2, 1, 2, 1}, {3, 4, 5, 6, 7}, {9, 10, 11, 12, 13}},
                                          palette16));
}

TEST_F(BmpLoadTest, RunLengthOverrunsAreCutAtTheRowAndThePicture) {
    std::vector<uint32_t> palette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};
    BmpFileParts p;
    p.bitCount = 8;
    p.compression = 1;
    p.width = 4;
    p.height = 3;
    p.palette = palette;
    p.clrUsed = 4;
    p.pixels = {
        0xFF, 0x01,                                // 255 of 1 in a row of 4: cut
        0x00, 0x00,
        0x00, 0x07, 3, 3, 3, 3, 3, 3, 3, 0x00,     // absolute 7 in a row of 4: cut, padding kept
        0x00, 0x00,
        0x02, 0x02,                                // the stream is still in step
        0x00, 0x02, 0xFF, 0xFF,                    // a move far outside the picture ends it
        0x04, 0x01,                                // never drawn
    };
    expectPicture(bmpBuild(p), {{0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000},
                                {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
                                {0x00FF00, 0x00FF00, 0, 0}});

    // Lines past the top end the picture; data that stop mid-command or
    // mid-stretch keep what was drawn.
    p.height = 1;
    p.pixels = {0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01};
    expectPicture(bmpBuild(p), {{0x00FF00, 0, 0, 0}});
    p.pixels = {0x01, 0x02, 0x00, 0x04, 0x03, 0x03};
    expectPicture(bmpBuild(p), {{0x00FF00, 0x0000FF, 0x0000FF, 0}});
    p.pixels = {0x02, 0x03, 0x00, 0x02, 0x01};
    expectPicture(bmpBuild(p), {{0x0000FF, 0x0000FF, 0, 0}});

    // No run-length data at all: nothing to convert.
    p.pixels = {0x02};
    expectRefused(bmpBuild(p), "Image file conversion error.");
    p.pixels.clear();
    expectRefused(bmpBuild(p), "Image file conversion error.");
}

TEST_F(BmpLoadTest, EveryHeaderVarietyGivesTheSamePicture) {
    Rows indexes = {{0, 1, 2}, {3, 4, 5}};
    BmpFileParts info = paletted(8, indexes, 256);
    Rows expected = mapRows(indexes, info.palette);

    expectPicture(bmpBuild(info), expected);
    BmpFileParts packed = info;
    packed.fileHeader = false;  // pixels right behind 40 + 4 x 256 bytes
    expectPicture(bmpBuild(packed), expected);

    BmpFileParts core = info;
    core.headerSize = 12;  // 3-byte palette entries
    expectPicture(bmpBuild(core), expected);
    core.fileHeader = false;  // pixels right behind 12 + 3 x 256 bytes
    expectPicture(bmpBuild(core), expected);

    BmpFileParts core24;
    core24.headerSize = 12;
    core24.fileHeader = false;
    core24.width = 2;
    core24.height = 2;
    Rows colours = {{0x010203, 0xF0E0D0}, {0x00FF00, 0x808080}};
    core24.pixels = bmpPackRows(colours, 24);
    expectPicture(bmpBuild(core24), colours);

    // A pixel offset that leaves a gap after the palette is followed.
    BmpFileParts gap = info;
    gap.pixels.insert(gap.pixels.begin(), 6, 0xEE);
    gap.pixelOffsetOverride = 14 + 40 + 1024 + 6;
    expectPicture(bmpBuild(gap), expected);
}

TEST_F(BmpLoadTest, ColoursUsedSetsThePaletteLength) {
    // 100 entries: the pixels follow the 100th entry, not the 256th.
    Rows indexes = {{0, 99, 50, 1}};
    BmpFileParts p = paletted(8, indexes, 100);
    p.clrUsed = 100;
    p.fileHeader = false;
    expectPicture(bmpBuild(p), mapRows(indexes, p.palette));

    BmpFileParts full = paletted(8, {{0, 200, 255, 1}}, 256);
    full.fileHeader = false;
    expectPicture(bmpBuild(full), mapRows({{0, 200, 255, 1}}, full.palette));

    // The colour count itself.
    std::vector<uint8_t> info = bmpBuild(p);
    EXPECT_EQ(bmpColorCount(info.data(), info.size()), 100);
    info[32] = 0;  // colours used 0: by the bit count
    EXPECT_EQ(bmpColorCount(info.data(), info.size()), 256);
    info[14] = 4;
    EXPECT_EQ(bmpColorCount(info.data(), info.size()), 16);
    info[14] = 24;
    EXPECT_EQ(bmpColorCount(info.data(), info.size()), 0);
    info[32] = 0x05;
    info[34] = 0x01;  // 0x10005: only the low 16 bits count
    EXPECT_EQ(bmpColorCount(info.data(), info.size()), 5);
    EXPECT_EQ(bmpColorCount(info.data(), 20), 0);  // cut short

    BmpFileParts coreParts = paletted(1, {{0, 1}}, 2);
    coreParts.headerSize = 12;
    coreParts.fileHeader = false;
    std::vector<uint8_t> core = bmpBuild(coreParts);
    EXPECT_EQ(bmpColorCount(core.data(), core.size()), 2);
}

TEST_F(BmpLoadTest, RowsLoseTheirPaddingAndBecomeRgb) {
    BmpFileParts p;
    p.width = 5;
    p.height = 2;
    p.pixels = bmpPackRows({{0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F},
                            {0x101112, 0x131415, 0x161718, 0x191A1B, 0x1C1D1E}},
                           24);
    ASSERT_EQ(p.pixels.size(), 2u * 16u);  // each stored row padded to 16 bytes
    ImageRGB* image = load(bmpBuild(p));
    ASSERT_NE(image, nullptr);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(image->data[i], i + 1) << i;
    std::free(image->data);
    std::free(image);
}

TEST_F(BmpLoadTest, TopDownFilesComeOutUpright) {
    BmpFileParts p;
    p.width = 2;
    p.height = -3;
    // Stored top row first.
    p.pixels = bmpPackRows({{0xAA0000, 0xAA0001}, {0xBB0000, 0xBB0001}, {0xCC0000, 0xCC0001}}, 24);
    expectPicture(bmpBuild(p), {{0xCC0000, 0xCC0001}, {0xBB0000, 0xBB0001}, {0xAA0000, 0xAA0001}});

    BmpFileParts rle;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.width = 2;
    rle.height = -2;
    rle.palette = {0x000000, 0x00FF00};
    rle.clrUsed = 2;
    rle.pixels = {0x02, 0x01, 0x00, 0x01};  // the first stored row is the top
    expectPicture(bmpBuild(rle), {{0, 0}, {0x00FF00, 0x00FF00}});
}

TEST_F(BmpLoadTest, FilesThatCannotBeOpenedNameTheFile) {
    std::string missing = dir.path + "/missing.bmp";
    EXPECT_EQ(bmpLoad(missing.c_str()), nullptr);
    expectOneBox("Failed to open DIB file " + missing + ".\n");

    fakeReset();
    fake().focus = FOCUS;
    std::string empty = dir.write("empty.bmp", {});
    EXPECT_EQ(bmpLoad(empty.c_str()), nullptr);
    expectOneBox("Failed to open DIB file " + empty + ".\n");

    fakeReset();
    fake().focus = FOCUS;
    EXPECT_EQ(bmpLoad(dir.path.c_str()), nullptr);  // a folder
    expectOneBox("Failed to open DIB file " + dir.path + ".\n");

    // A pipe with no writer is no picture, and must not keep the program
    // waiting.
    fakeReset();
    fake().focus = FOCUS;
    std::string pipe = dir.path + "/pipe.bmp";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    dir.files.push_back(pipe);
    EXPECT_EQ(bmpLoad(pipe.c_str()), nullptr);
    expectOneBox("Failed to open DIB file " + pipe + ".\n");

    // A name too long for the box keeps its start and is marked as cut.
    fakeReset();
    fake().focus = FOCUS;
    std::string longName = dir.path + "/" + std::string(300, 'n') + ".bmp";
    EXPECT_EQ(bmpLoad(longName.c_str()), nullptr);
    ASSERT_EQ(fake().boxes.size(), 1u);
    const std::string& text = fake().boxes[0].text;
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.compare(0, 24 + dir.path.size(), "Failed to open DIB file " + dir.path), 0);
    EXPECT_EQ(text.substr(text.size() - 5), "....\n");
}

TEST_F(BmpLoadTest, UnknownHeadersAreRefused) {
    for (uint32_t size : {108u, 124u, 64u, 0u}) {
        BmpFileParts p;
        p.headerSize = size;
        p.pixels = bmpPackRows({{0x123456}}, 24);
        expectRefused(bmpBuild(p), "Unknown DIB file format.");
        p.fileHeader = false;
        expectRefused(bmpBuild(p), "Unknown DIB file format.");
    }
}

TEST_F(BmpLoadTest, TruncatedFilesAreRefused) {
    Rows indexes = {{1, 2}, {3, 4}};
    std::vector<uint8_t> whole = bmpBuild(paletted(8, indexes, 256));
    const std::string conversion = "Image file conversion error.";

    // Cut inside the file header, the info header and the palette.
    for (size_t length : {1u, 2u, 9u, 13u, 14u, 17u, 30u, 53u, 54u, 300u, 14u + 40u + 1023u})
        expectRefused(std::vector<uint8_t>(whole.begin(), whole.begin() + length), conversion);

    // Pixel data that start at or past the end of the file.
    BmpFileParts far;
    far.pixels = bmpPackRows({{0x123456}}, 24);
    far.pixelOffsetOverride = 0xFFFFFFF0;
    expectRefused(bmpBuild(far), conversion);
    far.pixelOffsetOverride = 14 + 40 + 4;
    expectRefused(bmpBuild(far), conversion);

    // Not even one row present.
    BmpFileParts thin;
    thin.width = 4;
    thin.height = 2;
    thin.pixels = {1, 2, 3, 4, 5};
    expectRefused(bmpBuild(thin), conversion);

    // A core header cut short.
    BmpFileParts core = paletted(1, {{0, 1}}, 2);
    core.headerSize = 12;
    core.fileHeader = false;
    std::vector<uint8_t> coreBytes = bmpBuild(core);
    expectRefused(std::vector<uint8_t>(coreBytes.begin(), coreBytes.begin() + 10), conversion);
    expectRefused(std::vector<uint8_t>(coreBytes.begin(), coreBytes.begin() + 16), conversion);
}

TEST_F(BmpLoadTest, ShortPixelDataLoadTheRowsPresent) {
    BmpFileParts p;
    p.width = 3;
    p.height = 4;
    p.pixels = bmpPackRows({{0x111111, 0x222222, 0x333333}, {0x444444, 0x555555, 0x666666}}, 24);
    // The second row's padding is missing, its pixels are whole; half a
    // third row follows.
    p.pixels.resize(12 + 9);
    p.pixels.insert(p.pixels.end(), {0x77, 0x77, 0x77, 0x88});
    expectPicture(bmpBuild(p), {{0x111111, 0x222222, 0x333333},
                                {0x444444, 0x555555, 0x666666},
                                {0, 0, 0},
                                {0, 0, 0}});
}

TEST_F(BmpLoadTest, UnconvertibleLayoutsAreRefused) {
    const std::string conversion = "Image file conversion error.";
    struct Layout {
        uint16_t bits;
        uint32_t compression;
        int32_t width, height;
    } layouts[] = {
        {2, 0, 1, 1},     {0, 0, 1, 1},        {64, 0, 1, 1},     {24, 4, 1, 1},
        {24, 5, 1, 1},    {24, 1, 1, 1},       {8, 2, 1, 1},      {24, 3, 1, 1},
        {24, 0, 0, 1},    {24, 0, -4, 1},      {24, 0, 1, 0},     {24, 0, 1, INT32_MIN},
    };
    for (const Layout& l : layouts) {
        BmpFileParts p;
        p.bitCount = l.bits;
        p.compression = l.compression;
        p.width = l.width;
        p.height = l.height;
        if (l.compression == 3) p.masks = {0xFF0000, 0xFF00, 0xFF};
        if (l.bits <= 8) p.palette = somePalette(l.bits == 0 ? 0 : 1u << l.bits);
        p.pixels.assign(64, 0x11);
        SCOPED_TRACE(testing::Message() << l.bits << " bits, compression " << l.compression
                                        << ", " << l.width << " x " << l.height);
        expectRefused(bmpBuild(p), conversion);
    }
}

TEST_F(BmpLoadTest, DishonestDimensionsAreRefusedBeforeAllocating) {
    struct Size {
        int32_t width, height;
    } sizes[] = {
        {INT32_MAX, INT32_MAX}, {INT32_MAX, 1}, {1, INT32_MAX}, {1000000, 1000000},
        {30000, -30000},        {8192, 10923},  {INT32_MAX, -INT32_MAX},
    };
    for (const Size& s : sizes) {
        BmpFileParts p;
        p.width = s.width;
        p.height = s.height;
        p.pixels.assign(64, 0x22);
        SCOPED_TRACE(testing::Message() << s.width << " x " << s.height);
        expectRefused(bmpBuild(p), "Out of memory.");
        p.bitCount = 8;
        p.compression = 1;  // run-length data could claim any size
        p.palette = somePalette(256);
        expectRefused(bmpBuild(p), "Out of memory.");
    }
    BmpFileParts core;
    core.headerSize = 12;
    core.width = 65535;
    core.height = 65535;
    core.pixels.assign(64, 0);
    expectRefused(bmpBuild(core), "Out of memory.");
}

TEST(TextureLoadTest, AFileThatCannotBeLoadedEndsTheProgramWithStatusZero) {
    GLuint ids[2] = {11, 22};
    textureLoad(ids, nullptr, 0);  // nothing to load, nothing touched
    EXPECT_EQ(ids[0], 11u);
    EXPECT_EQ(ids[1], 22u);

    EXPECT_EXIT(
        {
            fakeReset();
            textureLoad(ids, "/nonexistent/Ziegel1.bmp", 1);
            std::exit(3);  // not reached when textureLoad ends the program
        },
        ::testing::ExitedWithCode(0), "");
}

#ifdef TENEBREL_TEXTURE_DIR
// Our own texture files: whole 256 x 256 pictures of the right colours whose
// joints line up when the picture is tiled.
TEST(TextureFilesTest, BricksTileWithoutASeam) {
    struct Expect {
        const char* name;
        int dominant;  // channel the bricks are strongest in
    } files[] = {{"brickblue.bmp", 2}, {"Ziegel1.bmp", 0}};
    for (const Expect& e : files) {
        fakeReset();
        std::string path = std::string(TENEBREL_TEXTURE_DIR) + "/" + e.name;
        ImageRGB* image = bmpLoad(path.c_str());
        ASSERT_NE(image, nullptr) << path;
        ASSERT_EQ(image->width, 256);
        ASSERT_EQ(image->height, 256);
        auto at = [&](int x, int y) { return image->data + (y * 256 + x) * 3; };
        auto mortar = [&](int x, int y) {
            const uint8_t* p = at(x, y);
            return p[0] > 140 && p[1] > 140 && p[2] > 140;
        };
        long sums[3] = {0, 0, 0};
        int mortarCount = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                if (mortar(x, y)) {
                    ++mortarCount;
                    continue;
                }
                for (int c = 0; c < 3; ++c) sums[c] += at(x, y)[c];
            }
        EXPECT_GT(mortarCount, 256 * 256 / 20) << e.name;
        EXPECT_LT(mortarCount, 256 * 256 / 3) << e.name;
        for (int c = 0; c < 3; ++c)
            if (c != e.dominant) { EXPECT_GT(sums[e.dominant], sums[c] * 3 / 2) << e.name; }
        // The bond repeats every 64 pixels across and up, so the joints
        // crossing the picture's edges must match those 64 pixels inside.
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(mortar(255, i), mortar(63, i)) << e.name << " row " << i;
            EXPECT_EQ(mortar(0, i), mortar(64, i)) << e.name << " row " << i;
            EXPECT_EQ(mortar(i, 255), mortar(i, 63)) << e.name << " column " << i;
            EXPECT_EQ(mortar(i, 0), mortar(i, 64)) << e.name << " column " << i;
        }
        std::free(image->data);
        std::free(image);
    }
}
#endif

}  // namespace
