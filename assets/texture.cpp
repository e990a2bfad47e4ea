// Mipmapped textures from BMP files.
#include "assets/texture.h"

#include <GL/glu.h>

#include <cstdlib>

#include "assets/bmp.h"

GLuint textureIds[2] = {0, 0};

namespace {

// The power of two GLU's mipmap builder fits a side to: the nearest one,
// halves rounding up (3 -> 4, 5 -> 4, 6 -> 8).
GLint textureNearestPower(GLint side) {
    GLint power = 1;
    while (side > 1) {
        if (side == 3) return power * 4;
        side >>= 1;
        power *= 2;
    }
    return power;
}

// gluBuild2DMipmaps fits a picture whose sides are not powers of two itself,
// but its fitting leaves the top row of the picture black. Scaling to the
// same size beforehand with gluScaleImage keeps every row. Returns the new
// pixels (malloc) and their size, or null when no scaling is needed or
// possible; the builder then fits the picture itself.
uint8_t* textureFitPowerOfTwo(const ImageRGB* image, GLint* width, GLint* height) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    GLint w = textureNearestPower(image->width);
    GLint h = textureNearestPower(image->height);
    while (maxSize > 0 && w > maxSize) w >>= 1;
    while (maxSize > 0 && h > maxSize) h >>= 1;
    if (w == image->width && h == image->height) return nullptr;
    uint8_t* scaled = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h * 3));
    if (!scaled) return nullptr;
    if (gluScaleImage(GL_RGB, image->width, image->height, GL_UNSIGNED_BYTE, image->data, w, h,
                      GL_UNSIGNED_BYTE, scaled) != 0) {
        std::free(scaled);
        return nullptr;
    }
    *width = w;
    *height = h;
    return scaled;
}

}  // namespace

int textureLoad(GLuint* ids, const char* fileName, int index) {
    if (!fileName || !ids) return 1;

    ImageRGB* image = bmpLoad(fileName);
    if (!image) return 0;  // the loader has shown its box

    glGenTextures(1, &ids[index]);
    glBindTexture(GL_TEXTURE_2D, ids[index]);

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
    GLint width = image->width, height = image->height;
    uint8_t* fitted = textureFitPowerOfTwo(image, &width, &height);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                      fitted ? fitted : image->data);
    std::free(fitted);
    glPopClientAttrib();

    // Minification blends the two nearest levels, each sampled bilinearly;
    // magnification and both wrap modes stay at GL's defaults (linear,
    // repeat), which the room's tiling relies on.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);

    std::free(image->data);
    std::free(image);
    return 1;
}
