// The frame's composition (draw/compose.h) as both renderers make it, over
// the GL calls each hands over (draw/common.h). A renderer adds only what it
// does its own way: its shaders' first lines, the texture target and format
// of the kept pictures, and the quad that covers the viewport.
#pragma once

#include "draw/common.h"
#include "draw/compose.h"

// The composing programs: one shared body, compiled for what each draws.
enum ComposerProgram : int {
    composerFrame = 0,  // the frame
    composerUncounted,  // the frame where no counts were kept: it fetches none
    composerPalette,    // the count view
    composerProgramCount,
};

// What the composition made in the current context; all zero when nothing.
struct Composer {
    unsigned programs[composerProgramCount];
    unsigned target;        // the kept pictures' texture target
    unsigned base, counts;  // the kept pictures
    // Theirs: the internal format, the format and the type, so that a copy
    // from the window keeps every value as the window holds it.
    unsigned format[3];
    int width, height;  // the size they were made for, 0 for none
    int bits[4];        // the window's red, green, blue and alpha bits
    int kept[4];        // where the counts were kept: x0, y0, x1, y1
};

// Reads the window's colour bits into the record; 0 with `why` where its
// stencil cannot hold the counts.
int composerWindowCheck(Composer& composer, const CommonGl& gl, char* why, int whySize);
// Builds the composing programs from the renderer's vertex shader and
// fragment head (the two samplers `base` and `counts`, FETCH(sampler) giving
// the texel at the fragment's own pixel, COLOUR_OUT naming the output) and
// the shared body, and gives them the composition's uniforms; 0 with `why`
// where one cannot be made, the others left for composerDestroy.
int composerProgramMake(Composer& composer, const CommonGl& gl, int vertexCount,
                        const char* const* vertexParts, int headCount,
                        const char* const* fragmentHead, const DrawComposition& composition,
                        char* why, int whySize);
// The kept pictures for a viewport of this size, made again only when the
// size has changed; an empty viewport keeps the old ones. A copy from the
// window is tried at once, so a window whose colour the textures cannot take
// is found here. 0 with `why`, and no pictures, where they cannot be made.
int composerPicturesFollow(Composer& composer, const CommonGl& gl, int width, int height,
                           int largest, char* why, int whySize);
// The window's colour into the kept picture of the lit scene.
void composerKeep(const Composer& composer, const CommonGl& gl, unsigned texture);
// The counts within a rectangle of the window; every other is 0.
void composerKeepCounts(Composer& composer, const CommonGl& gl, int x, int y, int width,
                        int height);
// Draws the frame or the count view with the renderer's quad, which covers
// the viewport: the programs and the pictures bound, with the frame's
// passes and weight, depth and blending off; then all given back as it
// was. The stencil test stays as the caller set it. The frame is drawn
// scissored to where the counts were kept and to the strips around it, by
// the program that counts and the one that does not, but for a viewport
// all one or the other; the scissor is then given back as it was.
void composerDraw(const Composer& composer, const CommonGl& gl, int passes, float weight,
                  DrawComposeShows shows, void (*quad)());
void composerDestroy(Composer& composer, const CommonGl& gl);
// The smallest step of a channel of that many bits: 1 / 255 for eight.
float composerStep(int bits);
// The window's red, green and blue steps.
void composerColourSteps(const CommonGl& gl, float steps[3]);
