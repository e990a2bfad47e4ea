// The gl1 renderer: each call of the vocabulary is the OpenGL 1.1 (and GLU)
// call of the same name and meaning, on a compatibility context, with what
// the context offers beyond 1.1 found at run time. Its files:
//   gl1.cpp     - vertices, matrices, states, clears, the light and the
//                 accumulation buffer
//   assets.cpp  - textures, with GLU's mip levels
//   text.cpp    - glyphs as display lists of glBitmap
//   compose.cpp - the counted frame's composition, with the GL 2.0 entry
//                 points it fetches
#pragma once

#include "draw/backend.h"
#include "draw/common.h"

#define GL1_DECLARE(result, name, parameters, arguments) result gl1##name parameters;
DRAW_SLOTS(GL1_DECLARE)
#undef GL1_DECLARE

// What the current context offers: an extension by its whole name, and its
// GL version.
int gl1HasExtension(const char* name);
int gl1VersionAtLeast(int major, int minor);
// The GL calls gl1 shares with es3's code (draw/common.h): GL 1.1's, set
// when the renderer starts, and those of GL 2.0, fetched when the
// composition is made.
extern CommonGl gl1Gl;
