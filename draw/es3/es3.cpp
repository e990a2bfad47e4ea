// The es3 renderer's vertices, matrices, states, clears and light. Vertices
// are kept until their primitive ends and drawn in batches (batch.cpp);
// matrices, the light and the raster position are worked out here, as the
// fixed pipeline works them out.
#include "draw/es3/es3.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

Es3State es3;


namespace {

const GLenum depthClampExt = 0x864F;  // GL_DEPTH_CLAMP_EXT
const GLenum compares[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                           GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum stencilActions[] = {GL_KEEP, GL_INCR, GL_DECR, GL_REPLACE, GL_INVERT, GL_ZERO};

#define ES3_SLOT(result, name, parameters, arguments) es3##name,
const DrawBackend table = {DRAW_SLOTS(ES3_SLOT)};
#undef ES3_SLOT

Matrix& current() {
    return es3.stacks[es3.mode].back();
}

void multiply(const Matrix& by) {
    es3BatchFlush();
    current() = matrixMultiply(current(), by);
}

// GL's state of a new context, for what this renderer keeps itself.
void resetState() {
    es3.current = Es3Vertex{0, 0, 0, 0, 0, 1, 1, 1, 1};
    es3.normal[0] = es3.normal[1] = 0.0f;
    es3.normal[2] = 1.0f;
    es3.inside = false;
    es3.vertices.clear();
    es3.mode = drawModelView;
    for (std::vector<Matrix>& stack : es3.stacks) stack.assign(1, matrixIdentity());
    es3.texturing = es3.lighting = es3.light0 = false;
    const float light[4] = {0, 0, 1, 0};
    std::memcpy(es3.lightEye, light, sizeof light);
    glGetIntegerv(GL_VIEWPORT, es3.viewport);
    es3.boundTexture = 0;
    es3.rasterValid = false;
}

void capability(DrawCapability capability, bool on) {
    es3BatchFlush();
    switch (capability) {
    case drawDepthTest: return on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    case drawStencilTest: return on ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
    case drawCulling: return on ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    case drawBlending: return on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    case drawTexturing: es3.texturing = on; return;
    case drawLighting: es3.lighting = on; return;
    case drawLight0: es3.light0 = on; return;
    case drawScissorTest: return on ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
    case drawDepthClamp:
        if (es3.depthClampExtension) on ? glEnable(depthClampExt) : glDisable(depthClampExt);
        return;
    }
}

// The colour GL's lighting gives a vertex at `eye` with the current normal:
// the scene's ambient light on the default material, and light 0's diffuse
// light on it. The default material reflects no specular light.
void litColour(const float eye[4], float colour[4]) {
    const float sceneAmbient = 0.2f, materialAmbient = 0.2f, materialDiffuse = 0.8f;
    float level = sceneAmbient * materialAmbient;
    if (es3.light0) {
        float normalTransform[9], normal[3], toLight[3], length = 0.0f, cosine = 0.0f;
        matrixNormalTransform(es3.stacks[drawModelView].back(), normalTransform);
        for (int i = 0; i < 3; ++i) {
            normal[i] = normalTransform[i * 3] * es3.normal[0] +
                        normalTransform[i * 3 + 1] * es3.normal[1] +
                        normalTransform[i * 3 + 2] * es3.normal[2];
            // A light with w = 0 lies in a direction; any other is a point.
            toLight[i] = es3.lightEye[3] != 0.0f
                             ? es3.lightEye[i] / es3.lightEye[3] - eye[i] / eye[3]
                             : es3.lightEye[i];
            length += toLight[i] * toLight[i];
        }
        length = std::sqrt(length);
        for (int i = 0; i < 3 && length > 0.0f; ++i) cosine += normal[i] * toLight[i] / length;
        level += materialDiffuse * std::max(cosine, 0.0f);
    }
    level = std::min(level, 1.0f);
    colour[0] = colour[1] = colour[2] = level;
    colour[3] = 1.0f;
}

}  // namespace

const DrawBackend* const drawEs3Backend = &table;

int es3Start(char* why, int whySize) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    if (version == nullptr || std::sscanf(version, "OpenGL ES %d.", &major) != 1 || major < 3) {
        drawExplain(why, whySize, "the context is not OpenGL ES 3.0 or later");
        return 0;
    }
    if (!es3BatchCreate(why, whySize)) {
        es3BatchDestroy();
        return 0;
    }
    es3.depthClampExtension = es3HasExtension("GL_EXT_depth_clamp") != 0;
    drawExplain(why, whySize,
                es3.depthClampExtension
                    ? ""
                    : "this OpenGL ES has no GL_EXT_depth_clamp: the far plane is put at "
                      "infinity instead, so a far light's shadow stays whole");
    resetState();
    return 1;
}

