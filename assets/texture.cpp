// Mipmapped textures from BMP files.
#include "assets/texture.h"

#include <cstdlib>

#include "assets/bmp.h"
#include "draw/draw.h"
#include "platform/platform.h"

uint32_t textureIds[2] = {0, 0};

int textureLoad(uint32_t* ids, const char* fileName, int index) {
    if (!fileName || !ids) return 1;

    char why[bmpWhySize];
    ImageRGB* image = bmpLoad(fileName, why, sizeof why);
    if (!image) {
        platformMessageBox(platformGetFocus(), why, "Error", MB_OK);
        return 0;
    }

    ids[index] = drawTextureCreate();
    drawTextureBind(ids[index]);
    // A texture the driver cannot take leaves the surfaces untextured; the
    // user is told why.
    if (!drawTextureMipmaps(image->width, image->height, image->data, why, sizeof why))
        platformWarn(why);
    // Minification blends the two nearest levels, each sampled bilinearly;
    // magnification and both wrap modes stay at GL's defaults (linear,
    // repeat), which the room's tiling relies on.
    drawTextureTrilinear();

    std::free(image->data);
    std::free(image);
    return 1;
}
