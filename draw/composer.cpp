#include "draw/composer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

// Which of a count texel's components holds each kind of pass, from the
// channels' one home (draw/compose.h).
const char* channelNames() {
    static char text[96];
    const char letters[] = "rgb";
    std::snprintf(text, sizeof text, "#define SHADOW %c\n#define MARKER %c\n#define RAYS %c\n",
                  letters[drawCountShadow], letters[drawCountMarker], letters[drawCountRays]);
    return text;
}

// Per channel: n.SHADOW passes in shadow, n.MARKER showing the marker's
// colour, n.RAYS the rays', and the rest the kept picture; outside where
// the counts were kept, all passes the kept picture. Each pass's share
// is what the accumulation buffer adds for its colour (truncated toward
// zero); the sum comes back times 1 / its scale and the window rounds it.
// The room in shadow is the lit texel times the tint, rounded to the
// window's step as its drawing would be. Compiled with UNCOUNTED, for
// where no counts were kept, it fetches none: every pass the kept picture,
// passes x its share, the very sum the counting program makes there with
// every count 0, each of its terms a whole number (to the bit). Compiled
// with PALETTE, it shows the count view instead, and the frame's own
// programs have none of it.
const char* const fragmentBody =
    "uniform vec3 levels, marker, rays;\n"
    "uniform vec4 kept;\n"
    "uniform float tint, passes, addScale, returnScale;\n"
    "vec3 share(vec3 colour) { return floor(colour * addScale); }\n"
    "vec3 passesCounted() {\n"
    "    bool counted = all(greaterThanEqual(gl_FragCoord.xy, kept.xy))\n"
    "        && all(lessThan(gl_FragCoord.xy, kept.zw));\n"
    "    return counted ? floor(FETCH(counts).rgb * levels + 0.5) : vec3(0.0);\n"
    "}\n"
    "void main() {\n"
    "#ifdef PALETTE\n"
    "    COLOUR_OUT = vec4(palette(passesCounted().SHADOW / passes), 1.0);\n"
    "#else\n"
    "    vec3 lit = FETCH(base).rgb;\n"
    "#ifdef UNCOUNTED\n"
    "    vec3 sum = passes * share(lit);\n"
    "#else\n"
    "    vec3 n = passesCounted();\n"
    "    vec3 dark = floor(lit * levels * tint + 0.5) / levels;\n"
    "    vec3 sum = n.SHADOW * share(dark) + (passes - n.SHADOW - n.MARKER - n.RAYS) * share(lit)\n"
    "        + n.MARKER * share(marker) + n.RAYS * share(rays);\n"
    "#endif\n"
    "    COLOUR_OUT = vec4(sum * returnScale, 1.0);\n"
    "#endif\n"
    "}\n";

// The count view's palette, from its one home, as GLSL: palette(t) blends
// the two colours t lies between, as a chain of blends each of which is
// whole below t's part and nothing above it: the same colours as indexing
// the stops, without an array, which a software rasteriser indexes slowly.
const char* paletteSource() {
    static char text[720];
    const float(&stops)[drawCountPaletteSize][3] = drawCountPalette;
    int at = std::snprintf(text, sizeof text,
                           "vec3 palette(float t) {\n"
                           "    float f = clamp(t, 0.0, 1.0) * %d.0;\n"
                           "    vec3 c = vec3(%.6f, %.6f, %.6f);\n",
                           drawCountPaletteSize - 1, stops[0][0], stops[0][1], stops[0][2]);
    for (int i = 1; i < drawCountPaletteSize; ++i)
        at += std::snprintf(text + at, sizeof text - at,
                            "    c = mix(c, vec3(%.6f, %.6f, %.6f), clamp(f - %d.0, 0.0, 1.0));\n",
                            stops[i][0], stops[i][1], stops[i][2], i - 1);
    std::snprintf(text + at, sizeof text - at, "    return c;\n}\n");
    return text;
}

// The uniforms besides the samplers, worked out in single precision, as the
// accumulation buffer works out its factors.
void uniformsSet(const Composer& composer, const CommonGl& gl, unsigned p,
                 const DrawComposition& c) {
    float levels[3];
    for (int i = 0; i < 3; ++i) levels[i] = std::round(1.0f / composerStep(composer.bits[i]));
    gl.useProgram(p);
    gl.uniform1i(gl.getUniformLocation(p, "base"), 0);
    gl.uniform1i(gl.getUniformLocation(p, "counts"), 1);
    gl.uniform3fv(gl.getUniformLocation(p, "levels"), 1, levels);
    gl.uniform3fv(gl.getUniformLocation(p, "marker"), 1, c.marker);
    gl.uniform3fv(gl.getUniformLocation(p, "rays"), 1, c.rays);
    gl.uniform1f(gl.getUniformLocation(p, "tint"), c.shadowTint);
    gl.uniform1f(gl.getUniformLocation(p, "returnScale"), 1.0f / drawAccumScale);
    gl.useProgram(0);
}

