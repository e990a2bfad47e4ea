// A bitmap font in display lists: one glBitmap per character, made from the
// system's glyphs.
#include "assets/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

GLuint fontListBase = 0;

namespace {

const char* const FONT_FACE = "Secret Service Typewriter";
const int FONT_PIXEL_HEIGHT = 28;
const int FONT_FIRST = 32;
const int FONT_COUNT = 96;

}  // namespace

void fontBuild(PlatformDeviceContext* deviceContext) {
    (void)deviceContext;  // the glyphs come from the font files, not the window
    fontListBase = glGenLists(FONT_COUNT);
    if (fontListBase == 0) return;

    PlatformFont* font = platformFontOpen(FONT_FACE, FONT_PIXEL_HEIGHT, 1);

    // glBitmap reads its rows through the unpack state: the glyph rows are
    // byte-packed, so alignment 1; the caller's state comes back afterwards.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);

    uint8_t* flipped = nullptr;
    size_t flippedSize = 0;
    for (int k = FONT_FIRST; k < FONT_FIRST + FONT_COUNT; ++k) {
        PlatformGlyph glyph;
        bool have = font && platformFontGlyph(font, static_cast<unsigned>(k), &glyph);
        glNewList(fontListBase + static_cast<GLuint>(k - FONT_FIRST), GL_COMPILE);
        if (have) {
            // glBitmap wants the rows bottom to top; the glyph has them top
            // to bottom.
            size_t size = static_cast<size_t>(glyph.pitch) * glyph.height;
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
                for (int row = 0; row < glyph.height; ++row)
                    std::memcpy(flipped + static_cast<size_t>(row) * glyph.pitch,
                                glyph.bits + static_cast<size_t>(glyph.height - 1 - row) * glyph.pitch,
                                static_cast<size_t>(glyph.pitch));
                bits = flipped;
                width = glyph.width;
                height = glyph.height;
            }
            // Rows may be padded past the glyph's width: step by the pitch.
            glPixelStorei(GL_UNPACK_ROW_LENGTH, glyph.pitch * 8);
            glBitmap(width, height, glyph.originX, glyph.originY, glyph.advance, 0.0f, bits);
        }
        // A character the face lacks gets an empty list: it draws nothing and
        // leaves the raster position where it was.
        glEndList();
    }
    std::free(flipped);
    glPopClientAttrib();
    platformFontClose(font);
}

void fontDelete() {
    if (fontListBase == 0) return;
    glDeleteLists(fontListBase, FONT_COUNT);
    fontListBase = 0;
}

void textPrint(const char* format, ...) {
    if (!format) return;

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor3f(1.0f, 0.0f, 0.0f);

    char text[256];
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (written < 0) text[0] = '\0';

    // Only the characters the font has lists for are drawn; any other byte
    // would call a list number the font did not make.
    unsigned char drawn[256];
    GLsizei count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p >= FONT_FIRST && *p < FONT_FIRST + FONT_COUNT) drawn[count++] = *p;

    glPushAttrib(GL_LIST_BIT);
    glListBase(fontListBase - FONT_FIRST);
    if (fontListBase != 0 && count > 0) glCallLists(count, GL_UNSIGNED_BYTE, drawn);
    glPopAttrib();

    glEnable(GL_TEXTURE_2D);
}
