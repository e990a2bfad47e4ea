// Glyph bitmaps for the text font: fontconfig picks the face, FreeType
// renders each character as a 1-bit bitmap.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

struct PlatformFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool embolden = false;      // fontconfig asks for synthetic bold
    std::vector<uint8_t> bits;  // the last glyph's rows, top to bottom
};

namespace {

struct FontFile {
    std::string path;
    int index = 0;
    bool embolden = false;
};

// Asks fontconfig for `family` at this size and weight. With
// `requireFamily`, succeeds only when the match really is that family
// (fontconfig otherwise answers with whatever it likes best).
bool fontFind(const char* family, int pixelHeight, int bold, bool requireFamily, FontFile* found) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelHeight);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool ok = true;
    if (requireFamily) {
        FcChar8* matchedFamily = nullptr;
        ok = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
             FcStrCmpIgnoreCase(matchedFamily, reinterpret_cast<const FcChar8*>(family)) == 0;
    }
    FcChar8* file = nullptr;
    if (ok && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        found->path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found->index = index;
        FcBool embolden = FcFalse;
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
            found->embolden = embolden == FcTrue;
    } else {
        ok = false;
    }
    FcPatternDestroy(match);
    return ok;
}

}  // namespace

PlatformFont* platformFontOpen(const char* faceName, int pixelHeight, int bold) {
    if (pixelHeight <= 0 || !FcInit()) return nullptr;

    // The face asked for when the system has it; otherwise a bold monospace
    // face keeps the digits of the frame rate from jumping about.
    FontFile file;
    bool found = faceName && faceName[0] && fontFind(faceName, pixelHeight, bold, true, &file);
    if (!found) found = fontFind("monospace", pixelHeight, bold, false, &file);
    if (!found) return nullptr;

    PlatformFont* font = new PlatformFont;
    font->embolden = file.embolden;
    if (FT_Init_FreeType(&font->library) != 0) {
        font->library = nullptr;
        platformFontClose(font);
        return nullptr;
    }
    if (FT_New_Face(font->library, file.path.c_str(), file.index, &font->face) != 0) {
        font->face = nullptr;
        platformFontClose(font);
        return nullptr;
    }
    FT_Select_Charmap(font->face, FT_ENCODING_UNICODE);
    // The height is the em height, as a negative height asks of the Windows
    // font mapper.
    if (FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        platformFontClose(font);
        return nullptr;
    }
    return font;
}

int platformFontGlyph(PlatformFont* font, unsigned int character, PlatformGlyph* glyph) {
    if (!font || !font->face || !glyph) return 0;
    FT_Face face = font->face;
    FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0) return 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return 0;
    FT_GlyphSlot slot = face->glyph;
    if (font->embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // The same strength fontconfig's own clients use for synthetic bold.
        FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
        return 0;

    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.rows > 0 && bitmap.width > 0) return 0;

    int width = static_cast<int>(bitmap.width);
    int height = static_cast<int>(bitmap.rows);
    int pitch = (width + 7) / 8;
    font->bits.assign(static_cast<size_t>(pitch) * height + 1, 0);
    int sourcePitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < height; ++row) {
        // A negative pitch means FreeType keeps the rows bottom to top.
        int sourceRow = bitmap.pitch < 0 ? height - 1 - row : row;
        std::memcpy(&font->bits[static_cast<size_t>(row) * pitch],
                    bitmap.buffer + static_cast<size_t>(sourceRow) * sourcePitch,
                    static_cast<size_t>(pitch));
    }

    glyph->width = width;
    glyph->height = height;
    glyph->pitch = pitch;
    glyph->originX = static_cast<float>(-slot->bitmap_left);
    glyph->originY = static_cast<float>(height - slot->bitmap_top);
    glyph->advance = static_cast<float>(slot->advance.x) / 64.0f;
    glyph->bits = font->bits.data();
    return 1;
}

void platformFontClose(PlatformFont* font) {
    if (!font) return;
    if (font->face) FT_Done_Face(font->face);
    if (font->library) FT_Done_FreeType(font->library);
    delete font;
}
