// The gl1 renderer's composition of the counted frame: GLSL 1.20 over
// rectangle textures, which every desktop driver of the last fifteen years
// has, with the entry points beyond GL 1.1 fetched at run time. It needs no
// framebuffer object: the pictures it keeps are copied from the window.
#include <GL/gl.h>

#include "draw/composer.h"
#include "draw/gl1/gl1.h"
#include "platform/platform.h"

namespace {

// Rectangle textures take pixel coordinates; llvmpipe reads them a fifth
// faster than normalised ones.
const GLenum glTextureRectangle = 0x84F5;
const GLenum glMaxRectangleTextureSize = 0x84F8;
const GLenum glRgb5 = 0x8050;
const GLenum glRgb10A2 = 0x8059;

Composer composer{};

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

// Those of GL 2.0, from the driver; false when one is missing.
bool programCallsFetch(CommonGl& e) {
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
           fetch(&e.uniform3fv, "glUniform3fv") && fetch(&e.uniform4f, "glUniform4f") &&
           fetch(&e.activeTexture, "glActiveTexture", "glActiveTextureARB");
}

// One quad over the whole viewport, straight to clip space.
void quad() {
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}

int viewportFollow(char* why, int whySize) {
    GLint viewport[4] = {0, 0, 0, 0}, largest = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(glMaxRectangleTextureSize, &largest);
    return composerPicturesFollow(composer, gl1Gl, viewport[2], viewport[3], largest, why, whySize);
}

}  // namespace

int gl1ComposeCreate(const DrawComposition* composition, char* why, int whySize) {
    gl1ComposeDestroy();
    composer.target = glTextureRectangle;
    if (!composerWindowCheck(composer, gl1Gl, why, whySize)) return 0;
    if (!gl1VersionAtLeast(2, 1)) return drawExplain(why, whySize, "no GLSL 1.20"), 0;
    if (!programCallsFetch(gl1Gl))
        return drawExplain(why, whySize, "a GL entry point is missing"), 0;
    // The kept pictures take the window's own format.
    const int* bits = composer.bits;
    composer.format[0] = bits[0] == 5 && bits[1] == 6 && bits[2] == 5      ? glRgb5
                         : bits[0] == 10 && bits[1] == 10 && bits[2] == 10 ? glRgb10A2
                                                                           : GL_RGBA8;
    composer.format[1] = GL_RGBA, composer.format[2] = GL_UNSIGNED_BYTE;
    if (composerProgramMake(composer, gl1Gl, 1, &vertexSource, 1, &fragmentHead, *composition, why,
                            whySize) &&
        viewportFollow(why, whySize))
        return 1;
    gl1ComposeDestroy();
    return 0;
}

void gl1ComposeDestroy() {
    composerDestroy(composer, gl1Gl);
}

int gl1ComposeFollowViewport(char* why, int whySize) {
    return viewportFollow(why, whySize);
}

void gl1ComposeKeepBase() {
    composerKeep(composer, gl1Gl, composer.base);
}

void gl1ComposeKeepCounts(int x, int y, int width, int height) {
    composerKeepCounts(composer, gl1Gl, x, y, width, height);
}

void gl1Compose(int passes, float weight, DrawComposeShows shows) {
    composerDraw(composer, gl1Gl, passes, weight, shows, quad);
}

void gl1ColourSteps(float steps[3]) {
    composerColourSteps(gl1Gl, steps);
}
