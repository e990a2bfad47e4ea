// The frame as GL's accumulation buffer sums it: every pass drawn whole,
// its shadows darkened into the room, and added at the pass weight; then the
// sum returned and the box drawn again on top. The way older versions always
// drew, slow wherever glAccum runs on the processor (every Mesa driver).
#pragma once

#include "geometry/occluder.h"
#include "shadow/frame.h"

// 1 when the window has an accumulation buffer; without one only the last
// pass shows, with hard shadows.
int accumBufferPresent();
// The frame, but for the frame rate.
void accumFrameDraw(const FrameInput& input, Occluder& occluder);
