// The gl1 renderer's ten-pass sum: the accumulation buffer, and the GPU sum
// in GLSL 1.20 over framebuffer objects, which every desktop driver of the
// last fifteen years has, with their entry points fetched at run time.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "draw/gl1/gl1.h"
#include "platform/platform.h"

#ifndef APIENTRY
#define APIENTRY
#endif

namespace {

// The GL names this path needs beyond GL 1.1. The framebuffer-object values
// are the same in the extension and in core GL.
enum : GLenum {
    glFramebuffer = 0x8D40,
    glRenderbuffer = 0x8D41,
    glColorAttachment0 = 0x8CE0,
    glDepthAttachment = 0x8D00,
    glStencilAttachment = 0x8D20,
    glFramebufferComplete = 0x8CD5,
    glDepth24Stencil8 = 0x88F0,
    glFragmentShader = 0x8B30,
    glVertexShader = 0x8B31,
    glCompileStatus = 0x8B81,
    glLinkStatus = 0x8B82,
    glTexture0 = 0x84C0,
    glMaxTextureImageUnits = 0x8872,
    glClampToEdge = 0x812F,
    // Rectangle textures take pixel coordinates; llvmpipe sums them a fifth
    // faster than normalised ones.
    glTextureRectangle = 0x84F5,
    glMaxRectangleTextureSize = 0x84F8,
};

struct GpuEntryPoints {
    void(APIENTRY* genFramebuffers)(GLsizei, GLuint*);
    void(APIENTRY* deleteFramebuffers)(GLsizei, const GLuint*);
    void(APIENTRY* bindFramebuffer)(GLenum, GLuint);
    void(APIENTRY* framebufferTexture2D)(GLenum, GLenum, GLenum, GLuint, GLint);
    void(APIENTRY* framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint);
    GLenum(APIENTRY* checkFramebufferStatus)(GLenum);
    void(APIENTRY* genRenderbuffers)(GLsizei, GLuint*);
    void(APIENTRY* deleteRenderbuffers)(GLsizei, const GLuint*);
    void(APIENTRY* bindRenderbuffer)(GLenum, GLuint);
    void(APIENTRY* renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei);
    GLuint(APIENTRY* createShader)(GLenum);
    void(APIENTRY* shaderSource)(GLuint, GLsizei, const char* const*, const GLint*);
    void(APIENTRY* compileShader)(GLuint);
    void(APIENTRY* getShaderiv)(GLuint, GLenum, GLint*);
    void(APIENTRY* getShaderInfoLog)(GLuint, GLsizei, GLsizei*, char*);
    void(APIENTRY* deleteShader)(GLuint);
    GLuint(APIENTRY* createProgram)();
    void(APIENTRY* attachShader)(GLuint, GLuint);
    void(APIENTRY* linkProgram)(GLuint);
    void(APIENTRY* getProgramiv)(GLuint, GLenum, GLint*);
    void(APIENTRY* getProgramInfoLog)(GLuint, GLsizei, GLsizei*, char*);
    void(APIENTRY* deleteProgram)(GLuint);
    void(APIENTRY* useProgram)(GLuint);
    GLint(APIENTRY* getUniformLocation)(GLuint, const char*);
    void(APIENTRY* uniform1i)(GLint, GLint);
    void(APIENTRY* uniform1f)(GLint, GLfloat);
    void(APIENTRY* activeTexture)(GLenum);
};

// What the path made in the current context; all zero when nothing is.
struct GpuSum {
    GpuEntryPoints gl;
    GLuint program;
    GLuint textures[drawSumPasses];
    GLuint framebuffers[drawSumPasses - 1];
    GLuint depthStencil;
    int width, height;  // the size the targets were made for, 0 for none
};

GpuSum gpu{};

// The accumulation buffer's arithmetic, channel by channel: each pass adds
// its 8-bit value / 255 times (weight x 32767), truncated toward zero; the
// return multiplies the sum by 1 / 32767, and the window's 8-bit buffer
// rounds it to the nearest step. The two factors come in as uniforms,
// worked out here in single precision as the accumulation buffer works
// them out.
const char* const vertexSource =
    "#version 120\n"
    "void main() { gl_Position = gl_Vertex; }\n";
const char* const fragmentSource =
    "#version 120\n"
    "#extension GL_ARB_texture_rectangle : require\n"
    "uniform sampler2DRect pass0, pass1, pass2, pass3, pass4, pass5, pass6, pass7, pass8, pass9;\n"
    "uniform float addScale, returnScale;\n"
    "vec4 share(sampler2DRect pass, vec2 at) { return floor(texture2DRect(pass, at) * addScale); }\n"
    "void main() {\n"
    "    vec2 at = gl_FragCoord.xy;\n"
    "    vec4 sum = share(pass0, at) + share(pass1, at) + share(pass2, at) + share(pass3, at)\n"
    "        + share(pass4, at) + share(pass5, at) + share(pass6, at) + share(pass7, at)\n"
    "        + share(pass8, at) + share(pass9, at);\n"
    "    gl_FragColor = sum * returnScale;\n"
    "}\n";

template <typename Function>
bool fetch(Function* entry, const char* name, const char* otherName = nullptr) {
    void* address = platformGetGLProcAddress(name);
    if (address == nullptr && otherName != nullptr) address = platformGetGLProcAddress(otherName);
    *entry = reinterpret_cast<Function>(address);
    return address != nullptr;
}

// Framebuffer objects by their core names where GL 3.0 or the ARB
// extension gives them, else by the older extension's.
bool fetchEntryPoints(GpuEntryPoints& e, bool core) {
    const char* ext = core ? "" : "EXT";
    char name[64];
    auto fb = [&](auto* entry, const char* base) {
        std::snprintf(name, sizeof name, "gl%s%s", base, ext);
        return fetch(entry, name);
    };
    return fb(&e.genFramebuffers, "GenFramebuffers") &&
           fb(&e.deleteFramebuffers, "DeleteFramebuffers") &&
           fb(&e.bindFramebuffer, "BindFramebuffer") &&
           fb(&e.framebufferTexture2D, "FramebufferTexture2D") &&
           fb(&e.framebufferRenderbuffer, "FramebufferRenderbuffer") &&
           fb(&e.checkFramebufferStatus, "CheckFramebufferStatus") &&
           fb(&e.genRenderbuffers, "GenRenderbuffers") &&
           fb(&e.deleteRenderbuffers, "DeleteRenderbuffers") &&
           fb(&e.bindRenderbuffer, "BindRenderbuffer") &&
           fb(&e.renderbufferStorage, "RenderbufferStorage") &&
           fetch(&e.createShader, "glCreateShader") && fetch(&e.shaderSource, "glShaderSource") &&
           fetch(&e.compileShader, "glCompileShader") && fetch(&e.getShaderiv, "glGetShaderiv") &&
           fetch(&e.getShaderInfoLog, "glGetShaderInfoLog") &&
           fetch(&e.deleteShader, "glDeleteShader") && fetch(&e.createProgram, "glCreateProgram") &&
           fetch(&e.attachShader, "glAttachShader") && fetch(&e.linkProgram, "glLinkProgram") &&
           fetch(&e.getProgramiv, "glGetProgramiv") &&
           fetch(&e.getProgramInfoLog, "glGetProgramInfoLog") && fetch(&e.deleteProgram, "glDeleteProgram") &&
           fetch(&e.useProgram, "glUseProgram") &&
           fetch(&e.getUniformLocation, "glGetUniformLocation") &&
           fetch(&e.uniform1i, "glUniform1i") && fetch(&e.uniform1f, "glUniform1f") &&
           fetch(&e.activeTexture, "glActiveTexture", "glActiveTextureARB");
}

// Why the last shader or program was refused: what the driver said first.
char refusal[200];

// The first line of a driver's log, after `what`.
void refuse(const char* what, char* log) {
    log[std::strcspn(log, "\r\n")] = '\0';
    std::snprintf(refusal, sizeof refusal, "%s: %s", what, log[0] != '\0' ? log : "(no log)");
}

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = gpu.gl.createShader(kind);
    GLint compiled = 0;
    gpu.gl.shaderSource(shader, 1, &source, nullptr);
    gpu.gl.compileShader(shader);
    gpu.gl.getShaderiv(shader, glCompileStatus, &compiled);
    if (compiled) return shader;
    char log[160] = "";
    gpu.gl.getShaderInfoLog(shader, sizeof log, nullptr, log);
    refuse("the summing shader does not compile", log);
    gpu.gl.deleteShader(shader);
    return 0;
}

