// The gl1 renderer: each call of the vocabulary is the OpenGL 1.1 (and GLU)
// call of the same name and meaning, on a compatibility context, with what
// the context offers beyond 1.1 found at run time. Its files:
//   gl1.cpp    - vertices, matrices, states, clears and the light
//   assets.cpp - textures, with GLU's mip levels
//   text.cpp   - glyphs as display lists of glBitmap
//   sum.cpp    - the ten passes: the accumulation buffer, and their composition
#pragma once

#include "draw/backend.h"

#define GL1_DECLARE(result, name, parameters, arguments) result gl1##name parameters;
DRAW_SLOTS(GL1_DECLARE)
#undef GL1_DECLARE

// What the current context offers: an extension by its whole name, and its
// GL version.
int gl1HasExtension(const char* name);
int gl1VersionAtLeast(int major, int minor);
// Takes every error GL has recorded, so that the next check sees only its
// own; 1 when there was none.
int gl1ErrorsClear();
