// One complete frame of the scene: a pass for each of the light's jitter
// offsets (shadow/light.h), each with hard shadows, summed into soft ones,
// then the box on top, what the user asked to see of the method
// (shadow/overlay.h) and the frame rate. Two ways of summing give the same
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
    // How many passes, for a light how large (shadow/light.h).
    int passes = 10;
    float lightSize = 1.0f;
    // Over the picture: the shadow volumes of the light itself; the room in
    // false colour by how many passes leave it in shadow (counted only);
    // the keys.
    bool showVolumes = false;
    bool showCounts = false;
    bool showHelp = false;
    // Counted, each pass over the whole view rather than only where it can
    // change the picture: the same picture, to compare the two by.
    bool wholeView = false;
};

enum FrameWay : int {
    frameWayAccumBuffer = 0,  // glAccum: the framebuffer's accumulation buffer
    frameWayCounted = 1,      // the passes counted, and the frame composed by a shader
};

// The way the user asks for: the option's value where one was given (--sum),
// else TENEBREL_ACCUM. "buffer" forces the accumulation buffer; unset,
// empty, "counted" or "gpu" ask for the passes counted on the GPU. Any other
// value gives one warning line and counting.
FrameWay frameWayRequested(const char* option);
// Sets up the way asked for in the current context. Counting gives way to
// the accumulation buffer, with one line that says why, wherever it cannot
// be had. Returns the way in use.
FrameWay frameWaySetUp(FrameWay requested);
// Releases what the way made; the context must still be current.
void frameWayRelease();
FrameWay frameWayInUse();

// Draws the frame into the back buffer.
void frameDraw(const FrameInput& input, Occluder& occluder);