// Compiles and links the summing shader and ties each sampler to its unit;
// null, or why not.
const char* buildProgram() {
    const GLuint vertex = compile(glVertexShader, vertexSource);
    const GLuint fragment = vertex != 0 ? compile(glFragmentShader, fragmentSource) : 0;
    GLint linked = 0;
    if (vertex != 0 && fragment != 0) {
        gpu.program = gpu.gl.createProgram();
        gpu.gl.attachShader(gpu.program, vertex);
        gpu.gl.attachShader(gpu.program, fragment);
        gpu.gl.linkProgram(gpu.program);
        gpu.gl.getProgramiv(gpu.program, glLinkStatus, &linked);
        if (!linked) {
            char log[160] = "";
            gpu.gl.getProgramInfoLog(gpu.program, sizeof log, nullptr, log);
            refuse("the summing shader does not link", log);
        }
    }
    if (vertex != 0) gpu.gl.deleteShader(vertex);
    if (fragment != 0) gpu.gl.deleteShader(fragment);
    if (vertex == 0 || fragment == 0 || !linked) return refusal;
    gpu.gl.useProgram(gpu.program);
    char name[8];
    for (int pass = 0; pass < drawSumPasses; ++pass) {
        std::snprintf(name, sizeof name, "pass%d", pass);
        gpu.gl.uniform1i(gpu.gl.getUniformLocation(gpu.program, name), pass);
    }
    gpu.gl.uniform1f(gpu.gl.getUniformLocation(gpu.program, "addScale"),
                     drawSumWeight * 32767.0f);
    gpu.gl.uniform1f(gpu.gl.getUniformLocation(gpu.program, "returnScale"), 1.0f / 32767.0f);
    gpu.gl.useProgram(0);
    return nullptr;
}

