// The gl1 renderer's textures, built by GLU, and its glyphs, display lists
// of glBitmap.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <cstring>

#include "draw/gl1.h"
#include "draw/mipmap.h"

namespace {

// gluBuild2DMipmaps fits a picture whose sides are not powers of two itself,
// but its fitting leaves the top row of the picture black. Scaling to the
// same size beforehand with gluScaleImage keeps every row. Returns the new
// pixels (malloc) and their size, or null when no scaling is needed or
// possible; the builder then fits the picture itself.
uint8_t* fitPowerOfTwo(int imageWidth, int imageHeight, const uint8_t* rgb, GLint* width,
                       GLint* height) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    int w = imageWidth, h = imageHeight;
    mipmapFittedSize(&w, &h, maxSize);
    if (w == imageWidth && h == imageHeight) return nullptr;
    uint8_t* scaled = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h * 3));
    if (!scaled) return nullptr;
    if (gluScaleImage(GL_RGB, imageWidth, imageHeight, GL_UNSIGNED_BYTE, rgb, w, h,
                      GL_UNSIGNED_BYTE, scaled) != 0) {
        std::free(scaled);
        return nullptr;
    }
    *width = w;
    *height = h;
    return scaled;
}

void textureMipmaps(int imageWidth, int imageHeight, const uint8_t* rgb) {
    // The image's rows are tightly packed, 3 x width bytes each; with GL's
    // default 4-byte row alignment any width not a multiple of 4 would be
    // read skewed and past the end. The caller's pixel-store state comes
    // back afterwards.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    GLint width = imageWidth, height = imageHeight;
    uint8_t* fitted = fitPowerOfTwo(imageWidth, imageHeight, rgb, &width, &height);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                      fitted ? fitted : rgb);
    std::free(fitted);
    glPopClientAttrib();
}

// glBitmap wants the rows bottom to top; the glyph has them top to bottom.
uint8_t* flipped = nullptr;
size_t flippedSize = 0;

void glyphsBegin() {
    // glBitmap reads its rows through the unpack state: the glyph rows are
    // byte-packed, so alignment 1; the caller's state comes back afterwards.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
}

void glyphDefine(uint32_t slot, const DrawGlyph* glyph) {
    glNewList(slot, GL_COMPILE);
    if (glyph != nullptr) {
        const size_t size = static_cast<size_t>(glyph->pitch) * glyph->height;
        if (size > flippedSize) {
            uint8_t* grown = static_cast<uint8_t*>(std::realloc(flipped, size));
            if (grown) {
                flipped = grown;
                flippedSize = size;
            }
        }
        static const uint8_t empty[1] = {0};
        const uint8_t* bits = empty;
        GLsizei width = 0, height = 0;
        if (size > 0 && size <= flippedSize) {
            for (int row = 0; row < glyph->height; ++row)
                std::memcpy(flipped + static_cast<size_t>(row) * glyph->pitch,
                            glyph->bits + static_cast<size_t>(glyph->height - 1 - row) * glyph->pitch,
                            static_cast<size_t>(glyph->pitch));
            bits = flipped;
            width = glyph->width;
            height = glyph->height;
        }
        // Rows may be padded past the glyph's width: step by the pitch.
        glPixelStorei(GL_UNPACK_ROW_LENGTH, glyph->pitch * 8);
        glBitmap(width, height, glyph->originX, glyph->originY, glyph->advance, 0.0f, bits);
    }
    // An empty slot draws nothing and leaves the raster position where it was.
    glEndList();
}

void glyphsEnd() {
    std::free(flipped);
    flipped = nullptr;
    flippedSize = 0;
    glPopClientAttrib();
}

}  // namespace

void gl1FillAssets(DrawBackend& b) {
    b.textureCreate = [] {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        return static_cast<uint32_t>(texture);
    };
    b.textureBind = [](uint32_t texture) { glBindTexture(GL_TEXTURE_2D, texture); };
    b.textureDelete = [](uint32_t texture) {
        const GLuint name = texture;
        glDeleteTextures(1, &name);
    };
    b.textureMipmaps = textureMipmaps;
    b.textureTrilinear = [] {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    };

    b.glyphsCreate = [](int count) { return static_cast<uint32_t>(glGenLists(count)); };
    b.glyphsDelete = [](uint32_t first, int count) { glDeleteLists(first, count); };
    b.glyphsBegin = glyphsBegin;
    b.glyphDefine = glyphDefine;
    b.glyphsEnd = glyphsEnd;
    b.rasterPos2f = [](float x, float y) { glRasterPos2f(x, y); };
    b.glyphs = [](uint32_t base, int count, const uint8_t* bytes) {
        glPushAttrib(GL_LIST_BIT);
        glListBase(base);
        if (count > 0) glCallLists(count, GL_UNSIGNED_BYTE, bytes);
        glPopAttrib();
    };
}
