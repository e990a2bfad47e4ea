// Mipmapped textures from BMP files.
#include "assets/texture.h"

#include <GL/glu.h>

#include <cstdlib>

#include "assets/bmp.h"

GLuint textureIds[2] = {0, 0};

void textureLoad(GLuint* ids, const char* fileName, int index) {
    if (!fileName || !ids) return;

    ImageRGB* image = bmpLoad(fileName);
    if (!image) {
        // The loader has shown its box; without its textures the scene has
        // nothing to show, and ending is not an error of the program.
        std::exit(0);
    }

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
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->data);
    glPopClientAttrib();

    // Minification blends the two nearest levels, each sampled bilinearly;
    // magnification and both wrap modes stay at GL's defaults (linear,
    // repeat), which the room's tiling relies on.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);

    std::free(image->data);
    std::free(image);
}
