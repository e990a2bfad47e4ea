// What a renderer is to the vocabulary: one function for each call of
// draw/draw.h and draw/compose.h, named after the call with the renderer's
// prefix (gl1Begin, es3Begin for drawBegin), gathered into a table that
// draw/draw.cpp hands each call to. The lists below are the one place that
// names the renderers' functions; the table and each renderer's
// declarations are made from them, so a renderer that lacks one fails to
// link, naming it. Only draw/ sees this.
#pragma once

#include "draw/compose.h"
#include "draw/draw.h"

// X(result, Name, (parameters), (arguments)) for every call of the
// vocabulary that stands for GL's own.
// clang-format off
#define DRAW_CALLS(X)                                                                           \
    X(void, Begin, (DrawPrimitive primitive), (primitive))                                      \
    X(void, End, (), ())                                                                        \
    X(void, Vertex3f, (float x, float y, float z), (x, y, z))                                   \
    X(void, TexCoord2i, (int s, int t), (s, t))                                                 \
    X(void, Color3f, (float red, float green, float blue), (red, green, blue))                  \
    X(void, Color4f, (float red, float green, float blue, float alpha),                         \
      (red, green, blue, alpha))                                                                \
    X(void, Normal3f, (float x, float y, float z), (x, y, z))                                   \
    X(void, MatrixMode, (DrawMatrix matrix), (matrix))                                          \
    X(void, LoadIdentity, (), ())                                                               \
    X(void, PushMatrix, (), ())                                                                 \
    X(void, PopMatrix, (), ())                                                                  \
    X(void, Translatef, (float x, float y, float z), (x, y, z))                                 \
    X(void, Perspective, (double fovY, double aspect, double zNear, double zFar),               \
      (fovY, aspect, zNear, zFar))                                                              \
    X(void, LookAt,                                                                             \
      (double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,   \
       double upX, double upY, double upZ),                                                     \
      (eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ))                             \
    X(void, Viewport, (int x, int y, int width, int height), (x, y, width, height))             \
    X(void, GetMatrix, (DrawMatrix matrix, double values[16]), (matrix, values))                \
    X(void, Scissor, (int x, int y, int width, int height), (x, y, width, height))              \
    X(void, GetViewport, (int values[4]), (values))                                             \
    X(int, DepthBits, (), ())                                                                   \
    X(void, Enable, (DrawCapability capability), (capability))                                  \
    X(void, Disable, (DrawCapability capability), (capability))                                 \
    X(void, DepthFunc, (DrawCompare compare), (compare))                                        \
    X(void, DepthMask, (int write), (write))                                                    \
    X(void, StencilFunc, (DrawCompare compare, int reference, uint32_t mask),                   \
      (compare, reference, mask))                                                               \
    X(void, StencilOp,                                                                          \
      (DrawStencilAction stencilFails, DrawStencilAction depthFails, DrawStencilAction passes), \
      (stencilFails, depthFails, passes))                                                       \
    X(void, StencilMask, (uint32_t mask), (mask))                                               \
    X(void, ColorMask, (int red, int green, int blue, int alpha), (red, green, blue, alpha))    \
    X(void, FrontFace, (DrawWinding winding), (winding))                                        \
    X(void, SmoothShading, (), ())                                                              \
    X(void, NicestPerspective, (), ())                                                          \
    X(void, TextureModulates, (), ())                                                           \
    X(int, DepthClampAvailable, (), ())                                                         \
    X(void, Clear, (uint32_t buffers), (buffers))                                               \
    X(void, ClearColor, (float red, float green, float blue, float alpha),                      \
      (red, green, blue, alpha))                                                                \
    X(void, GetClearColor, (float values[4]), (values))                                        \
    X(void, ClearDepth, (double depth), (depth))                                                \
    X(void, ClearStencil, (int value), (value))                                                 \
    X(void, Flush, (), ())                                                                      \
    X(const char*, DriverString, (DrawDriverText which), (which))                               \
    X(void, LightPosition, (const float position[4]), (position))                               \
    X(void, LightSpecular, (const float colour[4]), (colour))                                   \
    X(uint32_t, TextureCreate, (), ())                                                          \
    X(void, TextureBind, (uint32_t texture), (texture))                                         \
    X(void, TextureDelete, (uint32_t texture), (texture))                                       \
    X(int, TextureMipmaps, (int width, int height, const uint8_t* rgb, char* why, int whySize),  \
      (width, height, rgb, why, whySize))                                                       \
    X(void, TextureTrilinear, (), ())                                                           \
    X(uint32_t, GlyphsCreate, (int count), (count))                                             \
    X(void, GlyphsDelete, (uint32_t first, int count), (first, count))                          \
    X(void, GlyphsBegin, (), ())                                                                \
    X(void, GlyphDefine, (uint32_t slot, const DrawGlyph* glyph), (slot, glyph))                \
    X(int, GlyphsEnd, (char* why, int whySize), (why, whySize))                                 \
    X(void, RasterPos2f, (float x, float y), (x, y))                                            \
    X(void, Glyphs, (uint32_t base, int count, const uint8_t* bytes), (base, count, bytes))     \
    X(void, BlendFunc, (DrawBlend blend), (blend))                                              \
    X(int, AccumBits, (), ())                                                                   \
    X(void, AccumAdd, (float weight), (weight))                                                 \
    X(void, AccumReturn, (float value), (value))

// And for every call of the counted frame's composition.
#define DRAW_COMPOSE_CALLS(X)                                                                   \
    X(int, ComposeCreate, (const DrawComposition* composition, char* why, int whySize),         \
      (composition, why, whySize))                                                              \
    X(void, ComposeDestroy, (), ())                                                             \
    X(int, ComposeFollowViewport, (char* why, int whySize), (why, whySize))                     \
    X(void, ComposeKeepBase, (), ())                                                            \
    X(void, ComposeKeepCounts, (int x, int y, int width, int height), (x, y, width, height))    \
    X(void, Compose, (int passes, float weight, DrawComposeShows shows), (passes, weight, shows)) \
    X(void, ColourSteps, (float steps[3]), (steps))

// A renderer's whole table: its start and stop in the current context, then
// the calls.
#define DRAW_SLOTS(X)                                     \
    X(int, Start, (char* why, int whySize), (why, whySize)) \
    X(void, Stop, (), ())                                 \
    DRAW_CALLS(X)                                         \
    DRAW_COMPOSE_CALLS(X)
// clang-format on

#define DRAW_SLOT_MEMBER(result, name, parameters, arguments) result(*name) parameters;
struct DrawBackend {
    DRAW_SLOTS(DRAW_SLOT_MEMBER)
};
#undef DRAW_SLOT_MEMBER

// The renderers this build has; each is null where it is left out.
extern const DrawBackend* const drawGl1Backend;
extern const DrawBackend* const drawEs3Backend;

// Writes `reason` into `why` (whySize bytes, may be 0), for the calls that
// say why they could not.
void drawExplain(char* why, int whySize, const char* reason);
