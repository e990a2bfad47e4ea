// The gl1 renderer's vertices, matrices, states, clears and light: GL 1.1's
// own calls, one for one.
#include "draw/gl1/gl1.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstring>

#ifndef GL_DEPTH_CLAMP
#define GL_DEPTH_CLAMP 0x864F
#endif

namespace {

const GLenum capabilities[] = {GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE,
                               GL_BLEND,      GL_TEXTURE_2D,   GL_LIGHTING,
                               GL_LIGHT0,     GL_DEPTH_CLAMP,  GL_SCISSOR_TEST};
const GLenum compares[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                           GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum stencilActions[] = {GL_KEEP, GL_INCR, GL_DECR, GL_REPLACE, GL_INVERT, GL_ZERO};

GLboolean flag(int on) {
    return on ? GL_TRUE : GL_FALSE;
}

#define GL1_SLOT(result, name, parameters, arguments) gl1##name,
const DrawBackend table = {DRAW_SLOTS(GL1_SLOT)};
#undef GL1_SLOT

}  // namespace

const DrawBackend* const drawGl1Backend = &table;
CommonGl gl1Gl{};

int gl1Start(char* why, int whySize) {
    drawExplain(why, whySize, "");
    gl1Gl = CommonGl{};
    gl1Gl.getError = glGetError, gl1Gl.getIntegerv = glGetIntegerv;
    gl1Gl.isEnabled = glIsEnabled, gl1Gl.enable = glEnable, gl1Gl.disable = glDisable;
    gl1Gl.genTextures = glGenTextures, gl1Gl.deleteTextures = glDeleteTextures;
    gl1Gl.bindTexture = glBindTexture, gl1Gl.texParameteri = glTexParameteri;
    gl1Gl.texImage2D = glTexImage2D, gl1Gl.copyTexSubImage2D = glCopyTexSubImage2D;
    gl1Gl.scissor = glScissor;
    return 1;
}
void gl1Stop() {}

void gl1Begin(DrawPrimitive p) {
    glBegin(p == drawLines ? GL_LINES : GL_TRIANGLE_STRIP);
}
void gl1End() {
    glEnd();
}
void gl1Vertex3f(float x, float y, float z) {
    glVertex3f(x, y, z);
}
void gl1TexCoord2i(int s, int t) {
    glTexCoord2i(s, t);
}
void gl1Color3f(float r, float g, float b) {
    glColor3f(r, g, b);
}
void gl1Color4f(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}
void gl1Normal3f(float x, float y, float z) {
    glNormal3f(x, y, z);
}

void gl1MatrixMode(DrawMatrix m) {
    glMatrixMode(m == drawProjection ? GL_PROJECTION : GL_MODELVIEW);
}
void gl1LoadIdentity() {
    glLoadIdentity();
}
void gl1PushMatrix() {
    glPushMatrix();
}
void gl1PopMatrix() {
    glPopMatrix();
}
void gl1Translatef(float x, float y, float z) {
    glTranslatef(x, y, z);
}
void gl1Perspective(double fovY, double aspect, double zNear, double zFar) {
    gluPerspective(fovY, aspect, zNear, zFar);
}
void gl1LookAt(double ex, double ey, double ez, double cx, double cy, double cz, double ux,
               double uy, double uz) {
    gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
void gl1Viewport(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
}
void gl1GetMatrix(DrawMatrix m, double values[16]) {
    glGetDoublev(m == drawProjection ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, values);
}
void gl1Scissor(int x, int y, int width, int height) {
    glScissor(x, y, width, height);
}
int gl1DepthBits() {
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    return bits;
}
void gl1GetViewport(int values[4]) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i) values[i] = viewport[i];
}

void gl1Enable(DrawCapability c) {
    glEnable(capabilities[c]);
}
void gl1Disable(DrawCapability c) {
    glDisable(capabilities[c]);
}
void gl1DepthFunc(DrawCompare c) {
    glDepthFunc(compares[c]);
}
void gl1DepthMask(int write) {
    glDepthMask(flag(write));
}
void gl1StencilFunc(DrawCompare c, int reference, uint32_t mask) {
    glStencilFunc(compares[c], reference, mask);
}
void gl1StencilOp(DrawStencilAction fails, DrawStencilAction depthFails, DrawStencilAction passes) {
    glStencilOp(stencilActions[fails], stencilActions[depthFails], stencilActions[passes]);
}
void gl1StencilMask(uint32_t mask) {
    glStencilMask(mask);
}
void gl1ColorMask(int r, int g, int b, int a) {
    glColorMask(flag(r), flag(g), flag(b), flag(a));
}
void gl1FrontFace(DrawWinding w) {
    glFrontFace(w == drawClockwise ? GL_CW : GL_CCW);
}
void gl1SmoothShading() {
    glShadeModel(GL_SMOOTH);
}
void gl1NicestPerspective() {
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}
void gl1TextureModulates() {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}
int gl1DepthClampAvailable() {
    return gl1VersionAtLeast(3, 2) || gl1HasExtension("GL_ARB_depth_clamp") ||
                   gl1HasExtension("GL_NV_depth_clamp")
               ? 1
               : 0;
}

void gl1Clear(uint32_t buffers) {
    glClear(((buffers & drawColourBuffer) ? GL_COLOR_BUFFER_BIT : 0) |
            ((buffers & drawDepthBuffer) ? GL_DEPTH_BUFFER_BIT : 0) |
            ((buffers & drawStencilBuffer) ? GL_STENCIL_BUFFER_BIT : 0) |
            ((buffers & drawAccumBuffer) ? GL_ACCUM_BUFFER_BIT : 0));
}
void gl1ClearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}
void gl1GetClearColor(float values[4]) {
    glGetFloatv(GL_COLOR_CLEAR_VALUE, values);
}
void gl1ClearDepth(double depth) {
    glClearDepth(depth);
}
void gl1ClearStencil(int value) {
    glClearStencil(value);
}
void gl1Flush() {
    glFlush();
}

const char* gl1DriverString(DrawDriverText which) {
    const GLubyte* text = glGetString(which == drawDriverVendor ? GL_VENDOR : GL_RENDERER);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown";
}

void gl1LightPosition(const float position[4]) {
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}
void gl1LightSpecular(const float colour[4]) {
    glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
}

int gl1AccumBits() {
    GLint bits = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &bits);
    return static_cast<int>(bits);
}
void gl1AccumAdd(float weight) {
    glAccum(GL_ACCUM, weight);
}
void gl1AccumReturn(float value) {
    glAccum(GL_RETURN, value);
}
void gl1BlendFunc(DrawBlend blend) {
    if (blend == drawBlendAlpha) return glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendFunc(GL_ONE, blend == drawBlendAdd ? GL_ONE : GL_ZERO);
}

// Whole names only: one extension's name may begin another's.
int gl1HasExtension(const char* name) {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = extensions; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
        const bool starts = at == extensions || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return 1;
    }
    return 0;
}

int gl1VersionAtLeast(int wantedMajor, int wantedMinor) {
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return 0;
    return major > wantedMajor || (major == wantedMajor && minor >= wantedMinor);
}