// The program, with the frame's passes and weight and where the counts
// were kept.
void programUse(const Composer& composer, const CommonGl& gl, ComposerProgram which, int passes,
                float weight) {
    const unsigned p = composer.programs[which];
    gl.useProgram(p);
    const int* k = composer.kept;
    gl.uniform4f(gl.getUniformLocation(p, "kept"), float(k[0]), float(k[1]), float(k[2]),
                 float(k[3]));
    gl.uniform1f(gl.getUniformLocation(p, "passes"), static_cast<float>(passes));
    // In single precision, as the accumulation buffer works out its factor.
    gl.uniform1f(gl.getUniformLocation(p, "addScale"), weight * drawAccumScale);
}

// A program and the rectangle of window pixels it composes: x0, y0, x1, y1.
struct Piece {
    ComposerProgram program;
    int box[4];
};

// Where each program composes the frame: the one that counts where the
// counts were kept, the one that fetches none in the strips of the viewport
// around them (below, above, left, right), each pixel in one piece alone;
// a single piece where either covers the whole viewport. How many.
int framePieces(const int kept[4], const int viewport[4], Piece pieces[5]) {
    const int v[4] = {viewport[0], viewport[1], viewport[0] + viewport[2],
                      viewport[1] + viewport[3]};
    int k[4];
    for (int i = 0; i < 4; ++i) k[i] = std::min(std::max(kept[i], v[i % 2]), v[2 + i % 2]);
    if (k[0] >= k[2] || k[1] >= k[3]) {
        pieces[0] = Piece{composerUncounted, {v[0], v[1], v[2], v[3]}};
        return 1;
    }
    pieces[0] = Piece{composerFrame, {k[0], k[1], k[2], k[3]}};
    const Piece strips[4] = {{composerUncounted, {v[0], v[1], v[2], k[1]}},
                             {composerUncounted, {v[0], k[3], v[2], v[3]}},
                             {composerUncounted, {v[0], k[1], k[0], k[3]}},
                             {composerUncounted, {k[2], k[1], v[2], k[3]}}};
    int count = 1;
    for (const Piece& strip : strips)
        if (strip.box[0] < strip.box[2] && strip.box[1] < strip.box[3]) pieces[count++] = strip;
    return count;
}

void picturesRelease(Composer& composer, const CommonGl& gl) {
    for (unsigned* texture : {&composer.base, &composer.counts})
        if (*texture != 0) gl.deleteTextures(1, texture), *texture = 0;
    composer.width = composer.height = 0;
}

void explain(char* why, int whySize, const char* reason) {
    if (why != nullptr && whySize > 0)
        std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
}

}  // namespace

int composerWindowCheck(Composer& composer, const CommonGl& gl, char* why, int whySize) {
    const unsigned names[4] = {commonGlRedBits, commonGlGreenBits, commonGlBlueBits,
                               commonGlAlphaBits};
    for (int i = 0; i < 4; ++i) gl.getIntegerv(names[i], &composer.bits[i]);
    int stencil = 0;
    gl.getIntegerv(commonGlStencilBits, &stencil);
    if (stencil >= drawCountStencilBits) return 1;
    char reason[96];
    std::snprintf(reason, sizeof reason, "the window's stencil buffer has fewer than %d bits",
                  drawCountStencilBits);
    explain(why, whySize, reason);
    return 0;
}

int composerProgramMake(Composer& composer, const CommonGl& gl, int vertexCount,
                        const char* const* vertexParts, int headCount,
                        const char* const* fragmentHead, const DrawComposition& composition,
                        char* why, int whySize) {
    for (int which = 0; which < composerProgramCount; ++which) {
        const char* parts[9];
        int count = 0;
        for (int i = 0; i < headCount && count < 5; ++i) parts[count++] = fragmentHead[i];
        parts[count++] = channelNames();
        if (which == composerUncounted) parts[count++] = "#define UNCOUNTED\n";
        if (which == composerPalette) {
            parts[count++] = "#define PALETTE\n";
            parts[count++] = paletteSource();
        }
        parts[count++] = fragmentBody;
        const unsigned p = commonProgram(gl, "the composing shader", vertexCount, vertexParts,
                                         count, parts, why, whySize);
        if (p == 0) return 0;
        uniformsSet(composer, gl, composer.programs[which] = p, composition);
    }
    return 1;
}

