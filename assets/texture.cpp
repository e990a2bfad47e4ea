// Mipmapped textures from BMP files.
#include "assets/texture.h"

#include <cstdlib>

#include "assets/bmp.h"
#include "draw/draw.h"

uint32_t textureIds[2] = {0, 0};

int textureLoad(uint32_t* ids, const char* fileName, int index) {
    if (!fileName || !ids) return 1;

    ImageRGB* image = bmpLoad(fileName);
    if (!image) return 0;  // the loader has shown its box

    ids[index] = drawTextureCreate();
    drawTextureBind(ids[index]);
    drawTextureMipmaps(image->width, image->height, image->data);
    // Minification blends the two nearest levels, each sampled bilinearly;
    // magnification and both wrap modes stay at GL's defaults (linear,
    // repeat), which the room's tiling relies on.
    drawTextureTrilinear();

    std::free(image->data);
    std::free(image);
    return 1;
}
