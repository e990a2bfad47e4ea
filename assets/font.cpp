// A bitmap font: one glyph slot per character, made from the system's
// glyphs.
#include "assets/font.h"

#include <cstdarg>
#include <cstdio>

#include "draw/draw.h"

uint32_t fontListBase = 0;

namespace {

const char* const FONT_FACE = "Secret Service Typewriter";
const int FONT_PIXEL_HEIGHT = 28;
const int FONT_FIRST = 32;
const int FONT_COUNT = 96;

}  // namespace

void fontBuild() {
    fontListBase = drawGlyphsCreate(FONT_COUNT);
    if (fontListBase == 0) return;

    PlatformFont* font = platformFontOpen(FONT_FACE, FONT_PIXEL_HEIGHT, 1);
    drawGlyphsBegin();
    for (int k = FONT_FIRST; k < FONT_FIRST + FONT_COUNT; ++k) {
        PlatformGlyph glyph;
        const bool have = font && platformFontGlyph(font, static_cast<unsigned>(k), &glyph);
        const DrawGlyph drawn = {glyph.width,   glyph.height,  glyph.pitch, glyph.originX,
                                 glyph.originY, glyph.advance, glyph.bits};
        // A character the face lacks gets an empty slot: it draws nothing and
        // leaves the raster position where it was.
        drawGlyphDefine(fontListBase + static_cast<uint32_t>(k - FONT_FIRST),
                        have ? &drawn : nullptr);
    }
    char why[160];
    // Glyphs that cannot be kept draw nothing; the user is told why.
    if (!drawGlyphsEnd(why, sizeof why)) platformWarn(why);
    platformFontClose(font);
}

void fontDelete() {
    if (fontListBase == 0) return;
    drawGlyphsDelete(fontListBase, FONT_COUNT);
    fontListBase = 0;
}

void textPrint(const char* format, ...) {
    if (!format) return;

    drawDisable(drawTexturing);
    drawDisable(drawBlending);
    drawColor3f(1.0f, 0.0f, 0.0f);

    char text[256];
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (written < 0) text[0] = '\0';

    // Only the characters the font has lists for are drawn; any other byte
    // would call a list number the font did not make.
    unsigned char drawn[256];
    int count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        if (*p >= FONT_FIRST && *p < FONT_FIRST + FONT_COUNT) drawn[count++] = *p;

    drawGlyphs(fontListBase - FONT_FIRST, fontListBase != 0 ? count : 0, drawn);

    drawEnable(drawTexturing);
}
