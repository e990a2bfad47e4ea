// The es3 renderer's glyphs: all of them packed into one texture of one
// byte a texel, and each drawn as a quad of whole pixels where GL 1.1 would
// have put its bitmap: its lower left corner at the raster position less the
// glyph's origin, rounded down, at the raster position's depth and in its
// colour.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "draw/es3/es3.h"

namespace {

struct Glyph {
    bool defined;
    int width, height;
    float originX, originY, advance;
    int atlasX, atlasY;           // its top left texel in the texture
    std::vector<uint8_t> texels;  // one byte a bit, rows top to bottom
};

struct Glyphs {
    uint32_t first;  // the first slot's number; slot numbers begin at 1
    std::vector<Glyph> slots;
    GLuint texture;
    int atlasWidth, atlasHeight;
};

Glyphs glyphs{};
// A raster position a rounding error short of a whole pixel, as the frame
// rate's is, counts as that pixel.
const double nudge = 1e-4;

Glyph* slotAt(uint32_t slot) {
    const uint32_t index = slot - glyphs.first;
    return glyphs.first != 0 && index < glyphs.slots.size() ? &glyphs.slots[index] : nullptr;
}

// Places the glyphs in rows of at most `largest` texels, a texel of space
// around each; the atlas's size, or 0 x 0 where a glyph is wider than a row
// or the rows are taller than `largest`.
void pack(int largest) {
    int x = 1, y = 1, rowHeight = 0, width = 1;
    for (Glyph& glyph : glyphs.slots) {
        if (glyph.width + 2 > largest) return void(glyphs.atlasWidth = glyphs.atlasHeight = 0);
        if (x + glyph.width + 1 > largest) x = 1, y += rowHeight + 1, rowHeight = 0;
        glyph.atlasX = x, glyph.atlasY = y;
        x += glyph.width + 1;
        rowHeight = std::max(rowHeight, glyph.height);
        width = std::max(width, x);
    }
    glyphs.atlasWidth = width;
    glyphs.atlasHeight = y + rowHeight + 1;
    if (glyphs.atlasHeight > largest) glyphs.atlasWidth = glyphs.atlasHeight = 0;
}

// Packs the glyphs into the texture and sends it; without a texture the
// text is not drawn: 0, with `why`.
int upload(char* why, int whySize) {
    GLint largest = 0, alignment = 4;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    pack(largest);
    if (glyphs.atlasWidth == 0) {
        drawExplain(why, whySize,
                    "the frame rate's glyphs do not fit into the largest texture this OpenGL ES "
                    "makes: the frame rate is not shown");
        return 0;
    }
    std::vector<uint8_t> atlas(static_cast<size_t>(glyphs.atlasWidth) * glyphs.atlasHeight, 0);
    for (const Glyph& glyph : glyphs.slots)
        for (int row = 0; row < glyph.height; ++row)
            std::copy_n(
                &glyph.texels[static_cast<size_t>(row) * glyph.width], glyph.width,
                &atlas[static_cast<size_t>(glyph.atlasY + row) * glyphs.atlasWidth + glyph.atlasX]);
    if (glyphs.texture == 0) glGenTextures(1, &glyphs.texture);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, glyphs.texture);
    commonErrorsClear(es3Gl);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, glyphs.atlasWidth, glyphs.atlasHeight, 0, GL_RED,
                 GL_UNSIGNED_BYTE, atlas.data());
    const GLenum error = glGetError();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    es3TextureRebind();
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    for (Glyph& glyph : glyphs.slots) std::vector<uint8_t>().swap(glyph.texels);
    if (error == GL_NO_ERROR) return 1;
    char reason[160];
    std::snprintf(reason, sizeof reason,
                  "the frame rate's glyphs (%d x %d) cannot be uploaded: "
                  "GL error 0x%04X; the frame rate is not shown",
                  glyphs.atlasWidth, glyphs.atlasHeight, error);
    drawExplain(why, whySize, reason);
    glDeleteTextures(1, &glyphs.texture);
    glyphs.texture = 0;
    return 0;
}

}  // namespace

void es3TextDestroy() {
    if (glyphs.texture != 0) glDeleteTextures(1, &glyphs.texture);
    glyphs = Glyphs{};
}

uint32_t es3GlyphsCreate(int count) {
    es3TextDestroy();
    if (count <= 0) return 0u;
    glyphs.first = 1;
    glyphs.slots.assign(static_cast<size_t>(count), Glyph{});
    return glyphs.first;
}

void es3GlyphsDelete(uint32_t first, int) {
    if (first == glyphs.first) es3TextDestroy();
}

void es3GlyphsBegin() {}

void es3GlyphDefine(uint32_t slot, const DrawGlyph* from) {
    Glyph* glyph = slotAt(slot);
    if (glyph == nullptr) return;
    *glyph = Glyph{};
    if (from == nullptr) return;
    glyph->defined = true;
    glyph->originX = from->originX, glyph->originY = from->originY, glyph->advance = from->advance;
    if (from->bits == nullptr || from->width <= 0 || from->height <= 0 ||
        from->pitch * 8 < from->width) {
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

int es3GlyphsEnd(char* why, int whySize) {
    es3BatchFlush();
    return glyphs.slots.empty() ? 1 : upload(why, whySize);
}

void es3Glyphs(uint32_t base, int count, const uint8_t* bytes) {
    if (!es3.rasterValid || glyphs.texture == 0) return;
    es3BatchFlush();
    std::vector<Es3Vertex> quads;
    const float* c = es3.rasterColour;
    const float depth = static_cast<float>(es3.raster[2] * 2.0 - 1.0);
    const int* v = es3.viewport;
    const float atlasWidth = static_cast<float>(glyphs.atlasWidth);
    const float atlasHeight = static_cast<float>(glyphs.atlasHeight);
    for (int i = 0; i < count; ++i) {
        const Glyph* glyph = slotAt(base + bytes[i]);
        if (glyph == nullptr || !glyph->defined) continue;
        if (glyph->width > 0) {
            // Window pixels to clip space, and texels to texture space.
            const double left = std::floor(es3.raster[0] + nudge - glyph->originX);
            const double bottom = std::floor(es3.raster[1] + nudge - glyph->originY);
            const float x0 = static_cast<float>((left - v[0]) * 2.0 / v[2] - 1.0);
            const float x1 = static_cast<float>((left + glyph->width - v[0]) * 2.0 / v[2] - 1.0);
            const float y0 = static_cast<float>((bottom - v[1]) * 2.0 / v[3] - 1.0);
            const float y1 = static_cast<float>((bottom + glyph->height - v[1]) * 2.0 / v[3] - 1.0);
            const float s0 = glyph->atlasX / atlasWidth;
            const float s1 = (glyph->atlasX + glyph->width) / atlasWidth;
            // The texture's rows run top to bottom, as the glyph's do.
            const float t0 = glyph->atlasY / atlasHeight;
            const float t1 = (glyph->atlasY + glyph->height) / atlasHeight;
            const Es3Vertex corners[4] = {{x0, y0, depth, s0, t1, c[0], c[1], c[2], c[3]},
                                          {x1, y0, depth, s1, t1, c[0], c[1], c[2], c[3]},
                                          {x1, y1, depth, s1, t0, c[0], c[1], c[2], c[3]},
                                          {x0, y1, depth, s0, t0, c[0], c[1], c[2], c[3]}};
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
    es3TextureRebind();
    if (culling) glEnable(GL_CULL_FACE);
}
