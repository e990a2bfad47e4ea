// Where the ten passes of a frame are added up. Two ways give the same
// picture: the GL accumulation buffer, which every Mesa driver runs on the
// processor, and the GPU sum (shadow/accum_gpu.h), which draws each pass into
// a texture and adds the ten in one shader with the accumulation buffer's own
// arithmetic. The way is chosen once for each rendering context.
#pragma once

enum AccumWay : int {
    accumWayBuffer = 0,  // glAccum: the framebuffer's accumulation buffer
    accumWayGpu = 1,     // textures summed by a shader
};

// The way the user asks for: TENEBREL_ACCUM=buffer forces the accumulation
// buffer; unset, empty or "gpu" ask for the GPU sum. Any other value gives
// one warning line and the GPU sum.
AccumWay accumWayRequested();

// Sets up the way asked for in the current context. The GPU sum falls back
// to the accumulation buffer, with one warning line that says why, wherever
// it cannot be made. Returns the way in use.
AccumWay accumInit(AccumWay requested);
// Releases what the GPU sum made; the context must still be current.
void accumShutdown();
AccumWay accumWayInUse();

// One frame: the sum starts empty; each pass is drawn between its begin and
// its add; the return leaves the sum in the window's colour buffer, with the
// last pass's depth and stencil still under it.
void accumFrameBegin();
// GL_ACCUM_BUFFER_BIT where the accumulation buffer adds, for the frame's
// clears; 0 otherwise.
unsigned int accumClearBit();
void accumPassBegin(int pass);
void accumPassAdd(int pass);
void accumReturn();
