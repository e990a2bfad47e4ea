// Glyph bitmaps for the text font, from the browser's own text: each
// character is drawn on a 2D canvas and its coverage cut at one half into
// 1-bit rows.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "platform/platform.h"

struct PlatformFont {
    std::string css;            // the canvas font: weight, size, families
    int size;                   // its pixel height
    std::vector<uint8_t> bits;  // the last glyph's rows, top to bottom
};

namespace {

// Draws the character with its baseline and pen at (pad, pad + size) of a
// canvas large enough for any glyph of the size, and finds the box of the
// pixels it covers. out: width, height, the pen's x from the box's left,
// the baseline's height above the box's bottom, and the advance in 1/64
// pixels. The coverage stays with the page for webGlyphBits.
// clang-format off
EM_JS(void, webGlyphMeasure, (const char* css, int character, int size, int* out), {
    var pad = size;
    var side = 3 * size;
    var canvas = Module.webGlyphCanvas = Module.webGlyphCanvas || document.createElement('canvas');
    canvas.width = canvas.height = side;
    var context = canvas.getContext('2d', {willReadFrequently: true});
    context.clearRect(0, 0, side, side);
    context.font = UTF8ToString(css);
    context.fillStyle = '#fff';
    context.textBaseline = 'alphabetic';
    var text = String.fromCharCode(character);
    context.fillText(text, pad, pad + size);
    var alpha = context.getImageData(0, 0, side, side).data;
    var left = side, top = side, right = -1, bottom = -1;
    for (var y = 0; y < side; ++y) {
        for (var x = 0; x < side; ++x) {
            if (alpha[4 * (y * side + x) + 3] < 128) continue;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            if (y > bottom) bottom = y;
        }
    }
    if (right < 0) {
        left = pad;
        right = pad - 1;
        top = pad + size;
        bottom = top - 1;
    }
    Module.webGlyph = {alpha: alpha, side: side, left: left, top: top};
    HEAP32[out >> 2] = right - left + 1;
    HEAP32[(out >> 2) + 1] = bottom - top + 1;
    HEAP32[(out >> 2) + 2] = pad - left;
    HEAP32[(out >> 2) + 3] = bottom + 1 - (pad + size);
    HEAP32[(out >> 2) + 4] = Math.round(context.measureText(text).width * 64);
});
// clang-format on

// The measured glyph's rows into bits, each row pitch bytes, leftmost pixel
// in the highest bit.
// clang-format off
EM_JS(void, webGlyphBits, (uint8_t* bits, int width, int height, int pitch), {
    var glyph = Module.webGlyph;
    for (var row = 0; row < height; ++row) {
        for (var column = 0; column < width; ++column) {
            var x = glyph.left + column, y = glyph.top + row;
            if (glyph.alpha[4 * (y * glyph.side + x) + 3] >= 128) {
                HEAPU8[bits + row * pitch + (column >> 3)] |= 0x80 >> (column & 7);
            }
        }
    }
});
// clang-format on

}  // namespace

PlatformFont* platformFontOpen(const char* faceName, int pixelHeight, int bold) {
    if (pixelHeight <= 0) return nullptr;
    PlatformFont* font = new PlatformFont;
    font->size = pixelHeight;
    // The face asked for when the browser has it; otherwise a monospace
    // face keeps the digits of the frame rate from jumping about.
    font->css = std::string(bold ? "bold " : "") + std::to_string(pixelHeight) + "px ";
    if (faceName != nullptr && faceName[0] != '\0') {
        font->css += '"';
        for (const char* c = faceName; *c != '\0'; ++c) {
            if (*c != '"' && *c != '\\') font->css += *c;
        }
        font->css += "\", ";
    }
    font->css += "monospace";
    return font;
}

int platformFontGlyph(PlatformFont* font, unsigned int character, PlatformGlyph* glyph) {
    if (font == nullptr || glyph == nullptr || character < 32 || character > 126) return 0;
    int measured[5];
    webGlyphMeasure(font->css.c_str(), static_cast<int>(character), font->size, measured);
    const int width = measured[0];
    const int height = measured[1];
    const int pitch = (width + 7) / 8;
    font->bits.assign(static_cast<size_t>(pitch) * height + 1, 0);
    if (width > 0 && height > 0) webGlyphBits(font->bits.data(), width, height, pitch);

    glyph->width = width;
    glyph->height = height;
    glyph->pitch = pitch;
    glyph->originX = static_cast<float>(measured[2]);
    glyph->originY = static_cast<float>(measured[3]);
    glyph->advance = static_cast<float>(measured[4]) / 64.0f;
    glyph->bits = font->bits.data();
    return 1;
}

void platformFontClose(PlatformFont* font) {
    delete font;
}
