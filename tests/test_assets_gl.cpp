// Textures and the bitmap font on a real GL context, judged by what GL holds
// afterwards: texels read back, and the pixels the text draws against the
// glyphs the font hands out.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "assets/font.h"
#include "assets/texture.h"
#include "draw/mipmap.h"
#include "gl_harness.h"
#include "platform/platform.h"
#include "tools/bmp_write.h"

namespace {

typedef std::vector<std::vector<uint32_t>> Rows;  // 0xRRGGBB, bottom row first
const int WIDTH = 320, HEIGHT = 240;

// Loads the rows as a texture from a BMP file and reads its first level back.
// Every level must hold what es3 uploads for the same picture: GLU's levels
// worked out on the processor, to the texel where the sides are powers of
// two.
Rows uploaded(const Rows& rows) {
    EXPECT_TRUE(bmpWriteFile("upload.bmp", bmpWrite(bmpWritePicture(rows))));
    uint32_t ids[2] = {0, 0};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    textureLoad(ids, "upload.bmp", 1);
    GLint alignment = 0, width = 0, height = 0, largest = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8) << "the caller's row alignment comes back";
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    std::vector<uint8_t> picture, level;
    for (const auto& row : rows)
        for (uint32_t texel : row)
            picture.insert(picture.end(),
                           {uint8_t(texel >> 16), uint8_t(texel >> 8), uint8_t(texel)});
    int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    mipmapFittedSize(&w, &h, largest);
    const int step = w * h == static_cast<int>(rows.size() * rows[0].size()) ? 0 : 1;
    level.resize(static_cast<size_t>(w) * h * 3);
    mipmapScale(picture.data(), static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
                level.data(), w, h);
    Rows got;
    for (GLint index = 0;; ++index) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, index, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, index, GL_TEXTURE_HEIGHT, &height);
        std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, index, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        int off = 0;  // a picture fitted to powers of two may round a step apart
        for (size_t i = 0; i < texels.size() && i < level.size(); ++i)
            off = std::max(off, std::abs(texels[i] - level[i]));
        EXPECT_TRUE(width == w && height == h && off <= step)
            << "level " << index << " unlike es3's, by " << off;
        for (size_t i = 0; index == 0 && i < texels.size(); i += 3) {
            if (i % (width * 3) == 0) got.emplace_back();
            got.back().push_back(uint32_t(texels[i]) << 16 | texels[i + 1] << 8 | texels[i + 2]);
        }
        if (width <= 1 && height <= 1) break;
        level = mipmapHalve(level.data(), w, h), w = std::max(w / 2, 1), h = std::max(h / 2, 1);
    }
    glDeleteTextures(1, &ids[1]);
    return got;
}

// What the font's glyphs put on the screen for `text` from (x, y): the lit
// pixels in white, rows bottom first; `penX` receives where the pen ends.
std::vector<uint8_t> expectedText(const std::string& text, float x, float y, float* penX) {
    std::vector<uint8_t> rgb(WIDTH * HEIGHT * 3, 0);
    PlatformFont* font = platformFontOpen("Secret Service Typewriter", 28, 1);
    PlatformGlyph g;
    for (unsigned char c : text) {
        if (!font || !platformFontGlyph(font, c, &g)) continue;
        for (int row = 0; row < g.height; ++row)
            for (int col = 0; col < g.width; ++col) {
                int px = static_cast<int>(std::floor(x - g.originX)) + col;
                int py = static_cast<int>(std::floor(y - g.originY)) + g.height - 1 - row;
                const bool inside = px >= 0 && px < WIDTH && py >= 0 && py < HEIGHT;
                if ((g.bits[row * g.pitch + col / 8] & (0x80 >> col % 8)) && inside)
                    std::fill_n(&rgb[(py * WIDTH + px) * 3], 3, 255);
            }
        x += g.advance;
    }
    platformFontClose(font);
    *penX = x;
    return rgb;
}

TEST(AssetsGLTest, TexturesHoldTheirPictureAndTextItsGlyphs) {
    ASSERT_TRUE(glHarnessOpen(WIDTH, HEIGHT)) << "no GL context";
    // Rows of 3 and 15 bytes: read with a 4-byte alignment they would come
    // out skewed. Texture row 0 is the picture's bottom row.
    Rows narrow = {{0x102030}, {0x405060}, {0x708090}, {0xA0B0C0},
                   {0xD0E0F0}, {0x0F0E0D}, {0x123456}, {0xFEDCBA}};
    EXPECT_EQ(uploaded(narrow), narrow);
    // Five wide is fitted to four; every row keeps its colour, the top one too.
    Rows odd(4), fitted(4);
    for (uint32_t y = 0; y < 4; ++y)
        odd[y].assign(5, 0x3214C8u * (y + 1)), fitted[y].assign(4, 0x3214C8u * (y + 1));
    EXPECT_EQ(uploaded(odd), fitted);
    // Texels of every value, halved level by level, and a picture enlarged
    // to the nearest powers on both sides.
    Rows noise(16), grown(3);
    for (uint32_t i = 0; i < 256; ++i) noise[i / 16].push_back(i * 2654435761u >> 8);
    for (uint32_t i = 0; i < 18; ++i) grown[i / 6].push_back(i * 0x0B1D07u);
    uploaded(noise), uploaded(grown);

    glOrtho(0, WIDTH, 0, HEIGHT, -1, 1);
    fontBuild();
    // A list of someone else's right behind the font's: byte 128 would reach
    // it through the list base. Bytes outside the font draw nothing.
    GLuint other = glGenLists(1);
    const GLubyte none[1] = {0};
    glNewList(other, GL_COMPILE);
    glBitmap(0, 0, 0, 0, 50, 0, none);
    glEndList();
    glColor3f(1, 1, 1);  // the raster colour is fixed here, not by textPrint's red
    glRasterPos2f(20, 100);
    textPrint("\x01%4.4f\x80\xff", 60.0);
    float penX = 0, raster[4];
    EXPECT_EQ(glHarnessReadRgb(), expectedText("60.0000", 20, 100, &penX));
    EXPECT_FLOAT_EQ((glGetFloatv(GL_CURRENT_RASTER_POSITION, raster), raster[0]), penX);
    EXPECT_GT(penX, 20 + 7 * 8) << "the font has glyphs";
    textPrint(nullptr);  // prints nothing
    // Longer text is cut at 255 characters.
    glRasterPos2f(0, 150);
    textPrint("%s", std::string(300, 'A').c_str());
    expectedText(std::string(255, 'A'), 0, 150, &penX);
    EXPECT_FLOAT_EQ((glGetFloatv(GL_CURRENT_RASTER_POSITION, raster), raster[0]), penX);
    fontDelete();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glHarnessClose();
}

}  // namespace
