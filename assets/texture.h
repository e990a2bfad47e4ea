// The scene's textures, made from BMP files.
#pragma once

#include <GL/gl.h>

// [0] from "brickblue.bmp" for the occluder, [1] from "Ziegel1.bmp" for the
// room; 0 until made. Made anew for every rendering context.
extern GLuint textureIds[2];

// Loads `fileName` into a new mipmapped texture, stores its name in
// ids[index] and leaves it bound to GL_TEXTURE_2D. A null name does nothing.
// A file that cannot be loaded ends the program (exit status 0) after the
// loader has told the user why.
void textureLoad(GLuint* ids, const char* fileName, int index);
