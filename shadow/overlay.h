// What is drawn over the finished frame: the views of the method that the
// user asks for (the shadow volumes, the count's legend, the keys' help)
// and the frame rate.
#pragma once

#include "geometry/occluder.h"
#include "scene/vec.h"

// The box's shadow volumes for `light` over the picture, depth-tested
// against the room and the box: their sides translucent, their edges lines.
// `occluder` is only read: the volumes are built on a copy.
void overlayVolumesDraw(const Occluder& occluder, const Vec3& light);
// The count view's legend: the palette from 0 passes in shadow to `passes`.
void overlayLegendDraw(int passes);
// The keys, and what the frame now draws with.
void overlayHelpDraw(int passes, float lightSize);
// Drawing straight in clip space, over everything, unlit and untextured;
// and back to the scene's own drawing.
void overlayFlatBegin();
void overlayFlatEnd();
// Prints `fps` in the lower left corner.
void overlayFrameRatePrint(float fps);
