// Textures and the bitmap font on a real GL context: texture contents read
// back from GL, raster positions moved by the glyph lists, pixels drawn by
// the text.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/font.h"
#include "assets/texture.h"
#include "bmp_builder.h"
#include "gl_harness.h"
#include "platform/platform.h"

namespace {

const int WIDTH = 320, HEIGHT = 240;

class AssetsGLTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { opened = glHarnessOpen(WIDTH, HEIGHT); }
    static void TearDownTestSuite() { glHarnessClose(); }

    void SetUp() override {
        ASSERT_TRUE(opened) << "no GL context";
        glViewport(0, 0, WIDTH, HEIGHT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, WIDTH, 0, HEIGHT, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Writes a 24-bit BMP of these rows (0xRRGGBB, bottom row first).
    std::string writeBmp(const std::string& name, const std::vector<std::vector<uint32_t>>& rows) {
        BmpFileParts p;
        p.width = static_cast<int32_t>(rows[0].size());
        p.height = static_cast<int32_t>(rows.size());
        p.pixels = bmpPackRows(rows, 24);
        return dir.write(name, bmpBuild(p));
    }

    static std::vector<uint8_t> readLevel(int level, int* width, int* height) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, height);
        std::vector<uint8_t> pixels(static_cast<size_t>(*width) * *height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return pixels;
    }

    static float rasterX() {
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    }

    static bool opened;
    BmpTempDir dir;
};
bool AssetsGLTest::opened = false;

uint32_t pixelAt(const std::vector<uint8_t>& rgb, int width, int x, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (p[0] << 16) | (p[1] << 8) | p[2];
}

TEST_F(AssetsGLTest, NarrowAndOddWidthsUploadExactly) {
    // Rows of 3 and 6 bytes: with a 4-byte row alignment GL would read them
    // skewed and past the end.
    std::vector<std::vector<uint32_t>> narrow = {
        {0x102030}, {0x405060}, {0x708090}, {0xA0B0C0}, {0xD0E0F0}, {0x0F0E0D}, {0x123456}, {0xFEDCBA}};
    std::vector<std::vector<uint32_t>> pairs = {
        {0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}, {0x00FFFF, 0xFF00FF}, {0x808080, 0x404040}};
    for (const auto* rows : {&narrow, &pairs}) {
        GLuint ids[2] = {0, 0};
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        textureLoad(ids, writeBmp("narrow.bmp", *rows).c_str(), 1);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 8) << "the caller's row alignment comes back";
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        int w = 0, h = 0;
        std::vector<uint8_t> level0 = readLevel(0, &w, &h);
        ASSERT_EQ(w, static_cast<int>((*rows)[0].size()));
        ASSERT_EQ(h, static_cast<int>(rows->size()));
        // Texture row 0 (t = 0) is the picture's bottom row, the file's first.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(pixelAt(level0, w, x, y), (*rows)[y][x]) << x << "," << y;
        glDeleteTextures(1, &ids[1]);
    }

    // Five pixels wide: GLU fits the width to four, but every texture row
    // still holds only its own picture row's colour.
    std::vector<std::vector<uint32_t>> odd;
    const uint32_t colours[4] = {0xC83214, 0x14C832, 0x3214C8, 0xF0F0F0};
    for (uint32_t c : colours) odd.push_back(std::vector<uint32_t>(5, c));
    GLuint ids[2] = {0, 0};
    textureLoad(ids, writeBmp("odd.bmp", odd).c_str(), 0);
    int w = 0, h = 0;
    std::vector<uint8_t> level0 = readLevel(0, &w, &h);
    ASSERT_EQ(h, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(pixelAt(level0, w, x, y), colours[y]) << x << "," << y;
    glDeleteTextures(1, &ids[0]);
}

TEST_F(AssetsGLTest, LoadedTextureIsBoundMipmappedAndRepeats) {
    std::vector<std::vector<uint32_t>> rows(8, std::vector<uint32_t>(8, 0x336699));
    rows[0][0] = 0xFFFFFF;
    GLuint ids[2] = {0, 0};
    textureLoad(ids, writeBmp("bound.bmp", rows).c_str(), 0);
    ASSERT_NE(ids[0], 0u);
    GLint bound = 0, wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(static_cast<GLuint>(bound), ids[0]);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    // The chain reaches 1 x 1.
    int w = 0, h = 0;
    readLevel(3, &w, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);

    // A second load into the other slot makes a second texture.
    textureLoad(ids, writeBmp("second.bmp", rows).c_str(), 1);
    EXPECT_NE(ids[1], 0u);
    EXPECT_NE(ids[1], ids[0]);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), ids[1]);
    glDeleteTextures(2, ids);
}

#ifdef TENEBREL_TEXTURE_DIR
TEST_F(AssetsGLTest, OurBrickFilesBecomeTheSceneTextures) {
    std::string blue = std::string(TENEBREL_TEXTURE_DIR) + "/brickblue.bmp";
    std::string red = std::string(TENEBREL_TEXTURE_DIR) + "/Ziegel1.bmp";
    textureLoad(textureIds, blue.c_str(), 0);
    textureLoad(textureIds, red.c_str(), 1);
    ASSERT_NE(textureIds[0], 0u);
    ASSERT_NE(textureIds[1], 0u);
    int w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, textureIds[1]);
    readLevel(0, &w, &h);
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 256);
    glDeleteTextures(2, textureIds);
    textureIds[0] = textureIds[1] = 0;
}
#endif

class FontGLTest : public AssetsGLTest {
protected:
    void SetUp() override {
        AssetsGLTest::SetUp();
        fontBuild(nullptr);
        ASSERT_NE(fontListBase, 0u);
        glColor3f(1, 1, 1);
    }
    void TearDown() override {
        fontDelete();
        AssetsGLTest::TearDown();
    }
};

