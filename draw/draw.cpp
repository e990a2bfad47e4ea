// The vocabulary's calls, each handed to the renderer in use.
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

const DrawBackend* backendOf(DrawRenderer renderer) {
    return renderer == drawRendererEs3 ? drawEs3Backend : drawGl1Backend;
}

// The build's own renderer: gl1 where it is there (the desktop), else es3.
DrawRenderer defaultRenderer() {
    return drawGl1Backend != nullptr ? drawRendererGl1 : drawRendererEs3;
}

const char* nameOf(DrawRenderer renderer) {
    return renderer == drawRendererEs3 ? "es3" : "gl1";
}

DrawRenderer inUse = defaultRenderer();
const DrawBackend* drawBackend = backendOf(inUse);

}  // namespace

DrawRenderer drawRendererRequested() {
    char value[16], line[160];
    const uint32_t length = platformGetEnvironmentVariable("TENEBREL_GL", value, sizeof value);
    const DrawRenderer fallback = defaultRenderer();
    if (length == 0) return fallback;
    for (DrawRenderer renderer : {drawRendererGl1, drawRendererEs3}) {
        if (length >= sizeof value || std::strcmp(value, nameOf(renderer)) != 0) continue;
        if (drawRendererBuilt(renderer)) return renderer;
        std::snprintf(line, sizeof line, "TENEBREL_GL=%s, but this build has no %s renderer; "
                      "drawing with %s", value, value, nameOf(fallback));
        platformWarn(line);
        return fallback;
    }
    std::snprintf(line, sizeof line, "TENEBREL_GL takes \"gl1\" or \"es3\"; drawing with %s",
                  nameOf(fallback));
    platformWarn(line);
    return fallback;
}

int drawRendererBuilt(DrawRenderer renderer) {
    return backendOf(renderer) != nullptr ? 1 : 0;
}

int drawStart(DrawRenderer renderer, char* why, int whySize) {
    const DrawBackend* backend = backendOf(renderer);
    if (backend == nullptr) {
        std::snprintf(why, static_cast<size_t>(whySize), "this build has no such renderer");
        return 0;
    }
    if (!backend->start(why, whySize)) return 0;
    inUse = renderer;
    drawBackend = backend;
    return 1;
}

void drawStop() {
    drawBackend->stop();
}

DrawRenderer drawRendererInUse() {
    return inUse;
}

void drawBegin(DrawPrimitive primitive) { drawBackend->begin(primitive); }
void drawEnd() { drawBackend->end(); }
void drawVertex3f(float x, float y, float z) { drawBackend->vertex3f(x, y, z); }
void drawTexCoord2i(int s, int t) { drawBackend->texCoord2i(s, t); }
void drawColor3f(float red, float green, float blue) { drawBackend->color3f(red, green, blue); }
void drawColor4f(float red, float green, float blue, float alpha) {
    drawBackend->color4f(red, green, blue, alpha);
}
void drawNormal3f(float x, float y, float z) { drawBackend->normal3f(x, y, z); }
void drawMatrixMode(DrawMatrix matrix) { drawBackend->matrixMode(matrix); }
void drawLoadIdentity() { drawBackend->loadIdentity(); }
void drawPushMatrix() { drawBackend->pushMatrix(); }
void drawPopMatrix() { drawBackend->popMatrix(); }
void drawTranslatef(float x, float y, float z) { drawBackend->translatef(x, y, z); }
void drawPerspective(double fovY, double aspect, double zNear, double zFar) {
    drawBackend->perspective(fovY, aspect, zNear, zFar);
}
void drawLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX, double upY, double upZ) {
    drawBackend->lookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}
