// The gl1 renderer's glyphs: each a display list of one glBitmap, drawn
// from the raster position by glCallLists.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "draw/gl1/gl1.h"

namespace {

// glBitmap wants the rows bottom to top; the glyph has them top to bottom.
uint8_t* flipped = nullptr;
size_t flippedSize = 0;

}  // namespace

uint32_t gl1GlyphsCreate(int count) {
    return static_cast<uint32_t>(glGenLists(count));
}

void gl1GlyphsDelete(uint32_t first, int count) {
    glDeleteLists(first, count);
}

void gl1GlyphsBegin() {
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

void gl1GlyphDefine(uint32_t slot, const DrawGlyph* glyph) {
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
                std::memcpy(
                    flipped + static_cast<size_t>(row) * glyph->pitch,
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

int gl1GlyphsEnd(char*, int) {
    std::free(flipped);
    flipped = nullptr;
    flippedSize = 0;
    glPopClientAttrib();
    return 1;
}

void gl1RasterPos2f(float x, float y) {
    glRasterPos2f(x, y);
}

void gl1Glyphs(uint32_t base, int count, const uint8_t* bytes) {
    glPushAttrib(GL_LIST_BIT);
    glListBase(base);
    if (count > 0) glCallLists(count, GL_UNSIGNED_BYTE, bytes);
    glPopAttrib();
}
