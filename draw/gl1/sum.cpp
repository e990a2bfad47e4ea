// The gl1 renderer's ten passes: the accumulation buffer, and their
// composition from counts in GLSL 1.20 over rectangle textures, which every
// desktop driver of the last fifteen years has, with the entry points beyond
// GL 1.1 fetched at run time. The composition needs no framebuffer object:
// the pictures it keeps are copied from the window.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "draw/compose.h"
#include "draw/gl1/gl1.h"
#include "platform/platform.h"

#ifndef APIENTRY
#define APIENTRY
#endif

namespace {

// The GL names this path needs beyond GL 1.1.
enum : GLenum {
    glFragmentShader = 0x8B30,
    glVertexShader = 0x8B31,
    glCompileStatus = 0x8B81,
    glLinkStatus = 0x8B82,
    glTexture0 = 0x84C0,
    glTexture1 = 0x84C1,
    glClampToEdge = 0x812F,
    // Rectangle textures take pixel coordinates; llvmpipe reads them a fifth
    // faster than normalised ones.
    glTextureRectangle = 0x84F5,
    glMaxRectangleTextureSize = 0x84F8,
    glRgb5 = 0x8050,
    glRgb10A2 = 0x8059,
};

struct EntryPoints {
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
    void(APIENTRY* uniform3fv)(GLint, GLsizei, const GLfloat*);
    void(APIENTRY* activeTexture)(GLenum);
};

// What the composition made in the current context; all zero when nothing.
struct Composer {
    EntryPoints gl;
    GLuint program;
    GLuint base, counts;  // the kept pictures
    GLenum format;        // theirs, the window's own
    int width, height;    // the size they were made for, 0 for none
};

Composer composer{};

// The window's red, green and blue bits.
void colourBits(int bits[3]) {
    const GLenum names[3] = {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS};
    for (int i = 0; i < 3; ++i) {
        GLint value = 0;
        glGetIntegerv(names[i], &value);
        bits[i] = value;
    }
}

const char* const vertexSource =
    "#version 120\n"
    "void main() { gl_Position = gl_Vertex; }\n";
const char* const fragmentHead =
    "#version 120\n"
    "#extension GL_ARB_texture_rectangle : require\n"
    "uniform sampler2DRect base, counts;\n"
    "#define FETCH(picture) texture2DRect(picture, gl_FragCoord.xy)\n"
    "#define COLOUR_OUT gl_FragColor\n";

template <typename Function>
bool fetch(Function* entry, const char* name, const char* otherName = nullptr) {
    void* address = platformGetGLProcAddress(name);
    if (address == nullptr && otherName != nullptr) address = platformGetGLProcAddress(otherName);
    *entry = reinterpret_cast<Function>(address);
    return address != nullptr;
}

bool fetchEntryPoints(EntryPoints& e) {
    return fetch(&e.createShader, "glCreateShader") && fetch(&e.shaderSource, "glShaderSource") &&
           fetch(&e.compileShader, "glCompileShader") && fetch(&e.getShaderiv, "glGetShaderiv") &&
           fetch(&e.getShaderInfoLog, "glGetShaderInfoLog") &&
           fetch(&e.deleteShader, "glDeleteShader") && fetch(&e.createProgram, "glCreateProgram") &&
           fetch(&e.attachShader, "glAttachShader") && fetch(&e.linkProgram, "glLinkProgram") &&
           fetch(&e.getProgramiv, "glGetProgramiv") &&
           fetch(&e.getProgramInfoLog, "glGetProgramInfoLog") &&
           fetch(&e.deleteProgram, "glDeleteProgram") && fetch(&e.useProgram, "glUseProgram") &&
           fetch(&e.getUniformLocation, "glGetUniformLocation") &&
           fetch(&e.uniform1i, "glUniform1i") && fetch(&e.uniform1f, "glUniform1f") &&
           fetch(&e.uniform3fv, "glUniform3fv") &&
           fetch(&e.activeTexture, "glActiveTexture", "glActiveTextureARB");
}

// Why the last shader or program was refused: what the driver said first.
char refusal[240];

void refuse(const char* what, char* log) {
    log[std::strcspn(log, "\r\n")] = '\0';
    std::snprintf(refusal, sizeof refusal, "%s: %s", what, log[0] != '\0' ? log : "(no log)");
}

GLuint compile(GLenum kind, int count, const char* const* sources) {
    const GLuint shader = composer.gl.createShader(kind);
    GLint compiled = 0;
    composer.gl.shaderSource(shader, count, sources, nullptr);
    composer.gl.compileShader(shader);
    composer.gl.getShaderiv(shader, glCompileStatus, &compiled);
    if (compiled) return shader;
    char log[200] = "";
    composer.gl.getShaderInfoLog(shader, sizeof log, nullptr, log);
    refuse("the composing shader does not compile", log);
    composer.gl.deleteShader(shader);
    return 0;
}

// Compiles and links the composing shader and gives it its uniforms; null,
// or why not.
const char* buildProgram(const DrawComposition& composition) {
    const char* const fragmentSources[2] = {fragmentHead, composeFragmentBody};
    const GLuint vertex = compile(glVertexShader, 1, &vertexSource);
    const GLuint fragment = vertex != 0 ? compile(glFragmentShader, 2, fragmentSources) : 0;
    GLint linked = 0;
    if (vertex != 0 && fragment != 0) {
        composer.program = composer.gl.createProgram();
        composer.gl.attachShader(composer.program, vertex);
        composer.gl.attachShader(composer.program, fragment);
        composer.gl.linkProgram(composer.program);
        composer.gl.getProgramiv(composer.program, glLinkStatus, &linked);
        if (!linked) {
            char log[200] = "";
            composer.gl.getProgramInfoLog(composer.program, sizeof log, nullptr, log);
            refuse("the composing shader does not link", log);
        }
    }
    if (vertex != 0) composer.gl.deleteShader(vertex);
    if (fragment != 0) composer.gl.deleteShader(fragment);
    if (vertex == 0 || fragment == 0 || !linked) return refusal;
    int bits[3];
    colourBits(bits);
    ComposeUniform uniforms[composeUniformCount];
    composeUniforms(composition, bits, uniforms);
    const EntryPoints& gl = composer.gl;
    const GLuint p = composer.program;
    gl.useProgram(p);
    gl.uniform1i(gl.getUniformLocation(p, "base"), 0);
    gl.uniform1i(gl.getUniformLocation(p, "counts"), 1);
    for (const ComposeUniform& u : uniforms) {
        const GLint at = gl.getUniformLocation(p, u.name);
        u.size == 3 ? gl.uniform3fv(at, 1, u.values) : gl.uniform1f(at, u.values[0]);
    }
    gl.useProgram(0);
    return nullptr;
}

void releasePictures() {
    if (composer.base != 0) glDeleteTextures(1, &composer.base);
    if (composer.counts != 0) glDeleteTextures(1, &composer.counts);
    composer.base = composer.counts = 0;
    composer.width = composer.height = 0;
}

// The two kept pictures, of the viewport's size and the window's own
// format, so that a copy keeps every value as the window holds it.
const char* makePictures(int width, int height) {
    releasePictures();
    GLint largest = 0;
    glGetIntegerv(glMaxRectangleTextureSize, &largest);
    if (width > largest || height > largest) return "the window is larger than a texture can be";
    gl1ErrorsClear();
    for (GLuint* texture : {&composer.base, &composer.counts}) {
        glGenTextures(1, texture);
        glBindTexture(glTextureRectangle, *texture);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_WRAP_S, glClampToEdge);
        glTexParameteri(glTextureRectangle, GL_TEXTURE_WRAP_T, glClampToEdge);
        glTexImage2D(glTextureRectangle, 0, composer.format, width, height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    // Copied from the window every frame: tried once here, so that a window
    // whose colour the textures cannot take is found now.
    glCopyTexSubImage2D(glTextureRectangle, 0, 0, 0, 0, 0, width, height);
    glBindTexture(glTextureRectangle, 0);
    if (!gl1ErrorsClear()) {
        releasePictures();
        return "the window's colour cannot be copied into a texture of this size";
    }
    composer.width = width, composer.height = height;
    return nullptr;
}

void keep(GLuint texture) {
    glBindTexture(glTextureRectangle, texture);
    glCopyTexSubImage2D(glTextureRectangle, 0, 0, 0, 0, 0, composer.width, composer.height);
    glBindTexture(glTextureRectangle, 0);
}

}  // namespace

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
    glBlendFunc(GL_ONE, blend == drawBlendAdd ? GL_ONE : GL_ZERO);
}

