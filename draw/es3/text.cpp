// The es3 renderer's glyphs: all of them side by side in one texture of
// one byte a texel, and each drawn as a quad of whole pixels where GL 1.1
// would have put its bitmap: its lower left corner at the raster position
// less the glyph's origin, rounded down, at the raster position's depth and
// in its colour.
#include <algorithm>
#include <cmath>

#include "draw/es3.h"

namespace {

struct Glyph {
    bool defined;
    int width, height;
    float originX, originY, advance;
    int atlasX;  // where its columns begin in the texture
    std::vector<uint8_t> texels;  // one byte a bit, rows top to bottom
};

struct Glyphs {
    uint32_t first;  // the first slot's number; slot numbers begin at 1
    std::vector<Glyph> slots;
    GLuint texture;
    int atlasWidth, atlasHeight;
};

Glyphs glyphs{};
const float nudge = 1e-4f;

Glyph* slotAt(uint32_t slot) {
    const uint32_t index = slot - glyphs.first;
    return glyphs.first != 0 && index < glyphs.slots.size() ? &glyphs.slots[index] : nullptr;
}

void define(uint32_t slot, const DrawGlyph* from) {
    Glyph* glyph = slotAt(slot);
    if (glyph == nullptr) return;
    *glyph = Glyph{};
    if (from == nullptr) return;
    glyph->defined = true;
    glyph->originX = from->originX, glyph->originY = from->originY, glyph->advance = from->advance;
    if (from->bits == nullptr || from->width <= 0 || from->height <= 0 || from->pitch * 8 < from->width) {
        return;  // moves the pen, draws nothing
    }
    glyph->width = from->width, glyph->height = from->height;
    glyph->texels.resize(static_cast<size_t>(from->width) * from->height);
    for (int row = 0; row < from->height; ++row)
        for (int column = 0; column < from->width; ++column) {
            const uint8_t byte = from->bits[static_cast<size_t>(row) * from->pitch + column / 8];
            glyph->texels[static_cast<size_t>(row) * from->width + column] =
                (byte & (0x80 >> (column % 8))) ? 255 : 0;
        }
}

// Packs the glyphs into one row of the texture, a column of space between
// each two, and sends it.
void upload() {
    glyphs.atlasWidth = 1, glyphs.atlasHeight = 1;
    for (Glyph& glyph : glyphs.slots) {
        glyph.atlasX = glyphs.atlasWidth;
        glyphs.atlasWidth += glyph.width + 1;
        glyphs.atlasHeight = std::max(glyphs.atlasHeight, glyph.height);
    }
    std::vector<uint8_t> atlas(static_cast<size_t>(glyphs.atlasWidth) * glyphs.atlasHeight, 0);
    for (const Glyph& glyph : glyphs.slots)
        for (int row = 0; row < glyph.height; ++row)
            std::copy_n(&glyph.texels[static_cast<size_t>(row) * glyph.width], glyph.width,
                        &atlas[static_cast<size_t>(row) * glyphs.atlasWidth + glyph.atlasX]);
    if (glyphs.texture == 0) glGenTextures(1, &glyphs.texture);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, glyphs.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, glyphs.atlasWidth, glyphs.atlasHeight, 0, GL_RED,
                 GL_UNSIGNED_BYTE, atlas.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    for (Glyph& glyph : glyphs.slots) std::vector<uint8_t>().swap(glyph.texels);
}

void drawText(uint32_t base, int count, const uint8_t* bytes) {
    if (!es3.rasterValid || glyphs.texture == 0) return;
    es3Flush();
    std::vector<Es3Vertex> quads;
    const float* c = es3.rasterColour;
    const float depth = es3.raster[2] * 2.0f - 1.0f;
    const int* v = es3.viewport;
    for (int i = 0; i < count; ++i) {
        const Glyph* glyph = slotAt(base + bytes[i]);
        if (glyph == nullptr || !glyph->defined) continue;
        if (glyph->width > 0) {
            // Window pixels to clip space, and texels to texture space. A
            // position a rounding error short of a whole pixel, as the
            // frame rate's is, counts as that pixel.
            const float left = std::floor(es3.raster[0] + nudge - glyph->originX);
            const float bottom = std::floor(es3.raster[1] + nudge - glyph->originY);
            const float x0 = (left - v[0]) * 2.0f / v[2] - 1.0f;
            const float x1 = (left + glyph->width - v[0]) * 2.0f / v[2] - 1.0f;
            const float y0 = (bottom - v[1]) * 2.0f / v[3] - 1.0f;
            const float y1 = (bottom + glyph->height - v[1]) * 2.0f / v[3] - 1.0f;
            const float s0 = static_cast<float>(glyph->atlasX) / glyphs.atlasWidth;
            const float s1 = static_cast<float>(glyph->atlasX + glyph->width) / glyphs.atlasWidth;
            const float t1 = static_cast<float>(glyph->height) / glyphs.atlasHeight;
            // The texture's first row is the glyph's top one.
            const Es3Vertex corners[4] = {{x0, y0, depth, s0, t1, c[0], c[1], c[2], c[3]},
                                          {x1, y0, depth, s1, t1, c[0], c[1], c[2], c[3]},
                                          {x1, y1, depth, s1, 0, c[0], c[1], c[2], c[3]},
                                          {x0, y1, depth, s0, 0, c[0], c[1], c[2], c[3]}};
            for (int k : {0, 1, 2, 0, 2, 3}) quads.push_back(corners[k]);
        }
        es3.raster[0] += glyph->advance;
    }
    if (quads.empty()) return;
    // A bitmap is never culled, whichever way the quads wind.
    GLboolean culling = glIsEnabled(GL_CULL_FACE);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, glyphs.texture);
    es3DrawTriangles(quads.data(), static_cast<int>(quads.size()), es3Glyph, matrixIdentity());
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture);
    if (culling) glEnable(GL_CULL_FACE);
}

}  // namespace

void es3TextDestroy() {
    if (glyphs.texture != 0) glDeleteTextures(1, &glyphs.texture);
    glyphs = Glyphs{};
}

void es3FillText(DrawBackend& b) {
    b.glyphsCreate = [](int count) {
        es3TextDestroy();
        if (count <= 0) return 0u;
        glyphs.first = 1;
        glyphs.slots.assign(static_cast<size_t>(count), Glyph{});
        return glyphs.first;
    };
    b.glyphsDelete = [](uint32_t first, int) {
        if (first == glyphs.first) es3TextDestroy();
    };
    b.glyphsBegin = [] {};
    b.glyphDefine = define;
    b.glyphsEnd = [] {
        es3Flush();
        if (!glyphs.slots.empty()) upload();
    };
    b.glyphs = drawText;
}
