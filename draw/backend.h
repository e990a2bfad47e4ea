// What a renderer is to the vocabulary: one function for each of its
// calls, in draw/draw.h's order. Only draw/ sees this.
#pragma once

#include "draw/draw.h"

struct DrawBackend {
    // Sets the renderer up in the current context: 1, or 0 with `why`.
    int (*start)(char* why, int whySize);
    void (*stop)();
    void (*begin)(DrawPrimitive primitive);
    void (*end)();
    void (*vertex3f)(float x, float y, float z);
    void (*texCoord2i)(int s, int t);
    void (*color3f)(float red, float green, float blue);
    void (*color4f)(float red, float green, float blue, float alpha);
    void (*normal3f)(float x, float y, float z);
    void (*matrixMode)(DrawMatrix matrix);
    void (*loadIdentity)();
    void (*pushMatrix)();
    void (*popMatrix)();
    void (*translatef)(float x, float y, float z);
    void (*perspective)(double fovY, double aspect, double zNear, double zFar);
    void (*lookAt)(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ, double upX, double upY, double upZ);
    void (*viewport)(int x, int y, int width, int height);
    void (*getMatrix)(DrawMatrix matrix, double values[16]);
    void (*getViewport)(int values[4]);
    void (*enable)(DrawCapability capability);
    void (*disable)(DrawCapability capability);
    void (*depthFunc)(DrawCompare compare);
    void (*depthMask)(int write);
    void (*stencilFunc)(DrawCompare compare, int reference, uint32_t mask);
    void (*stencilOp)(DrawStencilAction stencilFails, DrawStencilAction depthFails, DrawStencilAction passes);
    void (*stencilMask)(uint32_t mask);
    void (*colorMask)(int red, int green, int blue, int alpha);
    void (*frontFace)(DrawWinding winding);
    void (*smoothShading)();
    void (*nicestPerspective)();
    void (*textureModulates)();
    int (*depthClampAvailable)();
    void (*clear)(uint32_t buffers);
    void (*clearColor)(float red, float green, float blue, float alpha);
    void (*clearDepth)(double depth);
    void (*clearStencil)(int value);
    void (*flush)();
    void (*lightPosition)(const float position[4]);
    void (*lightSpecular)(const float colour[4]);
    uint32_t (*textureCreate)();
    void (*textureBind)(uint32_t texture);
    void (*textureDelete)(uint32_t texture);
    void (*textureMipmaps)(int width, int height, const uint8_t* rgb);
    void (*textureTrilinear)();
    uint32_t (*glyphsCreate)(int count);
    void (*glyphsDelete)(uint32_t first, int count);
    void (*glyphsBegin)();
    void (*glyphDefine)(uint32_t slot, const DrawGlyph* glyph);
    void (*glyphsEnd)();
    void (*rasterPos2f)(float x, float y);
    void (*glyphs)(uint32_t base, int count, const uint8_t* bytes);
    int (*accumBits)();
    void (*accumAdd)(float weight);
    void (*accumReturn)(float value);
    int (*sumCreate)(char* why, int whySize);
    void (*sumDestroy)();
    int (*sumFollowViewport)(char* why, int whySize);
    void (*sumPassBegin)(int pass);
    void (*sumPassAdd)(int pass);
    void (*sumReturn)();
};

// The renderers this build has; each is null where it is left out.
extern const DrawBackend* const drawGl1Backend;
extern const DrawBackend* const drawEs3Backend;