TEST_F(FontGLTest, EachOfTheNinetySixListsAdvancesByItsGlyph) {
    PlatformFont* font = platformFontOpen("Secret Service Typewriter", 28, 1);
    ASSERT_NE(font, nullptr);
    for (int k = 32; k < 128; ++k) {
        EXPECT_TRUE(glIsList(fontListBase + (k - 32))) << k;
        PlatformGlyph glyph;
        float advance = platformFontGlyph(font, static_cast<unsigned>(k), &glyph) ? glyph.advance : 0;
        if (k >= 33 && k < 127) {
            EXPECT_GT(advance, 0) << "the face has a glyph for " << k;
        }
        glRasterPos2f(20, 100);
        glCallList(fontListBase + (k - 32));
        EXPECT_FLOAT_EQ(rasterX(), 20 + advance) << "character " << k;
    }
    platformFontClose(font);

    // The glyphs are 28 pixels high: a capital stands well over half of it.
    glClear(GL_COLOR_BUFFER_BIT);
    glRasterPos2f(20, 100);
    glCallList(fontListBase + ('H' - 32));
    std::vector<uint8_t> rgb = glHarnessReadRgb();
    int top = -1, bottom = HEIGHT;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (pixelAt(rgb, WIDTH, x, y)) {
                top = std::max(top, y);
                bottom = std::min(bottom, y);
            }
    EXPECT_EQ(bottom, 100) << "the capital stands on the baseline";
    EXPECT_GE(top - bottom + 1, 16);
    EXPECT_LE(top - bottom + 1, 28);

    fontDelete();
    EXPECT_EQ(fontListBase, 0u);
    fontBuild(nullptr);  // for TearDown
}

TEST_F(FontGLTest, PrintingTheFrameRateDrawsIt) {
    PlatformFont* font = platformFontOpen("Secret Service Typewriter", 28, 1);
    ASSERT_NE(font, nullptr);
    float expected = 0;
    for (char c : std::string("60.0000")) {
        PlatformGlyph glyph;
        ASSERT_TRUE(platformFontGlyph(font, static_cast<unsigned char>(c), &glyph));
        expected += glyph.advance;
    }
    PlatformGlyph letterA;
    ASSERT_TRUE(platformFontGlyph(font, 'A', &letterA));
    float advanceA = letterA.advance;
    platformFontClose(font);

    std::vector<uint8_t> before = glHarnessReadRgb();
    glRasterPos2f(10, 10);
    textPrint("%4.4f", 60.0);
    EXPECT_FLOAT_EQ(rasterX(), 10 + expected);
    std::vector<uint8_t> after = glHarnessReadRgb();
    int changed = 0;
    for (size_t i = 0; i < after.size(); i += 3)
        if (after[i] != before[i] || after[i + 1] != before[i + 1] || after[i + 2] != before[i + 2])
            ++changed;
    EXPECT_GT(changed, 100) << "seven characters leave a mark";
    // Drawn in the raster colour fixed by glRasterPos (white), not in the red
    // textPrint sets afterwards.
    EXPECT_EQ(pixelAt(after, WIDTH, 0, 0), 0u);
    bool white = false;
    for (int y = 0; y < 40 && !white; ++y)
        for (int x = 0; x < 200 && !white; ++x) white = pixelAt(after, WIDTH, x, y) == 0xFFFFFF;
    EXPECT_TRUE(white);

    // Longer text is cut at 255 characters.
    glRasterPos2f(0, 150);
    textPrint("%s", std::string(300, 'A').c_str());
    GLfloat position[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION_VALID, position);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], 255 * advanceA);
}

TEST_F(FontGLTest, BytesOutsideTheFontDrawNothing) {
    // A list of someone else's right behind the font's: the byte 128 would
    // reach it through the list base.
    GLuint other = glGenLists(1);
    glNewList(other, GL_COMPILE);
    const GLubyte none[1] = {0};
    glBitmap(0, 0, 0, 0, 50, 0, none);
    glEndList();

    glRasterPos2f(30, 30);
    textPrint("%s", "\x01\x1f\x80\xff");
    EXPECT_FLOAT_EQ(rasterX(), 30);
    std::vector<uint8_t> rgb = glHarnessReadRgb();
    for (size_t i = 0; i < rgb.size(); ++i) ASSERT_EQ(rgb[i], 0) << "pixel byte " << i;

    // Mixed in with printable characters, they drop out.
    glRasterPos2f(30, 30);
    textPrint("1");
    float one = rasterX();
    glRasterPos2f(30, 30);
    textPrint("\x7f" "1\x80");
    GLfloat position[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glRasterPos2f(30, 30);
    glCallList(fontListBase + 95);
    float del = rasterX() - 30;
    EXPECT_FLOAT_EQ(position[0], one + del);
    glDeleteLists(other, 1);
}

TEST_F(FontGLTest, PrintingSetsItsStateAndANullFormatTouchesNothing) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor3f(0, 1, 0);
    glListBase(7);
    glRasterPos2f(40, 40);
    textPrint(nullptr);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0);
    EXPECT_EQ(colour[1], 1);
    GLint base = 0;
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 7);
    EXPECT_FLOAT_EQ(rasterX(), 40);

    textPrint("%s", "");  // draws nothing, yet sets the state
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1);
    EXPECT_EQ(colour[1], 0);
    EXPECT_EQ(colour[2], 0);
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 7);
    EXPECT_FLOAT_EQ(rasterX(), 40);

    glEnable(GL_BLEND);
    textPrint("x");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_LIST_BASE, &base);
    EXPECT_EQ(base, 7);
    glListBase(0);
}

}  // namespace