int composerPicturesFollow(Composer& composer, const CommonGl& gl, int width, int height,
                           int largest, char* why, int whySize) {
    if (width <= 0 || height <= 0) return 1;
    if (width == composer.width && height == composer.height) return 1;
    picturesRelease(composer, gl);
    if (width > largest || height > largest)
        return explain(why, whySize, "the window is larger than a texture can be"), 0;
    commonErrorsClear(gl);
    for (unsigned* texture : {&composer.base, &composer.counts}) {
        gl.genTextures(1, texture);
        gl.bindTexture(composer.target, *texture);
        gl.texParameteri(composer.target, commonGlMinFilter, commonGlNearest);
        gl.texParameteri(composer.target, commonGlMagFilter, commonGlNearest);
        gl.texParameteri(composer.target, commonGlWrapS, commonGlClampToEdge);
        gl.texParameteri(composer.target, commonGlWrapT, commonGlClampToEdge);
        gl.texImage2D(composer.target, 0, static_cast<int>(composer.format[0]), width, height, 0,
                      composer.format[1], composer.format[2], nullptr);
    }
    // Copied from the window every frame: tried once here.
    gl.copyTexSubImage2D(composer.target, 0, 0, 0, 0, 0, width, height);
    gl.bindTexture(composer.target, 0);
    if (!commonErrorsClear(gl)) {
        picturesRelease(composer, gl);
        return explain(why, whySize,
                       "the window's colour cannot be copied into a texture of this size"),
               0;
    }
    composer.width = width, composer.height = height;
    return 1;
}

void composerKeep(const Composer& composer, const CommonGl& gl, unsigned texture) {
    gl.bindTexture(composer.target, texture);
    gl.copyTexSubImage2D(composer.target, 0, 0, 0, 0, 0, composer.width, composer.height);
    gl.bindTexture(composer.target, 0);
}

void composerKeepCounts(Composer& composer, const CommonGl& gl, int x, int y, int width,
                        int height) {
    // Within the pictures; a copy of nothing keeps nothing.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + std::max(width, 0), composer.width);
    const int y1 = std::min(y + std::max(height, 0), composer.height);
    composer.kept[0] = x0, composer.kept[1] = y0;
    composer.kept[2] = std::max(x1, x0), composer.kept[3] = std::max(y1, y0);
    if (x1 <= x0 || y1 <= y0) return;
    gl.bindTexture(composer.target, composer.counts);
    gl.copyTexSubImage2D(composer.target, 0, x0, y0, x0, y0, x1 - x0, y1 - y0);
    gl.bindTexture(composer.target, 0);
}

void composerDraw(const Composer& composer, const CommonGl& gl, int passes, float weight,
                  DrawComposeShows shows, void (*quad)()) {
    gl.activeTexture(commonGlTexture1);
    gl.bindTexture(composer.target, composer.counts);
    gl.activeTexture(commonGlTexture0);
    gl.bindTexture(composer.target, composer.base);
    const unsigned char depthTest = gl.isEnabled(commonGlDepthTest);
    const unsigned char blend = gl.isEnabled(commonGlBlend);
    gl.disable(commonGlDepthTest);
    gl.disable(commonGlBlend);
    Piece pieces[5] = {{composerPalette, {}}};
    int viewport[4], box[4], count = 1;
    gl.getIntegerv(commonGlViewport, viewport);
    if (shows == drawComposeFrame) count = framePieces(composer.kept, viewport, pieces);
    const unsigned char scissorTest = gl.isEnabled(commonGlScissorTest);
    gl.getIntegerv(commonGlScissorBox, box);
    if (count > 1) gl.enable(commonGlScissorTest);
    for (int i = 0; i < count; ++i) {
        const int* r = pieces[i].box;
        if (i == 0 || pieces[i].program != pieces[i - 1].program)
            programUse(composer, gl, pieces[i].program, passes, weight);
        if (count > 1) gl.scissor(r[0], r[1], r[2] - r[0], r[3] - r[1]);
        quad();
    }
    if (count > 1) gl.scissor(box[0], box[1], box[2], box[3]);
    if (count > 1 && !scissorTest) gl.disable(commonGlScissorTest);
    if (depthTest) gl.enable(commonGlDepthTest);
    if (blend) gl.enable(commonGlBlend);
    gl.bindTexture(composer.target, 0);
    gl.activeTexture(commonGlTexture1);
    gl.bindTexture(composer.target, 0);
    gl.activeTexture(commonGlTexture0);
    gl.useProgram(0);
}

void composerDestroy(Composer& composer, const CommonGl& gl) {
    if (gl.deleteTextures != nullptr) picturesRelease(composer, gl);
    for (const unsigned program : composer.programs)
        if (program != 0) gl.deleteProgram(program);
    composer = Composer{};
}

void drawCountColour(float t, float rgb[3]) {
    const float f = std::min(std::max(t, 0.0f), 1.0f) * (drawCountPaletteSize - 1);
    const int i = std::min(static_cast<int>(f), drawCountPaletteSize - 2);
    for (int c = 0; c < 3; ++c)
        rgb[c] = drawCountPalette[i][c] +
                 (drawCountPalette[i + 1][c] - drawCountPalette[i][c]) * (f - i);
}

void composerColourSteps(const CommonGl& gl, float steps[3]) {
    const unsigned names[3] = {commonGlRedBits, commonGlGreenBits, commonGlBlueBits};
    for (int i = 0; i < 3; ++i) {
        int bits = 0;
        gl.getIntegerv(names[i], &bits);
        steps[i] = composerStep(bits);
    }
}

float composerStep(int bits) {
    // A channel the driver does not describe is taken to have eight bits.
    return 1.0f / static_cast<float>((1 << (bits > 0 && bits < 16 ? bits : 8)) - 1);
}