void releaseTargets() {
    if (gpu.framebuffers[0] != 0) gpu.gl.deleteFramebuffers(drawSumPasses - 1, gpu.framebuffers);
    if (gpu.depthStencil != 0) gpu.gl.deleteRenderbuffers(1, &gpu.depthStencil);
    if (gpu.textures[0] != 0) glDeleteTextures(drawSumPasses, gpu.textures);
    for (GLuint& id : gpu.framebuffers) id = 0;
    for (GLuint& id : gpu.textures) id = 0;
    gpu.depthStencil = 0;
    gpu.width = gpu.height = 0;
}

// Ten colour textures and one depth-stencil buffer of the viewport's size;
// passes 0 to 8 each get a framebuffer of their texture and that buffer.
const char* makeTargets(int width, int height) {
    releaseTargets();
    GLint largest = 0;
    glGetIntegerv(glMaxRectangleTextureSize, &largest);
    if (width > largest || height > largest) return "the window is larger than a texture can be";
    gl1ErrorsClear();
    glGenTextures(drawSumPasses, gpu.textures);
    for (GLuint texture : gpu.textures) {
        glBindTexture(glTextureRectangle, texture);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_WRAP_S, glClampToEdge);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_WRAP_T, glClampToEdge);
        glTexImage2D(glTextureRectangle, 0, GL_RGBA8, width, height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    glBindTexture(glTextureRectangle, 0);
    gpu.gl.genRenderbuffers(1, &gpu.depthStencil);
    gpu.gl.bindRenderbuffer(glRenderbuffer, gpu.depthStencil);
    gpu.gl.renderbufferStorage(glRenderbuffer, glDepth24Stencil8, width, height);
    gpu.gl.bindRenderbuffer(glRenderbuffer, 0);
    const bool made = glGetError() == GL_NO_ERROR;
    gpu.gl.genFramebuffers(drawSumPasses - 1, gpu.framebuffers);
    bool complete = made;
    for (int pass = 0; complete && pass < drawSumPasses - 1; ++pass) {
        gpu.gl.bindFramebuffer(glFramebuffer, gpu.framebuffers[pass]);
        gpu.gl.framebufferTexture2D(glFramebuffer, glColorAttachment0, glTextureRectangle,
                                    gpu.textures[pass], 0);
        gpu.gl.framebufferRenderbuffer(glFramebuffer, glDepthAttachment, glRenderbuffer,
                                       gpu.depthStencil);
        gpu.gl.framebufferRenderbuffer(glFramebuffer, glStencilAttachment, glRenderbuffer,
                                       gpu.depthStencil);
        complete = gpu.gl.checkFramebufferStatus(glFramebuffer) == glFramebufferComplete;
    }
    gpu.gl.bindFramebuffer(glFramebuffer, 0);
    if (!made) return (releaseTargets(), "the pass textures cannot be made at this size");
    if (!complete) return (releaseTargets(), "the pass framebuffers are incomplete");
    // The last pass is copied from the window each frame: tried once here,
    // so that a window whose colour the textures cannot take is found now.
    glBindTexture(glTextureRectangle, gpu.textures[drawSumPasses - 1]);
    glCopyTexSubImage2D(glTextureRectangle, 0, 0, 0, 0, 0, width, height);
    glBindTexture(glTextureRectangle, 0);
    if (!gl1ErrorsClear()) return (releaseTargets(), "the window's colour cannot be copied into the pass textures");
    gpu.width = width, gpu.height = height;
    return nullptr;
}

}  // namespace

