// The scene's textures, made from BMP files.
#pragma once

#include <cstdint>

// [0] from "brickblue.bmp" for the occluder, [1] from "Ziegel1.bmp" for the
// room; 0 until made. Made anew for every rendering context.
extern uint32_t textureIds[2];

// Loads `fileName` into a new mipmapped texture, stores its name in
// ids[index] and leaves it bound to the texture unit. A null name does nothing.
// Returns 1, or 0 when the file cannot be loaded: the user has then been
// shown why, in a box owned by the window with the keyboard focus, and
// nothing was made.
int textureLoad(uint32_t* ids, const char* fileName, int index);
