// Glyph bitmaps for the text font from GDI: the font mapper picks the face,
// GetGlyphOutlineA renders each character as a 1-bit bitmap.
#include <vector>

#include "platform/win32/internal.h"

struct PlatformFont {
    HDC dc = nullptr;  // a memory device context that holds the font
    HFONT font = nullptr;
    HGDIOBJ previous = nullptr;
    std::vector<uint8_t> bits;  // the last glyph's rows, top to bottom
};

namespace {

HFONT fontCreate(const char* faceName, int pixelHeight, int bold, DWORD pitchAndFamily) {
    // A negative height matches the em height, not the cell height.
    return CreateFontA(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       pitchAndFamily, faceName);
}

// The font mapper always answers with some face; this says whether it is
// the one asked for.
bool fontIsFace(HDC dc, const char* faceName) {
    char chosen[LF_FACESIZE];
    if (GetTextFaceA(dc, sizeof chosen, chosen) == 0) return false;
    return lstrcmpiA(chosen, faceName) == 0;
}

void fontSelect(PlatformFont* font, HFONT handle) {
    if (font->font != nullptr) {
        SelectObject(font->dc, font->previous);
        DeleteObject(font->font);
    }
    font->font = handle;
    font->previous = SelectObject(font->dc, handle);
}

}  // namespace

PlatformFont* platformFontOpen(const char* faceName, int pixelHeight, int bold) {
    if (pixelHeight <= 0) return nullptr;
    PlatformFont* font = new PlatformFont;
    font->dc = CreateCompatibleDC(nullptr);
    if (font->dc == nullptr) {
        delete font;
        return nullptr;
    }
    // The face asked for when the system has it; otherwise a bold fixed-pitch
    // face keeps the digits of the frame rate from jumping about.
    if (faceName != nullptr && faceName[0] != '\0') {
        HFONT handle = fontCreate(faceName, pixelHeight, bold, DEFAULT_PITCH | FF_DONTCARE);
        if (handle != nullptr) fontSelect(font, handle);
        if (handle != nullptr && fontIsFace(font->dc, faceName)) return font;
    }
    HFONT standIn = fontCreate("Courier New", pixelHeight, bold, FIXED_PITCH | FF_MODERN);
    if (standIn == nullptr) {
        platformFontClose(font);
        return nullptr;
    }
    fontSelect(font, standIn);
    return font;
}

int platformFontGlyph(PlatformFont* font, unsigned int character, PlatformGlyph* glyph) {
    if (font == nullptr || font->font == nullptr || glyph == nullptr || character > 255) {
        return 0;
    }
    // The mapper draws a missing character as the face's box; the seam
    // wants to hear that there is none.
    char text = static_cast<char>(character);
    WORD index = 0;
    if (GetGlyphIndicesA(font->dc, &text, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
        index == 0xFFFF) {
        return 0;
    }

    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics;
    const DWORD size =
        GetGlyphOutlineA(font->dc, character, GGO_BITMAP, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) return 0;
    std::vector<uint8_t> system(size + 1, 0);
    if (size > 0 && GetGlyphOutlineA(font->dc, character, GGO_BITMAP, &metrics, size, system.data(),
                                     &identity) == GDI_ERROR) {
        return 0;
    }

    // A blank glyph (the space) has no bitmap, only its advance. GGO_BITMAP
    // rows start on 32-bit boundaries: that is the pitch handed on.
    int width = 0, height = 0, pitch = 0;
    font->bits.assign(1, 0);
    if (size > 0) {
        width = static_cast<int>(metrics.gmBlackBoxX);
        height = static_cast<int>(metrics.gmBlackBoxY);
        pitch = static_cast<int>((metrics.gmBlackBoxX + 31) / 32 * 4);
        if (static_cast<size_t>(pitch) * height > size) return 0;
        font->bits.swap(system);
    }
    glyph->width = width;
    glyph->height = height;
    glyph->pitch = pitch;
    // The glyph origin is the black box's top-left corner above the
    // baseline; the seam wants the pen relative to the bottom-left corner.
    glyph->originX = static_cast<float>(-metrics.gmptGlyphOrigin.x);
    glyph->originY = static_cast<float>(height - metrics.gmptGlyphOrigin.y);
    glyph->advance = static_cast<float>(metrics.gmCellIncX);
    glyph->bits = font->bits.data();
    return 1;
}

void platformFontClose(PlatformFont* font) {
    if (font == nullptr) return;
    if (font->font != nullptr) {
        SelectObject(font->dc, font->previous);
        DeleteObject(font->font);
    }
    if (font->dc != nullptr) DeleteDC(font->dc);
    delete font;
}
