// The program's drawing vocabulary: everything a frame asks of the graphics
// library, in the program's own terms, as immediate-mode calls that stand
// for GL's own; the counted frame's composition is its other part
// (draw/compose.h). Two renderers speak it:
//   gl1 - OpenGL 1.1's fixed pipeline, call for call (draw/gl1/)
//   es3 - OpenGL ES 3.0 (and WebGL 2): the vertices batched into a buffer
//         and drawn with a few small shaders (draw/es3/)
// One of them serves the current rendering context; drawStart picks it.
// Nothing above this header includes a GL header.
#pragma once

#include <cstdint>

enum DrawRenderer : int {
    drawRendererGl1 = 0,
    drawRendererEs3 = 1,
};

// The renderer the user asks for: the option's value where one was given
// (--renderer), else TENEBREL_GL; es3 or gl1, and unset or empty means the
// build's default. Any other value, or a renderer this build lacks, gives
// one warning line and the default.
DrawRenderer drawRendererRequested(const char* option);
// 1 when this build has the renderer at all.
int drawRendererBuilt(DrawRenderer renderer);
// A window is drawn with the renderer asked for where it can be had:
//   drawContextPrepare tells the system layer which kind of rendering
//     context the renderer draws in, for the window made next; 0 with `why`
//     (at least 160 bytes) where the system makes none of that kind;
//   drawStart starts it in the context made and current; 0 with `why`
//     saying what the context lacks, and nothing made; 1 with `why` empty,
//     or saying what the renderer does instead of what the context lacks;
//   drawFallBack, after either failed for the reason `why`, moves
//     `renderer` on to the one that draws instead and says so in one line;
//     0 where none is left.
int drawContextPrepare(DrawRenderer renderer, char* why, int whySize);
int drawStart(DrawRenderer renderer, char* why, int whySize);
int drawFallBack(DrawRenderer* renderer, const char* why);
// Releases what the renderer made; the context must still be current.
void drawStop();
DrawRenderer drawRendererInUse();

// ---------------------------------------------------------------- vertices
enum DrawPrimitive : int {
    drawTriangleStrip = 0,
    drawLines = 1,
};

void drawBegin(DrawPrimitive primitive);
void drawEnd();
void drawVertex3f(float x, float y, float z);
void drawTexCoord2i(int s, int t);
void drawColor3f(float red, float green, float blue);
void drawColor4f(float red, float green, float blue, float alpha);
void drawNormal3f(float x, float y, float z);

// ---------------------------------------------------------------- matrices
enum DrawMatrix : int {
    drawModelView = 0,
    drawProjection = 1,
};

void drawMatrixMode(DrawMatrix matrix);
void drawLoadIdentity();
void drawPushMatrix();
void drawPopMatrix();
void drawTranslatef(float x, float y, float z);
// A perspective with a vertical field of view in degrees.
void drawPerspective(double fovY, double aspect, double zNear, double zFar);
void drawLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                double centreZ, double upX, double upY, double upZ);
void drawViewport(int x, int y, int width, int height);
// The rectangle drawing keeps to while drawScissorTest is on, in window
// pixels from the lower left.
void drawScissor(int x, int y, int width, int height);
// The matrix as it is applied, column by column.
void drawGetMatrix(DrawMatrix matrix, double values[16]);
// x, y, width, height.
void drawGetViewport(int values[4]);
// The depth buffer's bits.
int drawDepthBits();

// ---------------------------------------------------------------- states
enum DrawCapability : int {
    drawDepthTest = 0,
    drawStencilTest,
    drawCulling,
    drawBlending,  // with GL's initial factors: the source replaces
    drawTexturing,
    drawLighting,  // colours the raster position only: no primitive is lit
    drawLight0,
    drawDepthClamp,
    drawScissorTest,  // drawing only within the scissor rectangle
};

enum DrawCompare : int {
    drawNever = 0,
    drawLess,
    drawEqual,
    drawLessOrEqual,
    drawGreater,
    drawNotEqual,
    drawGreaterOrEqual,
    drawAlways,
};

enum DrawStencilAction : int {
    drawKeep = 0,
    drawIncrement,  // up to the largest count, no further
    drawDecrement,  // down to 0, no further
    drawReplace,
    drawInvert,  // every bit the stencil mask lets through turned over
    drawZero,
};

enum DrawWinding : int {
    drawClockwise = 0,
    drawCounterClockwise = 1,
};