void es3Stop() {
    es3BatchFlush();
    es3ComposeDestroy();
    es3TextDestroy();
    es3BatchDestroy();
}

void es3Begin(DrawPrimitive p) {
    es3.inside = true;
    es3.primitive = p;
    es3.vertices.clear();
}

void es3End() {
    if (es3.inside) es3BatchAdd(es3.primitive, es3.vertices);
    es3.inside = false;
}

void es3Vertex3f(float x, float y, float z) {
    if (!es3.inside) return;
    es3.vertices.push_back(es3.current);
    es3.vertices.back().x = x, es3.vertices.back().y = y, es3.vertices.back().z = z;
}

void es3TexCoord2i(int s, int t) {
    es3.current.s = static_cast<float>(s);
    es3.current.t = static_cast<float>(t);
}

void es3Color3f(float r, float g, float b) {
    es3Color4f(r, g, b, 1.0f);
}

void es3Color4f(float r, float g, float b, float a) {
    es3.current.red = r, es3.current.green = g, es3.current.blue = b, es3.current.alpha = a;
}

void es3Normal3f(float x, float y, float z) {
    es3.normal[0] = x, es3.normal[1] = y, es3.normal[2] = z;
}

void es3MatrixMode(DrawMatrix m) {
    es3.mode = m;
}
void es3LoadIdentity() {
    es3BatchFlush(), current() = matrixIdentity();
}
void es3PushMatrix() {
    es3.stacks[es3.mode].push_back(current());
}
void es3PopMatrix() {
    if (es3.stacks[es3.mode].size() > 1) es3BatchFlush(), es3.stacks[es3.mode].pop_back();
}
void es3Translatef(float x, float y, float z) {
    multiply(matrixTranslation(x, y, z));
}
void es3Perspective(double fovY, double aspect, double zNear, double zFar) {
    multiply(matrixPerspective(fovY, aspect, zNear, zFar, !es3.depthClampExtension));
}
void es3LookAt(double ex, double ey, double ez, double cx, double cy, double cz, double ux,
               double uy, double uz) {
    multiply(matrixLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz));
}
void es3Viewport(int x, int y, int width, int height) {
    es3BatchFlush();
    glViewport(x, y, width, height);
    glGetIntegerv(GL_VIEWPORT, es3.viewport);
}
void es3Scissor(int x, int y, int width, int height) {
    es3BatchFlush();
    glScissor(x, y, width, height);
}
int es3DepthBits() {
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    return bits;
}
void es3GetMatrix(DrawMatrix m, double values[16]) {
    for (int i = 0; i < 16; ++i) values[i] = es3.stacks[m].back().m[i];
}
void es3GetViewport(int values[4]) {
    std::memcpy(values, es3.viewport, sizeof es3.viewport);
}