void gl1ColourSteps(float steps[3]) {
    int bits[3];
    colourBits(bits);
    for (int i = 0; i < 3; ++i) steps[i] = composeStep(bits[i]);
}

int gl1ComposeCreate(const DrawComposition* composition, char* why, int whySize) {
    gl1ComposeDestroy();
    GLint red = 0, green = 0, blue = 0, stencil = 0;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    composer.format = GL_RGBA8;
    if (red == 5 && green == 6 && blue == 5) composer.format = glRgb5;
    if (red == 10 && green == 10 && blue == 10) composer.format = glRgb10A2;
    const char* reason = nullptr;
    if (stencil < 8) {
        reason = "the window's stencil buffer has fewer than eight bits";
    } else if (!gl1VersionAtLeast(2, 1)) {
        reason = "no GLSL 1.20";
    } else if (!fetchEntryPoints(composer.gl)) {
        reason = "a GL entry point is missing";
    } else {
        reason = buildProgram(*composition);
    }
    if (reason == nullptr) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        if (viewport[2] > 0 && viewport[3] > 0) reason = makePictures(viewport[2], viewport[3]);
    }
    if (reason != nullptr) {
        drawExplain(why, whySize, reason);
        gl1ComposeDestroy();
        return 0;
    }
    return 1;
}

void gl1ComposeDestroy() {
    if (composer.gl.useProgram != nullptr) {
        releasePictures();
        if (composer.program != 0) composer.gl.deleteProgram(composer.program);
    }
    composer = Composer{};
}

int gl1ComposeFollowViewport(char* why, int whySize) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] <= 0 || viewport[3] <= 0) return 1;
    if (viewport[2] == composer.width && viewport[3] == composer.height) return 1;
    const char* reason = makePictures(viewport[2], viewport[3]);
    if (reason != nullptr) drawExplain(why, whySize, reason);
    return reason == nullptr;
}

void gl1ComposeKeepBase() {
    keep(composer.base);
}

void gl1ComposeKeepCounts() {
    keep(composer.counts);
}

void gl1Compose() {
    // One quad over the whole viewport, straight to clip space, writing
    // colour only.
    const EntryPoints& gl = composer.gl;
    gl.useProgram(composer.program);
    gl.activeTexture(glTexture1);
    glBindTexture(glTextureRectangle, composer.counts);
    gl.activeTexture(glTexture0);
    glBindTexture(glTextureRectangle, composer.base);
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopAttrib();
    glBindTexture(glTextureRectangle, 0);
    gl.activeTexture(glTexture1);
    glBindTexture(glTextureRectangle, 0);
    gl.activeTexture(glTexture0);
    gl.useProgram(0);
}
