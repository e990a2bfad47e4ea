// The es3 renderer's composition of the counted frame: GLSL ES 3.00, each
// kept picture's texel fetched at the fragment's own pixel.
#include <cstdio>

#include "draw/composer.h"
#include "draw/es3/es3.h"

namespace {

const char* const vertexSource =
    "#version 300 es\n"
    "layout(location = 0) in vec2 corner;\n"
    "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n";
const char* const fragmentHead =
    "#version 300 es\n"
    "precision highp float;\n"
    "uniform highp sampler2D base, counts;\n"
    "out vec4 colourOut;\n"
    "#define FETCH(picture) texelFetch(picture, ivec2(gl_FragCoord.xy), 0)\n"
    "#define COLOUR_OUT colourOut\n";

Composer composer{};
// The triangle the frame is composed with.
GLuint vertexArray = 0, buffer = 0;

// A copy from the window must keep its colour format exactly: the texture
// format, its format and type, for the window's bits; false for none.
bool windowFormat(const int bits[4], unsigned format[3]) {
    struct Match {
        int red, green, blue, alpha;
        GLenum internal, format, type;
    };
    const Match matches[] = {{5, 6, 5, 0, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},
                             {4, 4, 4, 4, GL_RGBA4, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4},
                             {5, 5, 5, 1, GL_RGB5_A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1},
                             {8, 8, 8, 0, GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE},
                             {8, 8, 8, 8, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE},
                             {10, 10, 10, 2, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV}};
    for (const Match& m : matches)
        if (m.red == bits[0] && m.green == bits[1] && m.blue == bits[2] && m.alpha == bits[3]) {
            format[0] = m.internal, format[1] = m.format, format[2] = m.type;
            return true;
        }
    return false;
}

// One triangle over the whole viewport, straight to clip space.
void triangle() {
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
}

int viewportFollow(char* why, int whySize) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const int made = composerPicturesFollow(composer, es3Gl, es3.viewport[2], es3.viewport[3],
                                            largest, why, whySize);
    es3TextureRebind();
    return made;
}

int composeMake(const DrawComposition& composition, char* why, int whySize) {
    composer.target = GL_TEXTURE_2D;
    if (!composerWindowCheck(composer, es3Gl, why, whySize)) return 0;
    if (!windowFormat(composer.bits, composer.format)) {
        char reason[96];
        std::snprintf(reason, sizeof reason,
                      "no texture format takes a copy of the window's %d/%d/%d/%d colour bits",
                      composer.bits[0], composer.bits[1], composer.bits[2], composer.bits[3]);
        return drawExplain(why, whySize, reason), 0;
    }
    if (!composerProgramMake(composer, es3Gl, 1, &vertexSource, 1, &fragmentHead, composition, why,
                             whySize))
        return 0;
    const float cover[6] = {-1, -1, 3, -1, -1, 3};
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &buffer);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof cover, cover, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (!viewportFollow(why, whySize)) return 0;
    if (composer.width != 0) return 1;
    return drawExplain(why, whySize, "the kept pictures cannot be made"), 0;
}

}  // namespace

int es3ComposeCreate(const DrawComposition* composition, char* why, int whySize) {
    es3BatchFlush();
    es3ComposeDestroy();
    if (composeMake(*composition, why, whySize)) return 1;
    es3ComposeDestroy();
    return 0;
}

void es3ComposeDestroy() {
    composerDestroy(composer, es3Gl);
    es3TextureRebind();
    if (buffer != 0) glDeleteBuffers(1, &buffer);
    if (vertexArray != 0) glDeleteVertexArrays(1, &vertexArray);
    buffer = vertexArray = 0;
}

int es3ComposeFollowViewport(char* why, int whySize) {
    es3BatchFlush();
    return viewportFollow(why, whySize);
}

void es3ComposeKeepBase() {
    es3BatchFlush();
    composerKeep(composer, es3Gl, composer.base);
    es3TextureRebind();
}

void es3ComposeKeepCounts(int x, int y, int width, int height) {
    es3BatchFlush();
    composerKeepCounts(composer, es3Gl, x, y, width, height);
    es3TextureRebind();
}

void es3Compose(int passes, float weight, DrawComposeShows shows) {
    es3BatchFlush();
    composerDraw(composer, es3Gl, passes, weight, shows, triangle);
    es3TextureRebind();
}

// OpenGL ES has no accumulation buffer.
int es3AccumBits() {
    return 0;
}
void es3AccumAdd(float) {}
void es3AccumReturn(float) {}

void es3BlendFunc(DrawBlend blend) {
    es3BatchFlush();
    if (blend == drawBlendAlpha) return glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendFunc(GL_ONE, blend == drawBlendAdd ? GL_ONE : GL_ZERO);
}

void es3ColourSteps(float steps[3]) {
    composerColourSteps(es3Gl, steps);
}
