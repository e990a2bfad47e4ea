// The es3 renderer's ten passes: their composition from counts in GLSL ES
// 3.00, each kept picture's texel fetched at the fragment's own pixel.
// OpenGL ES has no accumulation buffer.
#include <cstdio>
#include <initializer_list>

#include "draw/compose.h"
#include "draw/es3/es3.h"

namespace {

const char* const vertexSource =
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n";
const char* const fragmentHead =
    "precision highp float;\n"
    "uniform highp sampler2D base, counts;\n"
    "out vec4 colourOut;\n"
    "#define FETCH(picture) texelFetch(picture, ivec2(gl_FragCoord.xy), 0)\n"
    "#define COLOUR_OUT colourOut\n";

struct Composer {
    GLuint program;
    GLuint vertexArray, buffer;  // the triangle the frame is composed with
    GLuint base, counts;         // the kept pictures
    GLenum format;               // theirs: the window's own
    int width, height;           // the size they were made for, 0 for none
};

Composer composer{};

void releasePictures() {
    if (composer.base != 0) glDeleteTextures(1, &composer.base);
    if (composer.counts != 0) glDeleteTextures(1, &composer.counts);
    composer.base = composer.counts = 0;
    composer.width = composer.height = 0;
}

// A copy from the window must keep its colour format exactly: the texture
// format with the window's bits (into `bits`), or 0 for none.
GLenum windowFormat(GLint bits[4]) {
    struct Match {
        GLint red, green, blue, alpha;
        GLenum format;
    };
    const Match matches[] = {{5, 6, 5, 0, GL_RGB565},  {4, 4, 4, 4, GL_RGBA4},
                             {5, 5, 5, 1, GL_RGB5_A1}, {8, 8, 8, 0, GL_RGB8},
                             {8, 8, 8, 8, GL_RGBA8},   {10, 10, 10, 2, GL_RGB10_A2}};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    glGetIntegerv(GL_ALPHA_BITS, &bits[3]);
    for (const Match& m : matches)
        if (m.red == bits[0] && m.green == bits[1] && m.blue == bits[2] && m.alpha == bits[3])
            return m.format;
    return 0;
}

// The two kept pictures, of the viewport's size.
const char* makePictures(int width, int height) {
    releasePictures();
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width > largest || height > largest) return "the window is larger than a texture can be";
    es3ErrorsClear();
    for (GLuint* texture : {&composer.base, &composer.counts}) {
        glGenTextures(1, texture);
        glBindTexture(GL_TEXTURE_2D, *texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexStorage2D(GL_TEXTURE_2D, 1, composer.format, width, height);
    }
    // Copied from the window every frame: tried once here, so that a window
    // whose colour the textures cannot take is found now.
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    es3TextureRebind();
    if (!es3ErrorsClear()) {
        releasePictures();
        return "the window's colour cannot be copied into a texture of this size";
    }
    composer.width = width, composer.height = height;
    return nullptr;
}

void keep(GLuint texture) {
    es3BatchFlush();
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, composer.width, composer.height);
    es3TextureRebind();
}

}  // namespace

// OpenGL ES has no accumulation buffer.
int es3AccumBits() {
    return 0;
}

void es3AccumAdd(float) {}
void es3AccumReturn(float) {}

void es3BlendFunc(DrawBlend blend) {
    es3BatchFlush();
    glBlendFunc(GL_ONE, blend == drawBlendAdd ? GL_ONE : GL_ZERO);
}

void es3ColourSteps(float steps[3]) {
    GLint bits[4];
    windowFormat(bits);
    for (int i = 0; i < 3; ++i) steps[i] = composeStep(bits[i]);
}

int es3ComposeCreate(const DrawComposition* composition, char* why, int whySize) {
    es3BatchFlush();
    es3ComposeDestroy();
    GLint stencil = 0, bits[4];
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    composer.format = windowFormat(bits);
    char reason[160] = "";
    if (stencil < 8) {
        drawExplain(reason, sizeof reason, "the window's stencil buffer has fewer than eight bits");
    } else if (composer.format == 0) {
        std::snprintf(reason, sizeof reason,
                      "no texture format takes a copy of the window's %d/%d/%d/%d colour bits",
                      bits[0], bits[1], bits[2], bits[3]);
    } else {
        composer.program =
            es3Program("", vertexSource, fragmentHead, composeFragmentBody, reason, sizeof reason);
    }
    if (composer.program != 0) {
        const int channels[3] = {bits[0], bits[1], bits[2]};
        ComposeUniform uniforms[composeUniformCount];
        composeUniforms(*composition, channels, uniforms);
        const GLuint p = composer.program;
        glUseProgram(p);
        glUniform1i(glGetUniformLocation(p, "base"), 0);
        glUniform1i(glGetUniformLocation(p, "counts"), 1);
        for (const ComposeUniform& u : uniforms) {
            const GLint at = glGetUniformLocation(p, u.name);
            u.size == 3 ? glUniform3fv(at, 1, u.values) : glUniform1f(at, u.values[0]);
        }
        glUseProgram(0);
        const float cover[6] = {-1, -1, 3, -1, -1, 3};
        glGenVertexArrays(1, &composer.vertexArray);
        glGenBuffers(1, &composer.buffer);
        glBindVertexArray(composer.vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, composer.buffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof cover, cover, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (es3.viewport[2] > 0 && es3.viewport[3] > 0) {
            const char* failed = makePictures(es3.viewport[2], es3.viewport[3]);
            if (failed != nullptr) drawExplain(reason, sizeof reason, failed);
        }
    }
    if (composer.program == 0 || composer.width == 0) {
        drawExplain(why, whySize, reason[0] != '\0' ? reason : "the kept pictures cannot be made");
        es3ComposeDestroy();
        return 0;
    }
    return 1;
}

void es3ComposeDestroy() {
    releasePictures();
    if (composer.program != 0) glDeleteProgram(composer.program);
    if (composer.buffer != 0) glDeleteBuffers(1, &composer.buffer);
    if (composer.vertexArray != 0) glDeleteVertexArrays(1, &composer.vertexArray);
    composer = Composer{};
}

int es3ComposeFollowViewport(char* why, int whySize) {
    es3BatchFlush();
    const int width = es3.viewport[2], height = es3.viewport[3];
    if (width <= 0 || height <= 0 || (width == composer.width && height == composer.height))
        return 1;
    const char* reason = makePictures(width, height);
    if (reason != nullptr) drawExplain(why, whySize, reason);
    return reason == nullptr;
}

void es3ComposeKeepBase() {
    keep(composer.base);
}

void es3ComposeKeepCounts() {
    keep(composer.counts);
}

// One triangle over the whole viewport, straight to clip space, writing
// colour only.
void es3Compose() {
    es3BatchFlush();
    glUseProgram(composer.program);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, composer.counts);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, composer.base);
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    const GLboolean stencilTest = glIsEnabled(GL_STENCIL_TEST);
    const GLboolean blending = glIsEnabled(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    glBindVertexArray(composer.vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
    if (depthTest) glEnable(GL_DEPTH_TEST);
    if (stencilTest) glEnable(GL_STENCIL_TEST);
    if (blending) glEnable(GL_BLEND);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    es3TextureRebind();
    glUseProgram(0);
}
