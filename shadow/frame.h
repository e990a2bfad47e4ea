// One complete frame: ten passes with the light nudged by a fixed jitter,
// each with hard shadows, summed into soft shadows (counted on the GPU, or
// in the accumulation buffer: shadow/accum.h), then the box on top and the
// frame rate.
#pragma once

#include "draw/draw.h"
#include "scene/vec.h"

constexpr int framePassCount = drawSumPasses;
// Each pass adds this share of its picture; the ten sum to 0.95.
constexpr float framePassWeight = drawSumWeight;
constexpr float frameJitterScale = 0.25f;

// Pass i reads entries i + 1, i + 2 and i for x, y and z.
extern const float lightJitter[12];
extern const float specularWhite[4];

// The light's offset in pass `pass` (0 to 9).
Vec3 frameJitterOffset(int pass);
// The frame as the accumulation buffer sums it: each pass drawn whole, its
// shadows darkened into the room, and added at framePassWeight.
void frameSummedDraw();
// Prints fpsValue in the lower left corner, over whatever the frame holds.
void frameRatePrint();
// sceneDraw() itself is one of the shell's scene hooks (app/app.h).
