// The bitmap font the frame rate is printed with.
#pragma once

#include <cstdint>

#include "draw/draw.h"
#include "platform/platform.h"

// The first of 96 glyph slots: slot fontListBase + (k - 32) draws the
// character k (32..127) at the raster position and moves the position on by
// the character's advance. 0 while no font is built.
extern uint32_t fontListBase;

// Builds the slots from a 28-pixel bold face, from the system's font files,
// in the current rendering context.
void fontBuild();
// Deletes the slots; does nothing when none are built.
void fontDelete();
// Formats like printf (at most 255 characters; longer text is cut) and draws
// the text from the current raster position. Leaves texturing on, blending
// off and the colour red. A null format does nothing at all.
void textPrint(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
