// The vocabulary's calls, each handed to the renderer in use, and the choice
// of renderer for each window.
#include "draw/draw.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "draw/backend.h"
#include "platform/platform.h"

#ifndef TENEBREL_DRAW_GL1
const DrawBackend* const drawGl1Backend = nullptr;
#endif
#ifndef TENEBREL_DRAW_ES3
const DrawBackend* const drawEs3Backend = nullptr;
#endif

namespace {

// What each renderer draws in, and what it is called.
struct Renderer {
    const char* name;
    PlatformGLKind context;
    const char* contextName;
};

const Renderer renderers[] = {
    {"gl1", platformGLDesktop, "OpenGL"},
    {"es3", platformGLES3, "OpenGL ES 3.0"},
};

const DrawBackend* backendOf(DrawRenderer renderer) {
    return renderer == drawRendererEs3 ? drawEs3Backend : drawGl1Backend;
}

// The build's own renderer: gl1 where it is there (the desktop), else es3.
DrawRenderer defaultRenderer() {
    return drawGl1Backend != nullptr ? drawRendererGl1 : drawRendererEs3;
}

DrawRenderer inUse = defaultRenderer();
const DrawBackend* backend = backendOf(inUse);

}  // namespace

void drawExplain(char* why, int whySize, const char* reason) {
    if (why != nullptr && whySize > 0)
        std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
}

DrawRenderer drawRendererRequested(const char* option) {
    char value[16], line[160];
    const uint32_t length =
        option != nullptr ? static_cast<uint32_t>(std::snprintf(value, sizeof value, "%s", option))
                          : platformGetEnvironmentVariable("TENEBREL_GL", value, sizeof value);
    const DrawRenderer fallback = defaultRenderer();
    const char* fallbackName = renderers[fallback].name;
    if (length == 0) return fallback;
    for (DrawRenderer renderer : {drawRendererGl1, drawRendererEs3}) {
        if (length >= sizeof value || std::strcmp(value, renderers[renderer].name) != 0) continue;
        if (drawRendererBuilt(renderer)) return renderer;
        std::snprintf(line, sizeof line,
                      "TENEBREL_GL=%s, but this build has no %s renderer; "
                      "drawing with %s",
                      value, value, fallbackName);
        platformWarn(line);
        return fallback;
    }
    std::snprintf(line, sizeof line, "TENEBREL_GL takes \"gl1\" or \"es3\"; drawing with %s",
                  fallbackName);
    platformWarn(line);
    return fallback;
}

int drawRendererBuilt(DrawRenderer renderer) {
    return backendOf(renderer) != nullptr ? 1 : 0;
}

int drawContextPrepare(DrawRenderer renderer, char* why, int whySize) {
    if (!drawRendererBuilt(renderer))
        return drawExplain(why, whySize, "this build has no such renderer"), 0;
    if (platformSetGLKind(renderers[renderer].context)) return 1;
    char reason[96];
    std::snprintf(reason, sizeof reason, "the window system makes no %s context",
                  renderers[renderer].contextName);
    drawExplain(why, whySize, reason);
    return 0;
}

int drawStart(DrawRenderer renderer, char* why, int whySize) {
    const DrawBackend* starting = backendOf(renderer);
    if (starting == nullptr) return drawExplain(why, whySize, "this build has no such renderer"), 0;
    if (!starting->Start(why, whySize)) return 0;
    inUse = renderer;
    backend = starting;
    return 1;
}

int drawFallBack(DrawRenderer* renderer, const char* why) {
    // OpenGL ES gives way to the desktop's GL; nothing comes after that.
    if (*renderer != drawRendererEs3 || !drawRendererBuilt(drawRendererGl1)) return 0;
    char line[240];
    std::snprintf(line, sizeof line, "%s cannot be had (%s): drawing with %s",
                  renderers[*renderer].contextName, why, renderers[drawRendererGl1].name);
    platformWarn(line);
    *renderer = drawRendererGl1;
    return 1;
}

void drawStop() {
    backend->Stop();
}

DrawRenderer drawRendererInUse() {
    return inUse;
}

// Every other call goes to the renderer in use, to its function of the same
// name.
void drawBegin(DrawPrimitive primitive) {
    backend->Begin(primitive);
}
void drawEnd() {
    backend->End();
}
void drawVertex3f(float x, float y, float z) {
    backend->Vertex3f(x, y, z);
}
void drawTexCoord2i(int s, int t) {
    backend->TexCoord2i(s, t);
}
void drawColor3f(float red, float green, float blue) {
    backend->Color3f(red, green, blue);
}
void drawColor4f(float red, float green, float blue, float alpha) {
    backend->Color4f(red, green, blue, alpha);
}
void drawNormal3f(float x, float y, float z) {
    backend->Normal3f(x, y, z);
}
void drawMatrixMode(DrawMatrix matrix) {
    backend->MatrixMode(matrix);
}
void drawLoadIdentity() {
    backend->LoadIdentity();
}
void drawPushMatrix() {
    backend->PushMatrix();
}
void drawPopMatrix() {
    backend->PopMatrix();
}
void drawTranslatef(float x, float y, float z) {
    backend->Translatef(x, y, z);
}
void drawPerspective(double fovY, double aspect, double zNear, double zFar) {
    backend->Perspective(fovY, aspect, zNear, zFar);
}
void drawLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                double centreZ, double upX, double upY, double upZ) {
    backend->LookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}
