// The es3 renderer's textures: every mip level made on the processor as GLU
// makes it (draw/mipmap.h), so that both renderers sample the same texels.
#include <algorithm>
#include <cstdio>

#include "draw/es3/es3.h"
#include "draw/mipmap.h"

uint32_t es3TextureCreate() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return static_cast<uint32_t>(texture);
}

void es3TextureBind(uint32_t texture) {
    if (texture == es3.boundTexture) return;  // each box face binds the box's again
    es3BatchFlush();
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture = texture);
}

void es3TextureRebind() {
    glBindTexture(GL_TEXTURE_2D, es3.boundTexture);
}

void es3TextureDelete(uint32_t texture) {
    es3BatchFlush();
    const GLuint name = texture;
    glDeleteTextures(1, &name);
    if (es3.boundTexture == texture) es3.boundTexture = 0;
}

// Level 0 fitted to powers of two, then every level down to 1 x 1, each
// made from the one before as GLU makes them.
int es3TextureMipmaps(int width, int height, const uint8_t* rgb, char* why, int whySize) {
    es3BatchFlush();
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
    commonErrorsClear(es3Gl);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int index = 0;; ++index) {
        glTexImage2D(GL_TEXTURE_2D, index, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     level.data());
        if (w == 1 && h == 1) break;
        level = mipmapHalve(level.data(), w, h);
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return 1;
    char reason[160];
    std::snprintf(reason, sizeof reason, "a %d x %d texture cannot be uploaded: GL error 0x%04X",
                  width, height, error);
    drawExplain(why, whySize, reason);
    return 0;
}

void es3TextureTrilinear() {
    es3BatchFlush();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
}
