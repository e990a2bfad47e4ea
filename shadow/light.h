// The light of one pass: the scene's light nudged by a fixed jitter offset,
// handed to the box's faces (whose shadows follow it) and to GL's light 0
// (which lights the frame rate's digits). A frame draws one pass for each
// offset; the scene's light itself never moves while a frame is drawn.
#pragma once

#include "geometry/occluder.h"
#include "scene/vec.h"

// How many passes a frame draws, each with its own offset.
constexpr int lightPassCount = 10;
// Pass i reads entries i + 1, i + 2 and i for x, y and z, each times the
// scale.
extern const float lightJitter[12];
constexpr float lightJitterScale = 0.25f;
// The light's specular colour: white.
extern const float lightSpecularWhite[4];

// The offset of pass `pass` (0 to lightPassCount - 1).
Vec3 lightPassOffset(int pass);
// `light` moved by the pass's offset.
Vec3 lightOfPass(const Vec3& light, int pass);
// Hands `light` to GL's light 0 as a point light (w = 1), through the
// current model-view matrix.
void lightApply(const Vec3& light);
// Begins a pass lit from `light`: every face's light copy, and GL's light 0
// with its specular white.
void lightPassBegin(Occluder& occluder, const Vec3& light);
