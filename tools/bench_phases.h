// Where the counted frame's time goes: the frame rebuilt phase by phase,
// with glFinish after every phase, so each phase's clock covers its own
// drawing (bench_frame's second measurement).
#pragma once

#include "platform/platform.h"
#include "shadow/frame.h"

// Draws `frames` frames of `input` so, in the context current, swapping
// `swapTarget` after each where it is not null, and prints each phase's
// share; `realFrameMs` is the frame's time undivided, to compare with.
void phasesMeasure(const FrameInput& input, int frames, double realFrameMs,
                   PlatformDeviceContext* swapTarget);
