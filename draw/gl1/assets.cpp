// The gl1 renderer's textures, their mip levels built by GLU.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

#include "draw/gl1/gl1.h"
#include "draw/mipmap.h"

namespace {

// gluBuild2DMipmaps fits a picture whose sides are not powers of two itself,
// but its fitting leaves the top row of the picture black. Scaling to the
// same size beforehand with gluScaleImage keeps every row. Returns the new
// pixels (malloc) and their size, or null when no scaling is needed or
// possible; the builder then fits the picture itself.
uint8_t* fitPowerOfTwo(int imageWidth, int imageHeight, const uint8_t* rgb, GLint* width,
                       GLint* height) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    int w = imageWidth, h = imageHeight;
    mipmapFittedSize(&w, &h, maxSize);
    if (w == imageWidth && h == imageHeight) return nullptr;
    uint8_t* scaled = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h * 3));
    if (!scaled) return nullptr;
    if (gluScaleImage(GL_RGB, imageWidth, imageHeight, GL_UNSIGNED_BYTE, rgb, w, h,
                      GL_UNSIGNED_BYTE, scaled) != 0) {
        std::free(scaled);
        return nullptr;
    }
    *width = w;
    *height = h;
    return scaled;
}

}  // namespace

uint32_t gl1TextureCreate() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return static_cast<uint32_t>(texture);
}

void gl1TextureBind(uint32_t texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
}

void gl1TextureDelete(uint32_t texture) {
    const GLuint name = texture;
    glDeleteTextures(1, &name);
}

int gl1TextureMipmaps(int imageWidth, int imageHeight, const uint8_t* rgb, char* why, int whySize) {
    // The image's rows are tightly packed, 3 x width bytes each; with GL's
    // default 4-byte row alignment any width not a multiple of 4 would be
    // read skewed and past the end. The caller's pixel-store state comes
    // back afterwards.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    GLint width = imageWidth, height = imageHeight;
    uint8_t* fitted = fitPowerOfTwo(imageWidth, imageHeight, rgb, &width, &height);
    commonErrorsClear(gl1Gl);
    const GLint built = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                                          fitted ? fitted : rgb);
    const GLenum error = glGetError();
    std::free(fitted);
    glPopClientAttrib();
    if (built == 0 && error == GL_NO_ERROR) return 1;
    char reason[160];
    std::snprintf(reason, sizeof reason, "a %d x %d texture cannot be uploaded: %s", width, height,
                  reinterpret_cast<const char*>(gluErrorString(built != 0 ? built : error)));
    drawExplain(why, whySize, reason);
    return 0;
}

void gl1TextureTrilinear() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
}
