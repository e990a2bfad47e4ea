// The es3 renderer: the vocabulary over OpenGL ES 3.0. Vertices are kept
// until their primitive ends and drawn in batches (draw/es3_batch.cpp);
// matrices, the light and the raster position are worked out here, as the
// fixed pipeline works them out.
#include "draw/es3.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "draw/mipmap.h"
#include "platform/platform.h"

Es3State es3;

namespace {

const GLenum depthClampExt = 0x864F;  // GL_DEPTH_CLAMP_EXT
const GLenum compares[] = {GL_NEVER,    GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                           GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
const GLenum stencilActions[] = {GL_KEEP, GL_INCR, GL_DECR, GL_REPLACE};

Matrix& current() {
    return es3.stacks[es3.mode].back();
}

void multiply(const Matrix& by) {
    es3Flush();
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

int start(char* why, int whySize) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0;
    const char* reason = nullptr;
    if (version == nullptr || std::sscanf(version, "OpenGL ES %d.", &major) != 1 || major < 3) {
        reason = "the context is not OpenGL ES 3.0 or later";
    } else {
        reason = es3BatchCreate();
    }
    if (reason != nullptr) {
        es3BatchDestroy();
        std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
        return 0;
    }
    es3.depthClampExtension = es3HasExtension("GL_EXT_depth_clamp") != 0;
    if (!es3.depthClampExtension) {
        platformWarn("this OpenGL ES has no GL_EXT_depth_clamp: the far plane is put at infinity "
                     "instead, so a far light's shadow stays whole");
    }
    resetState();
    return 1;
}

void stop() {
    es3Flush();
    es3SumDestroy();
    es3TextDestroy();
    es3BatchDestroy();
}

void capability(DrawCapability capability, bool on) {
    es3Flush();
    switch (capability) {
    case drawDepthTest: return on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    case drawStencilTest: return on ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
    case drawCulling: return on ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    case drawBlending: return on ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    case drawTexturing: es3.texturing = on; return;
    case drawLighting: es3.lighting = on; return;
    case drawLight0: es3.light0 = on; return;
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
            toLight[i] = es3.lightEye[3] != 0.0f ? es3.lightEye[i] / es3.lightEye[3] - eye[i] / eye[3]
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

void rasterPos2f(float x, float y) {
    const float object[4] = {x, y, 0.0f, 1.0f};
    float eye[4], clip[4];
    matrixTransform(es3.stacks[drawModelView].back(), object, eye);
    matrixTransform(es3.stacks[drawProjection].back(), eye, clip);
    es3.rasterValid = clip[3] > 0.0f;
    for (int i = 0; i < 3; ++i) es3.rasterValid = es3.rasterValid && std::fabs(clip[i]) <= clip[3];
    if (!es3.rasterValid) return;
    es3.raster[0] = es3.viewport[0] + (clip[0] / clip[3] + 1.0f) * 0.5f * es3.viewport[2];
    es3.raster[1] = es3.viewport[1] + (clip[1] / clip[3] + 1.0f) * 0.5f * es3.viewport[3];
    es3.raster[2] = (clip[2] / clip[3] + 1.0f) * 0.5f;
    if (es3.lighting) {
        litColour(eye, es3.rasterColour);
    } else {
        std::memcpy(es3.rasterColour, &es3.current.red, sizeof es3.rasterColour);
    }
}

// Level 0 fitted to powers of two, then every level down to 1 x 1, each
// made from the one before as GLU makes them.
void textureMipmaps(int width, int height, const uint8_t* rgb) {
    es3Flush();
    GLint largest = 0, alignment = 4;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    int w = width, h = height;
    mipmapFittedSize(&w, &h, largest);
    std::vector<uint8_t> level(rgb, rgb + static_cast<size_t>(width) * height * 3);
    if (w != width || h != height) {
        level.resize(static_cast<size_t>(w) * h * 3);
        mipmapScale(rgb, width, height, level.data(), w, h);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int index = 0;; ++index) {
        glTexImage2D(GL_TEXTURE_2D, index, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, level.data());
        if (w == 1 && h == 1) break;
        level = mipmapHalve(level.data(), w, h);
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

DrawBackend makeBackend() {
    DrawBackend b{};
    b.start = start;
    b.stop = stop;

    b.begin = [](DrawPrimitive p) {
        es3.inside = true;
        es3.primitive = p;
        es3.vertices.clear();
    };
    b.end = [] {
        if (es3.inside) es3BatchAdd(es3.primitive, es3.vertices);
        es3.inside = false;
    };
    b.vertex3f = [](float x, float y, float z) {
        if (!es3.inside) return;
        es3.vertices.push_back(es3.current);
        es3.vertices.back().x = x, es3.vertices.back().y = y, es3.vertices.back().z = z;
    };
    b.texCoord2i = [](int s, int t) {
        es3.current.s = static_cast<float>(s);
        es3.current.t = static_cast<float>(t);
    };
    b.color3f = [](float r, float g, float b) {
        es3.current.red = r, es3.current.green = g, es3.current.blue = b, es3.current.alpha = 1.0f;
    };
    b.color4f = [](float r, float g, float b, float a) {
        es3.current.red = r, es3.current.green = g, es3.current.blue = b, es3.current.alpha = a;
    };
    b.normal3f = [](float x, float y, float z) {
        es3.normal[0] = x, es3.normal[1] = y, es3.normal[2] = z;
    };

    b.matrixMode = [](DrawMatrix m) { es3.mode = m; };
    b.loadIdentity = [] { es3Flush(), current() = matrixIdentity(); };
    b.pushMatrix = [] { es3.stacks[es3.mode].push_back(current()); };
    b.popMatrix = [] {
        if (es3.stacks[es3.mode].size() > 1) es3Flush(), es3.stacks[es3.mode].pop_back();
    };
    b.translatef = [](float x, float y, float z) { multiply(matrixTranslation(x, y, z)); };
    b.perspective = [](double fovY, double aspect, double zNear, double zFar) {
        multiply(matrixPerspective(fovY, aspect, zNear, zFar, !es3.depthClampExtension));
    };
    b.lookAt = [](double ex, double ey, double ez, double cx, double cy, double cz, double ux,
                  double uy, double uz) { multiply(matrixLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz)); };
    b.viewport = [](int x, int y, int width, int height) {
        es3Flush();
        glViewport(x, y, width, height);
        glGetIntegerv(GL_VIEWPORT, es3.viewport);
    };
    b.getMatrix = [](DrawMatrix m, double values[16]) {
        for (int i = 0; i < 16; ++i) values[i] = es3.stacks[m].back().m[i];
    };
    b.getViewport = [](int values[4]) { std::memcpy(values, es3.viewport, sizeof es3.viewport); };

    b.enable = [](DrawCapability c) { capability(c, true); };
    b.disable = [](DrawCapability c) { capability(c, false); };
    b.depthFunc = [](DrawCompare c) { es3Flush(), glDepthFunc(compares[c]); };
    b.depthMask = [](int write) { es3Flush(), glDepthMask(write ? GL_TRUE : GL_FALSE); };
    b.stencilFunc = [](DrawCompare c, int reference, uint32_t mask) {
        es3Flush(), glStencilFunc(compares[c], reference, mask);
    };
    b.stencilOp = [](DrawStencilAction fails, DrawStencilAction depthFails, DrawStencilAction passes) {
        es3Flush();
        glStencilOp(stencilActions[fails], stencilActions[depthFails], stencilActions[passes]);
    };
    b.stencilMask = [](uint32_t mask) { es3Flush(), glStencilMask(mask); };
    b.colorMask = [](int r, int g, int b, int a) { es3Flush(), glColorMask(r != 0, g != 0, b != 0, a != 0); };
    b.frontFace = [](DrawWinding w) { es3Flush(), glFrontFace(w == drawClockwise ? GL_CW : GL_CCW); };
    // The shaders interpolate colours and texture coordinates with
    // perspective, and multiply the texel by the colour, always.
    b.smoothShading = [] {};
    b.nicestPerspective = [] {};
    b.textureModulates = [] {};
    b.depthClampAvailable = [] { return 1; };

    b.clear = [](uint32_t buffers) {
        es3Flush();
        const GLbitfield bits = ((buffers & drawColourBuffer) ? GL_COLOR_BUFFER_BIT : 0) |
                                ((buffers & drawDepthBuffer) ? GL_DEPTH_BUFFER_BIT : 0) |
                                ((buffers & drawStencilBuffer) ? GL_STENCIL_BUFFER_BIT : 0);
        if (bits != 0) glClear(bits);
    };
    b.clearColor = [](float r, float g, float b, float a) { glClearColor(r, g, b, a); };
    b.clearDepth = [](double depth) { glClearDepthf(static_cast<float>(depth)); };
    b.clearStencil = [](int value) { glClearStencil(value); };
    b.flush = [] { es3Flush(), glFlush(); };

    b.lightPosition = [](const float position[4]) {
        matrixTransform(es3.stacks[drawModelView].back(), position, es3.lightEye);
    };
    b.lightSpecular = [](const float*) {};  // the default material reflects none of it

    b.textureCreate = [] {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        return static_cast<uint32_t>(texture);
    };
    b.textureBind = [](uint32_t texture) {
        if (texture == es3.boundTexture) return;  // each box face binds the box's again
        es3Flush();
        glBindTexture(GL_TEXTURE_2D, es3.boundTexture = texture);
    };
    b.textureDelete = [](uint32_t texture) {
        es3Flush();
        const GLuint name = texture;
        glDeleteTextures(1, &name);
        if (es3.boundTexture == texture) es3.boundTexture = 0;
    };
    b.textureMipmaps = textureMipmaps;
    b.textureTrilinear = [] {
        es3Flush();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    };
    b.rasterPos2f = rasterPos2f;

    es3FillText(b);
    es3FillSum(b);
    return b;
}

const DrawBackend backend = makeBackend();

}  // namespace

const DrawBackend* const drawEs3Backend = &backend;

int es3HasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, i));
        if (extension != nullptr && std::strcmp(extension, name) == 0) return 1;
    }
    return 0;
}
