// The gl1 renderer: each call of the vocabulary is the OpenGL 1.1 (and GLU)
// call of the same name and meaning.
#include "draw/gl1.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstring>

#ifndef GL_DEPTH_CLAMP
#define GL_DEPTH_CLAMP 0x864F
#endif

namespace {

const GLenum capabilities[] = {GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE, GL_BLEND,
                               GL_TEXTURE_2D, GL_LIGHTING,     GL_LIGHT0,    GL_DEPTH_CLAMP};
const GLenum compares[] = {GL_NEVER,    GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                           GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum stencilActions[] = {GL_KEEP, GL_INCR, GL_DECR, GL_REPLACE};

GLbitfield clearBits(uint32_t buffers) {
    return ((buffers & drawColourBuffer) ? GL_COLOR_BUFFER_BIT : 0) |
           ((buffers & drawDepthBuffer) ? GL_DEPTH_BUFFER_BIT : 0) |
           ((buffers & drawStencilBuffer) ? GL_STENCIL_BUFFER_BIT : 0) |
           ((buffers & drawAccumBuffer) ? GL_ACCUM_BUFFER_BIT : 0);
}

GLboolean flag(int on) {
    return on ? GL_TRUE : GL_FALSE;
}

DrawBackend makeBackend() {
    DrawBackend b{};
    b.start = [](char*, int) { return 1; };
    b.stop = [] {};

    b.begin = [](DrawPrimitive p) { glBegin(p == drawLines ? GL_LINES : GL_TRIANGLE_STRIP); };
    b.end = [] { glEnd(); };
    b.vertex3f = [](float x, float y, float z) { glVertex3f(x, y, z); };
    b.texCoord2i = [](int s, int t) { glTexCoord2i(s, t); };
    b.color3f = [](float r, float g, float b) { glColor3f(r, g, b); };
    b.color4f = [](float r, float g, float b, float a) { glColor4f(r, g, b, a); };
    b.normal3f = [](float x, float y, float z) { glNormal3f(x, y, z); };

    b.matrixMode = [](DrawMatrix m) { glMatrixMode(m == drawProjection ? GL_PROJECTION : GL_MODELVIEW); };
    b.loadIdentity = [] { glLoadIdentity(); };
    b.pushMatrix = [] { glPushMatrix(); };
    b.popMatrix = [] { glPopMatrix(); };
    b.translatef = [](float x, float y, float z) { glTranslatef(x, y, z); };
    b.perspective = [](double fovY, double aspect, double zNear, double zFar) {
        gluPerspective(fovY, aspect, zNear, zFar);
    };
    b.lookAt = [](double ex, double ey, double ez, double cx, double cy, double cz, double ux,
                  double uy, double uz) { gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz); };
    b.viewport = [](int x, int y, int width, int height) { glViewport(x, y, width, height); };
    b.getMatrix = [](DrawMatrix m, double values[16]) {
        glGetDoublev(m == drawProjection ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, values);
    };
    b.getViewport = [](int values[4]) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (int i = 0; i < 4; ++i) values[i] = viewport[i];
    };

    b.enable = [](DrawCapability c) { glEnable(capabilities[c]); };
    b.disable = [](DrawCapability c) { glDisable(capabilities[c]); };
    b.depthFunc = [](DrawCompare c) { glDepthFunc(compares[c]); };
    b.depthMask = [](int write) { glDepthMask(flag(write)); };
    b.stencilFunc = [](DrawCompare c, int reference, uint32_t mask) {
        glStencilFunc(compares[c], reference, mask);
    };
    b.stencilOp = [](DrawStencilAction fails, DrawStencilAction depthFails, DrawStencilAction passes) {
        glStencilOp(stencilActions[fails], stencilActions[depthFails], stencilActions[passes]);
    };
    b.stencilMask = [](uint32_t mask) { glStencilMask(mask); };
    b.colorMask = [](int r, int g, int b, int a) { glColorMask(flag(r), flag(g), flag(b), flag(a)); };
    b.frontFace = [](DrawWinding w) { glFrontFace(w == drawClockwise ? GL_CW : GL_CCW); };
    b.smoothShading = [] { glShadeModel(GL_SMOOTH); };
    b.nicestPerspective = [] { glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST); };
    b.textureModulates = [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE); };
    b.depthClampAvailable = [] {
        return gl1VersionAtLeast(3, 2) || gl1HasExtension("GL_ARB_depth_clamp") ||
                       gl1HasExtension("GL_NV_depth_clamp")
                   ? 1
                   : 0;
    };

    b.clear = [](uint32_t buffers) { glClear(clearBits(buffers)); };
    b.clearColor = [](float r, float g, float b, float a) { glClearColor(r, g, b, a); };
    b.clearDepth = [](double depth) { glClearDepth(depth); };
    b.clearStencil = [](int value) { glClearStencil(value); };
    b.flush = [] { glFlush(); };

    b.lightPosition = [](const float position[4]) { glLightfv(GL_LIGHT0, GL_POSITION, position); };
    b.lightSpecular = [](const float colour[4]) { glLightfv(GL_LIGHT0, GL_SPECULAR, colour); };

    gl1FillAssets(b);
    gl1FillSum(b);
    return b;
}

const DrawBackend backend = makeBackend();

}  // namespace

const DrawBackend* const drawGl1Backend = &backend;

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