void drawViewport(int x, int y, int width, int height) {
    drawBackend->viewport(x, y, width, height);
}
void drawGetMatrix(DrawMatrix matrix, double values[16]) { drawBackend->getMatrix(matrix, values); }
void drawGetViewport(int values[4]) { drawBackend->getViewport(values); }
void drawEnable(DrawCapability capability) { drawBackend->enable(capability); }
void drawDisable(DrawCapability capability) { drawBackend->disable(capability); }
void drawDepthFunc(DrawCompare compare) { drawBackend->depthFunc(compare); }
void drawDepthMask(int write) { drawBackend->depthMask(write); }
void drawStencilFunc(DrawCompare compare, int reference, uint32_t mask) {
    drawBackend->stencilFunc(compare, reference, mask);
}
void drawStencilOp(DrawStencilAction stencilFails, DrawStencilAction depthFails, DrawStencilAction passes) {
    drawBackend->stencilOp(stencilFails, depthFails, passes);
}
void drawStencilMask(uint32_t mask) { drawBackend->stencilMask(mask); }
void drawColorMask(int red, int green, int blue, int alpha) {
    drawBackend->colorMask(red, green, blue, alpha);
}
void drawFrontFace(DrawWinding winding) { drawBackend->frontFace(winding); }
void drawSmoothShading() { drawBackend->smoothShading(); }
void drawNicestPerspective() { drawBackend->nicestPerspective(); }
void drawTextureModulates() { drawBackend->textureModulates(); }
int drawDepthClampAvailable() { return drawBackend->depthClampAvailable(); }
void drawClear(uint32_t buffers) { drawBackend->clear(buffers); }
void drawClearColor(float red, float green, float blue, float alpha) {
    drawBackend->clearColor(red, green, blue, alpha);
}
void drawClearDepth(double depth) { drawBackend->clearDepth(depth); }
void drawClearStencil(int value) { drawBackend->clearStencil(value); }
void drawFlush() { drawBackend->flush(); }
void drawLightPosition(const float position[4]) { drawBackend->lightPosition(position); }
void drawLightSpecular(const float colour[4]) { drawBackend->lightSpecular(colour); }
uint32_t drawTextureCreate() { return drawBackend->textureCreate(); }
void drawTextureBind(uint32_t texture) { drawBackend->textureBind(texture); }
void drawTextureDelete(uint32_t texture) { drawBackend->textureDelete(texture); }
void drawTextureMipmaps(int width, int height, const uint8_t* rgb) {
    drawBackend->textureMipmaps(width, height, rgb);
}
void drawTextureTrilinear() { drawBackend->textureTrilinear(); }
uint32_t drawGlyphsCreate(int count) { return drawBackend->glyphsCreate(count); }
void drawGlyphsDelete(uint32_t first, int count) { drawBackend->glyphsDelete(first, count); }
void drawGlyphsBegin() { drawBackend->glyphsBegin(); }
void drawGlyphDefine(uint32_t slot, const DrawGlyph* glyph) {
    drawBackend->glyphDefine(slot, glyph);
}
void drawGlyphsEnd() { drawBackend->glyphsEnd(); }
void drawRasterPos2f(float x, float y) { drawBackend->rasterPos2f(x, y); }
void drawGlyphs(uint32_t base, int count, const uint8_t* bytes) {
    drawBackend->glyphs(base, count, bytes);
}
int drawAccumBits() { return drawBackend->accumBits(); }
void drawAccumAdd(float weight) { drawBackend->accumAdd(weight); }
void drawAccumReturn(float value) { drawBackend->accumReturn(value); }
int drawSumCreate(char* why, int whySize) { return drawBackend->sumCreate(why, whySize); }
void drawSumDestroy() { drawBackend->sumDestroy(); }
int drawSumFollowViewport(char* why, int whySize) {
    return drawBackend->sumFollowViewport(why, whySize);
}
void drawSumPassBegin(int pass) { drawBackend->sumPassBegin(pass); }
void drawSumPassAdd(int pass) { drawBackend->sumPassAdd(pass); }
void drawSumReturn() { drawBackend->sumReturn(); }