void es3Enable(DrawCapability c) {
    capability(c, true);
}
void es3Disable(DrawCapability c) {
    capability(c, false);
}
void es3DepthFunc(DrawCompare c) {
    es3BatchFlush(), glDepthFunc(compares[c]);
}
void es3DepthMask(int write) {
    es3BatchFlush(), glDepthMask(write ? GL_TRUE : GL_FALSE);
}
void es3StencilFunc(DrawCompare c, int reference, uint32_t mask) {
    es3BatchFlush(), glStencilFunc(compares[c], reference, mask);
}
void es3StencilOp(DrawStencilAction fails, DrawStencilAction depthFails, DrawStencilAction passes) {
    es3BatchFlush();
    glStencilOp(stencilActions[fails], stencilActions[depthFails], stencilActions[passes]);
}
void es3StencilMask(uint32_t mask) {
    es3BatchFlush(), glStencilMask(mask);
}
void es3ColorMask(int r, int g, int b, int a) {
    es3BatchFlush(), glColorMask(r != 0, g != 0, b != 0, a != 0);
}
void es3FrontFace(DrawWinding w) {
    es3BatchFlush(), glFrontFace(w == drawClockwise ? GL_CW : GL_CCW);
}
// The shaders interpolate colours and texture coordinates with perspective,
// and multiply the texel by the colour, always.
void es3SmoothShading() {}
void es3NicestPerspective() {}
void es3TextureModulates() {}
// Without the extension nothing is clamped, but nothing needs to be: the
// far plane is at infinity instead.
int es3DepthClampAvailable() {
    return es3.depthClampExtension ? 1 : 0;
}

void es3Clear(uint32_t buffers) {
    es3BatchFlush();
    const GLbitfield bits = ((buffers & drawColourBuffer) ? GL_COLOR_BUFFER_BIT : 0) |
                            ((buffers & drawDepthBuffer) ? GL_DEPTH_BUFFER_BIT : 0) |
                            ((buffers & drawStencilBuffer) ? GL_STENCIL_BUFFER_BIT : 0);
    if (bits != 0) glClear(bits);
}
void es3ClearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}
void es3GetClearColor(float values[4]) {
    glGetFloatv(GL_COLOR_CLEAR_VALUE, values);
}
void es3ClearDepth(double depth) {
    glClearDepthf(static_cast<float>(depth));
}
void es3ClearStencil(int value) {
    glClearStencil(value);
}
void es3Flush() {
    es3BatchFlush(), glFlush();
}

void es3LightPosition(const float position[4]) {
    matrixTransform(es3.stacks[drawModelView].back(), position, es3.lightEye);
}
void es3LightSpecular(const float*) {}  // the default material reflects none of it

void es3RasterPos2f(float x, float y) {
    const float object[4] = {x, y, 0.0f, 1.0f};
    float eye[4], clip[4];
    matrixTransform(es3.stacks[drawModelView].back(), object, eye);
    matrixTransform(es3.stacks[drawProjection].back(), eye, clip);
    es3.rasterValid = clip[3] > 0.0f;
    for (int i = 0; i < 3; ++i) es3.rasterValid = es3.rasterValid && std::fabs(clip[i]) <= clip[3];
    if (!es3.rasterValid) return;
    const double w = clip[3];
    es3.raster[0] = es3.viewport[0] + (clip[0] / w + 1.0) * 0.5 * es3.viewport[2];
    es3.raster[1] = es3.viewport[1] + (clip[1] / w + 1.0) * 0.5 * es3.viewport[3];
    es3.raster[2] = (clip[2] / w + 1.0) * 0.5;
    if (es3.lighting) {
        litColour(eye, es3.rasterColour);
    } else {
        std::memcpy(es3.rasterColour, &es3.current.red, sizeof es3.rasterColour);
    }
}

int es3HasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, i));
        if (extension != nullptr && std::strcmp(extension, name) == 0) return 1;
    }
    return 0;
}

const char* es3DriverString(DrawDriverText which) {
    // A browser names itself as the driver; where it offers the card's own
    // names (UNMASKED_VENDOR_WEBGL, UNMASKED_RENDERER_WEBGL), those.
    const GLenum names[2][2] = {{GL_VENDOR, 0x9245}, {GL_RENDERER, 0x9246}};
    const GLubyte* text = nullptr;
    if (es3HasExtension("WEBGL_debug_renderer_info")) text = glGetString(names[which][1]);
    if (text == nullptr || *text == '\0') text = glGetString(names[which][0]);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown";
}
