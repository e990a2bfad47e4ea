// The es3 renderer's ten-pass sum: the same arithmetic as gl1's GPU sum, in
// GLSL ES 3.00, each pass's texel fetched at the fragment's own pixel.
// OpenGL ES has no accumulation buffer.
#include <cstdio>

#include "draw/es3.h"

namespace {

const int passes = drawSumPasses;

const char* const vertexSource =
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n";
const char* const fragmentSource =
    "precision highp float;\n"
    "uniform highp sampler2D pass[10];\n"
    "uniform float addScale, returnScale;\n"
    "out vec4 colourOut;\n"
    "void main() {\n"
    "    ivec2 at = ivec2(gl_FragCoord.xy);\n"
    "    vec4 sum = vec4(0.0);\n"
    "    sum += floor(texelFetch(pass[0], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[1], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[2], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[3], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[4], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[5], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[6], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[7], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[8], at, 0) * addScale);\n"
    "    sum += floor(texelFetch(pass[9], at, 0) * addScale);\n"
    "    colourOut = sum * returnScale;\n"
    "}\n";

struct Sum {
    GLuint program;
    GLuint vertexArray, buffer;  // the triangle the sum is drawn with
    GLuint textures[passes];
    GLuint framebuffers[passes - 1];
    GLuint depthStencil;
    GLenum format;      // the pass textures' format: the window's own
    int width, height;  // the size the targets were made for, 0 for none
};

Sum sum{};

void explain(char* why, int whySize, const char* reason) {
    if (why != nullptr && whySize > 0) std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
}

void releaseTargets() {
    if (sum.framebuffers[0] != 0) glDeleteFramebuffers(passes - 1, sum.framebuffers);
    if (sum.depthStencil != 0) glDeleteRenderbuffers(1, &sum.depthStencil);
    if (sum.textures[0] != 0) glDeleteTextures(passes, sum.textures);
    sum = Sum{sum.program, sum.vertexArray, sum.buffer, {}, {}, 0, sum.format, 0, 0};
}

// The texture format that the window's colour can be copied into, with the
// window's red, green, blue and alpha bits; 0 where no texture format has
// them. OpenGL ES copies only between formats of the same bits a channel,
// so the last pass's texture takes the window's own, and the other passes'
// textures the same, to be summed alike.
GLenum windowFormat(GLint bits[4]) {
    struct Match {
        GLint red, green, blue, alpha;
        GLenum format;
    };
    const Match matches[] = {{5, 6, 5, 0, GL_RGB565}, {4, 4, 4, 4, GL_RGBA4},
                             {5, 5, 5, 1, GL_RGB5_A1}, {8, 8, 8, 0, GL_RGB8},
                             {8, 8, 8, 8, GL_RGBA8},   {10, 10, 10, 2, GL_RGB10_A2}};
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    glGetIntegerv(GL_ALPHA_BITS, &bits[3]);
    for (const Match& m : matches) {
        if (m.red == bits[0] && m.green == bits[1] && m.blue == bits[2] && m.alpha == bits[3]) {
            return m.format;
        }
    }
    return 0;
}

// Ten colour textures and one depth-stencil buffer of the viewport's size;
// passes 0 to 8 each get a framebuffer of their texture and that buffer.
const char* makeTargets(int width, int height) {
    releaseTargets();
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width > largest || height > largest) return "the window is larger than a texture can be";
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenTextures(passes, sum.textures);
    for (GLuint texture : sum.textures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexStorage2D(GL_TEXTURE_2D, 1, sum.format, width, height);
    }
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture);
    glGenRenderbuffers(1, &sum.depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, sum.depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    const bool made = glGetError() == GL_NO_ERROR;
    glGenFramebuffers(passes - 1, sum.framebuffers);
    bool complete = made;
    for (int pass = 0; complete && pass < passes - 1; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, sum.framebuffers[pass]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               sum.textures[pass], 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  sum.depthStencil);
        complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!made) return (releaseTargets(), "the pass textures cannot be made at this size");
    if (!complete) return (releaseTargets(), "the pass framebuffers are incomplete");
    sum.width = width, sum.height = height;
    return nullptr;
}

