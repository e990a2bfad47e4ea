// Where the ten passes of a frame are added up. Two ways give the same
// picture: counted on the GPU (shadow/counted.h), which draws the room and
// the box once and counts, pixel by pixel, the passes that leave it in
// shadow, and the GL accumulation buffer, which draws every pass whole and
// adds the ten, and which every Mesa driver runs on the processor. The way
// is chosen once for each rendering context.
#pragma once

enum AccumWay : int {
    accumWayBuffer = 0,   // glAccum: the framebuffer's accumulation buffer
    accumWayCounted = 1,  // the passes counted, and the frame composed by a shader
};

// The way the user asks for: the option's value where one was given (--sum),
// else TENEBREL_ACCUM. "buffer" forces the accumulation buffer; unset,
// empty, "counted" or "gpu" ask for the passes counted on the GPU. Any other
// value gives one warning line and the GPU.
AccumWay accumWayRequested(const char* option);

// Sets up the way asked for in the current context. Counting falls back to
// the accumulation buffer, with one warning line that says why, wherever it
// cannot be made. Returns the way in use.
AccumWay accumInit(AccumWay requested);
// Releases what counting made; the context must still be current.
void accumShutdown();
AccumWay accumWayInUse();
// Before each frame: counting follows the viewport's size, and where it
// cannot, this context goes on with the accumulation buffer, with one line
// that says why, so the frame is never left blank.
void accumFrameBegin();