void drawEnable(DrawCapability capability);
void drawDisable(DrawCapability capability);
void drawDepthFunc(DrawCompare compare);
void drawDepthMask(int write);
void drawStencilFunc(DrawCompare compare, int reference, uint32_t mask);
void drawStencilOp(DrawStencilAction stencilFails, DrawStencilAction depthFails,
                   DrawStencilAction passes);
void drawStencilMask(uint32_t mask);
void drawColorMask(int red, int green, int blue, int alpha);
void drawFrontFace(DrawWinding winding);
// Colours interpolated across primitives, texture coordinates corrected for
// perspective, and texels times the colour: what es3's shaders always do.
void drawSmoothShading();
void drawNicestPerspective();
void drawTextureModulates();
// 1 when depth clamping is there to be enabled: a far light's far cap then
// stays whole beyond the far plane.
int drawDepthClampAvailable();

// ---------------------------------------------------------------- clears
enum : uint32_t {
    drawColourBuffer = 1,
    drawDepthBuffer = 2,
    drawStencilBuffer = 4,
    drawAccumBuffer = 8,
};

void drawClear(uint32_t buffers);
void drawClearColor(float red, float green, float blue, float alpha);
// Red, green, blue and alpha.
void drawGetClearColor(float values[4]);
void drawClearDepth(double depth);
void drawClearStencil(int value);
// Hands everything asked so far to the GPU, without waiting for it.
void drawFlush();

// ---------------------------------------------------------------- light
// Light 0's position, transformed by the current model-view matrix as GL
// does; and its specular colour.
void drawLightPosition(const float position[4]);
void drawLightSpecular(const float colour[4]);

// ---------------------------------------------------------------- textures
// Makes a texture name, 0 when none can be had.
uint32_t drawTextureCreate();
void drawTextureBind(uint32_t texture);
void drawTextureDelete(uint32_t texture);
// The bound texture's picture with all its mip levels, from tightly packed
// 24-bit rows (red, green, blue; the first row at t = 0). A side that is not
// a power of two is first fitted to the nearest one, within the largest
// texture the context takes. Both renderers hold the same texels.
// 0 with `why` where the driver cannot take the picture: the texture then
// has no texels and the surfaces show untextured.
int drawTextureMipmaps(int width, int height, const uint8_t* rgb, char* why, int whySize);
// Minification blends the two nearest levels, each sampled bilinearly.
void drawTextureTrilinear();

// ---------------------------------------------------------------- glyphs
// A glyph as the font hands it over: 1-bit rows top to bottom, `pitch`
// bytes each, most significant bit leftmost; (originX, originY) is the pen
// relative to the bitmap's bottom-left corner.
struct DrawGlyph {
    int width, height, pitch;
    float originX, originY, advance;
    const uint8_t* bits;
};

// Makes `count` consecutive glyph slots; returns the first, 0 when none.
uint32_t drawGlyphsCreate(int count);
void drawGlyphsDelete(uint32_t first, int count);
// Glyphs are defined between these two; a null glyph leaves the slot empty.
void drawGlyphsBegin();
void drawGlyphDefine(uint32_t slot, const DrawGlyph* glyph);
// 0 with `why` where the glyphs cannot be kept: then they draw nothing.
int drawGlyphsEnd(char* why, int whySize);
// The raster position the next glyphs are drawn from: a point through the
// current matrices, in the current colour, or lit by light 0 with the
// current normal where lighting is on.
void drawRasterPos2f(float x, float y);
// Draws the glyphs in slots base + bytes[i] from the raster position on,
// each moving it on by its advance.
void drawGlyphs(uint32_t base, int count, const uint8_t* bytes);

// ---------------------------------------------------------------- the driver
enum DrawDriverText : int {
    drawDriverVendor = 0,
    drawDriverRenderer = 1,
};
// Who made the current context's GL driver, and what it calls itself (in
// a browser, the graphics card's names where it gives them); never null.
const char* drawDriverString(DrawDriverText which);

// ---------------------------------------------------------------- blending
// What blending does with the fragment's colour: replaces the pixel's (GL's
// initial factors), or is added to it, each channel stopping at its most.
// Or mixed with it by the fragment's alpha.
enum DrawBlend : int {
    drawBlendReplace = 0,
    drawBlendAdd = 1,
    drawBlendAlpha = 2,
};
void drawBlendFunc(DrawBlend blend);

// ---------------------------------------------------------------- accumulation buffer
// Where the framebuffer has one: its bits per channel (0 for none), and
// GL_ACCUM and GL_RETURN.
int drawAccumBits();
void drawAccumAdd(float weight);
void drawAccumReturn(float value);
