// One complete frame of the scene: a pass for each of the light's jitter
// offsets (shadow/light.h), each with hard shadows, summed into soft ones,
// then the box on top and the frame rate. Two ways of summing give the same
// picture:
//   counted (shadow/counted.h) - the room and the box drawn once, and for
//       each pass only what it changes, counted pixel by pixel, then the
//       frame composed from the counts; the default
//   the accumulation buffer (shadow/accum.h) - every pass drawn whole and
//       added in GL's accumulation buffer, which every Mesa driver runs on
//       the processor
// The way is chosen once for each rendering context, here.
#pragma once

#include <cstdint>

#include "geometry/occluder.h"
#include "scene/camera.h"
#include "scene/vec.h"

// What a frame is drawn from, handed over as values: nothing of the scene
// but the box's faces (which take each pass's light) changes while a frame
// is drawn.
struct FrameInput {
    Camera camera;
    Vec3 light;        // the light, before each pass's offset
    uint8_t showRays;  // 1: each pass also shows the light's rays
    float fps;         // the frame rate printed in the corner
    // Counted, each pass over the whole view rather than only where it can
    // change the picture: the same picture, to compare the two by.
    bool wholeView = false;
};

// Each pass adds this share of its picture; the ten sum to 0.95.
constexpr float framePassWeight = 0.095f;

enum FrameWay : int {
    frameWayAccumBuffer = 0,  // glAccum: the framebuffer's accumulation buffer
    frameWayCounted = 1,      // the passes counted, and the frame composed by a shader
};

// The way the user asks for: TENEBREL_ACCUM=buffer forces the accumulation
// buffer; unset, empty or "gpu" ask for the passes counted on the GPU. Any
// other value gives one warning line and counting.
FrameWay frameWayRequested();
// Sets up the way asked for in the current context. Counting gives way to
// the accumulation buffer, with one line that says why, wherever it cannot
// be had. Returns the way in use.
FrameWay frameWaySetUp(FrameWay requested);
// Releases what the way made; the context must still be current.
void frameWayRelease();
FrameWay frameWayInUse();

// Draws the frame into the back buffer.
void frameDraw(const FrameInput& input, Occluder& occluder);
// Prints `fps` in the lower left corner, over whatever the frame holds.
void frameRatePrint(float fps);