void drawViewport(int x, int y, int width, int height) {
    backend->Viewport(x, y, width, height);
}
void drawGetMatrix(DrawMatrix matrix, double values[16]) {
    backend->GetMatrix(matrix, values);
}
void drawScissor(int x, int y, int width, int height) {
    backend->Scissor(x, y, width, height);
}
int drawDepthBits() {
    return backend->DepthBits();
}
void drawGetViewport(int values[4]) {
    backend->GetViewport(values);
}
void drawEnable(DrawCapability capability) {
    backend->Enable(capability);
}
void drawDisable(DrawCapability capability) {
    backend->Disable(capability);
}
void drawDepthFunc(DrawCompare compare) {
    backend->DepthFunc(compare);
}
void drawDepthMask(int write) {
    backend->DepthMask(write);
}
void drawStencilFunc(DrawCompare compare, int reference, uint32_t mask) {
    backend->StencilFunc(compare, reference, mask);
}
void drawStencilOp(DrawStencilAction stencilFails, DrawStencilAction depthFails,
                   DrawStencilAction passes) {
    backend->StencilOp(stencilFails, depthFails, passes);
}
void drawStencilMask(uint32_t mask) {
    backend->StencilMask(mask);
}
void drawColorMask(int red, int green, int blue, int alpha) {
    backend->ColorMask(red, green, blue, alpha);
}
void drawFrontFace(DrawWinding winding) {
    backend->FrontFace(winding);
}
void drawSmoothShading() {
    backend->SmoothShading();
}
void drawNicestPerspective() {
    backend->NicestPerspective();
}
void drawTextureModulates() {
    backend->TextureModulates();
}
int drawDepthClampAvailable() {
    return backend->DepthClampAvailable();
}
void drawClear(uint32_t buffers) {
    backend->Clear(buffers);
}
void drawClearColor(float red, float green, float blue, float alpha) {
    backend->ClearColor(red, green, blue, alpha);
}
void drawGetClearColor(float values[4]) {
    backend->GetClearColor(values);
}
void drawClearDepth(double depth) {
    backend->ClearDepth(depth);
}
void drawClearStencil(int value) {
    backend->ClearStencil(value);
}
void drawFlush() {
    backend->Flush();
}
void drawLightPosition(const float position[4]) {
    backend->LightPosition(position);
}
void drawLightSpecular(const float colour[4]) {
    backend->LightSpecular(colour);
}
uint32_t drawTextureCreate() {
    return backend->TextureCreate();
}
void drawTextureBind(uint32_t texture) {
    backend->TextureBind(texture);
}
void drawTextureDelete(uint32_t texture) {
    backend->TextureDelete(texture);
}
int drawTextureMipmaps(int width, int height, const uint8_t* rgb, char* why, int whySize) {
    return backend->TextureMipmaps(width, height, rgb, why, whySize);
}
void drawTextureTrilinear() {
    backend->TextureTrilinear();
}
uint32_t drawGlyphsCreate(int count) {
    return backend->GlyphsCreate(count);
}
void drawGlyphsDelete(uint32_t first, int count) {
    backend->GlyphsDelete(first, count);
}
void drawGlyphsBegin() {
    backend->GlyphsBegin();
}
void drawGlyphDefine(uint32_t slot, const DrawGlyph* glyph) {
    backend->GlyphDefine(slot, glyph);
}
int drawGlyphsEnd(char* why, int whySize) {
    return backend->GlyphsEnd(why, whySize);
}
void drawRasterPos2f(float x, float y) {
    backend->RasterPos2f(x, y);
}
void drawGlyphs(uint32_t base, int count, const uint8_t* bytes) {
    backend->Glyphs(base, count, bytes);
}
const char* drawDriverString(DrawDriverText which) {
    return backend->DriverString(which);
}
void drawBlendFunc(DrawBlend blend) {
    backend->BlendFunc(blend);
}
int drawAccumBits() {
    return backend->AccumBits();
}
void drawAccumAdd(float weight) {
    backend->AccumAdd(weight);
}
void drawAccumReturn(float value) {
    backend->AccumReturn(value);
}
int drawComposeCreate(const DrawComposition* composition, char* why, int whySize) {
    return backend->ComposeCreate(composition, why, whySize);
}
void drawComposeDestroy() {
    backend->ComposeDestroy();
}
int drawComposeFollowViewport(char* why, int whySize) {
    return backend->ComposeFollowViewport(why, whySize);
}
void drawComposeKeepBase() {
    backend->ComposeKeepBase();
}
void drawComposeKeepCounts(int x, int y, int width, int height) {
    backend->ComposeKeepCounts(x, y, width, height);
}
void drawCompose(int passes, float weight, DrawComposeShows shows) {
    backend->Compose(passes, weight, shows);
}
void drawColourSteps(float steps[3]) {
    backend->ColourSteps(steps);
}
