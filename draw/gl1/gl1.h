// The gl1 renderer's own pieces, shared by its files: OpenGL 1.1's fixed
// pipeline, with what the context offers beyond it found at run time.
#pragma once

#include "draw/backend.h"

// What the current context offers: an extension by its whole name, and its
// GL version.
int gl1HasExtension(const char* name);
int gl1VersionAtLeast(int major, int minor);

// Textures and glyphs (draw/gl1_assets.cpp).
void gl1FillAssets(DrawBackend& backend);
// The ten passes: the accumulation buffer and the GPU sum (draw/gl1_sum.cpp).
void gl1FillSum(DrawBackend& backend);
