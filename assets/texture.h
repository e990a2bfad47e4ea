// The scene's textures, made from BMP files.
#pragma once

#include <GL/gl.h>

// [0] from "brickblue.bmp" for the occluder, [1] from "Ziegel1.bmp" for the
// room; 0 until made. Made anew for every rendering context.
extern GLuint textureIds[2];

// Loads `fileName` into a new mipmapped texture, stores its name in
// ids[index] and leaves it bound to GL_TEXTURE_2D. A null name does nothing.
// Returns 1, or 0 when the file cannot be loaded; the loader has then told
// the user why and nothing was made.
int textureLoad(GLuint* ids, const char* fileName, int index);