int create(char* why, int whySize) {
    es3Flush();
    es3SumDestroy();
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
    const char* reason = nullptr;
    GLint bits[4] = {0, 0, 0, 0};
    char noFormat[96];
    if (units < passes) {
        reason = "fewer than ten texture units";
    } else if ((sum.format = windowFormat(bits)) == 0) {
        std::snprintf(noFormat, sizeof noFormat,
                      "no texture format takes a copy of the window's %d/%d/%d/%d colour bits",
                      bits[0], bits[1], bits[2], bits[3]);
        reason = noFormat;
    } else if ((sum.program = es3Program(vertexSource, fragmentSource)) == 0) {
        reason = "the summing shader does not compile or link";
    } else {
        glUseProgram(sum.program);
        char name[16];
        for (int pass = 0; pass < passes; ++pass) {
            std::snprintf(name, sizeof name, "pass[%d]", pass);
            glUniform1i(glGetUniformLocation(sum.program, name), pass);
        }
        // Worked out here in single precision, as the accumulation buffer
        // works them out.
        glUniform1f(glGetUniformLocation(sum.program, "addScale"), drawSumWeight * 32767.0f);
        glUniform1f(glGetUniformLocation(sum.program, "returnScale"), 1.0f / 32767.0f);
        glUseProgram(0);
        const float cover[6] = {-1, -1, 3, -1, -1, 3};
        glGenVertexArrays(1, &sum.vertexArray);
        glGenBuffers(1, &sum.buffer);
        glBindVertexArray(sum.vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, sum.buffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof cover, cover, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (es3.viewport[2] > 0 && es3.viewport[3] > 0) {
            reason = makeTargets(es3.viewport[2], es3.viewport[3]);
        }
    }
    if (reason != nullptr) {
        explain(why, whySize, reason);
        es3SumDestroy();
        return 0;
    }
    return 1;
}

int followViewport(char* why, int whySize) {
    es3Flush();
    const int width = es3.viewport[2], height = es3.viewport[3];
    if (width <= 0 || height <= 0 || (width == sum.width && height == sum.height)) return 1;
    const char* reason = makeTargets(width, height);
    if (reason != nullptr) explain(why, whySize, reason);
    return reason == nullptr;
}

void passBegin(int pass) {
    es3Flush();
    glBindFramebuffer(GL_FRAMEBUFFER, pass < passes - 1 ? sum.framebuffers[pass] : 0);
}

void passAdd(int pass) {
    es3Flush();
    if (pass != passes - 1) return;
    // The last pass stays in the window, depth and all; its colour is copied
    // beside the others on the GPU.
    glBindTexture(GL_TEXTURE_2D, sum.textures[pass]);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, sum.width, sum.height);
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture);
}

// One triangle over the whole viewport, straight to clip space, writing
// colour only.
void giveBack() {
    es3Flush();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(sum.program);
    for (int pass = passes - 1; pass >= 0; --pass) {
        glActiveTexture(GL_TEXTURE0 + pass);
        glBindTexture(GL_TEXTURE_2D, sum.textures[pass]);
    }
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    glDisable(GL_DEPTH_TEST);
    glBindVertexArray(sum.vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
    if (depthTest) glEnable(GL_DEPTH_TEST);
    for (int pass = passes - 1; pass >= 0; --pass) {
        glActiveTexture(GL_TEXTURE0 + pass);
        glBindTexture(GL_TEXTURE_2D, pass == 0 ? es3.boundTexture : 0);
    }
    glUseProgram(0);
}

}  // namespace

void es3SumDestroy() {
    releaseTargets();
    if (sum.program != 0) glDeleteProgram(sum.program);
    if (sum.buffer != 0) glDeleteBuffers(1, &sum.buffer);
    if (sum.vertexArray != 0) glDeleteVertexArrays(1, &sum.vertexArray);
    sum = Sum{};
}

void es3FillSum(DrawBackend& b) {
    b.accumBits = [] { return 0; };
    b.accumAdd = [](float) {};
    b.accumReturn = [](float) {};
    b.sumCreate = create;
    b.sumDestroy = es3SumDestroy;
    b.sumFollowViewport = followViewport;
    b.sumPassBegin = passBegin;
    b.sumPassAdd = passAdd;
    b.sumReturn = giveBack;
}