int gl1SumCreate(char* why, int whySize) {
    gl1SumDestroy();
    const bool core = gl1VersionAtLeast(3, 0) ||
                      gl1HasExtension("GL_ARB_framebuffer_object");
    const char* reason = nullptr;
    GLint units = 0;
    glGetIntegerv(glMaxTextureImageUnits, &units);
    if (!core && !(gl1HasExtension("GL_EXT_framebuffer_object") &&
                   gl1HasExtension("GL_EXT_packed_depth_stencil"))) {
        reason = "no framebuffer objects with a packed depth-stencil format";
    } else if (!gl1VersionAtLeast(2, 1)) {
        reason = "no GLSL 1.20";
    } else if (!gl1VersionAtLeast(3, 1) && !gl1HasExtension("GL_ARB_texture_rectangle")) {
        reason = "no rectangle textures";
    } else if (units < drawSumPasses) {
        reason = "fewer than ten texture units";
    } else if (!fetchEntryPoints(gpu.gl, core)) {
        reason = "a GL entry point is missing";
    } else {
        reason = buildProgram();
    }
    if (reason == nullptr) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        if (viewport[2] > 0 && viewport[3] > 0) reason = makeTargets(viewport[2], viewport[3]);
    }
    if (reason != nullptr) {
        drawExplain(why, whySize, reason);
        gl1SumDestroy();
        return 0;
    }
    return 1;
}

void gl1SumDestroy() {
    if (gpu.gl.useProgram != nullptr) {
        releaseTargets();
        if (gpu.program != 0) gpu.gl.deleteProgram(gpu.program);
    }
    gpu = GpuSum{};
}

int gl1SumFollowViewport(char* why, int whySize) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] <= 0 || viewport[3] <= 0) return 1;
    if (viewport[2] == gpu.width && viewport[3] == gpu.height) return 1;
    const char* reason = makeTargets(viewport[2], viewport[3]);
    if (reason != nullptr) drawExplain(why, whySize, reason);
    return reason == nullptr;
}

void gl1SumPassBegin(int pass) {
    gpu.gl.bindFramebuffer(glFramebuffer, pass < drawSumPasses - 1 ? gpu.framebuffers[pass] : 0);
}

void gl1SumPassAdd(int pass) {
    if (pass != drawSumPasses - 1) return;
    // The last pass stays in the window, depth and all; its colour is copied
    // beside the others on the GPU.
    glBindTexture(glTextureRectangle, gpu.textures[pass]);
    glCopyTexSubImage2D(glTextureRectangle, 0, 0, 0, 0, 0, gpu.width, gpu.height);
    glBindTexture(glTextureRectangle, 0);
}

void gl1SumReturn() {
    // One quad over the whole viewport, straight to clip space, writing
    // colour only.
    gpu.gl.bindFramebuffer(glFramebuffer, 0);
    gpu.gl.useProgram(gpu.program);
    for (int pass = drawSumPasses - 1; pass >= 0; --pass) {
        gpu.gl.activeTexture(glTexture0 + pass);
        glBindTexture(glTextureRectangle, gpu.textures[pass]);
    }
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    for (int pass = drawSumPasses - 1; pass >= 0; --pass) {
        gpu.gl.activeTexture(glTexture0 + pass);
        glBindTexture(glTextureRectangle, 0);
    }
    gpu.gl.useProgram(0);
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
