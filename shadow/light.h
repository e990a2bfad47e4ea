// The light of one pass: the scene's light moved by the pass's offset,
// handed to the box's faces (whose shadows follow it) and to GL's light 0
// (which lights the frame rate's digits). A frame draws one pass for each
// offset and adds them up; the scene's light itself never moves while a
// frame is drawn. The offsets spread through a small ball around the light:
// the larger the ball, the softer the shadow's edge.
#pragma once

#include "geometry/occluder.h"
#include "scene/vec.h"

// The passes a frame draws unless told otherwise, each with its offset from
// the table below, and the most it may draw.
constexpr int lightPassCount = 10;
constexpr int lightPassesMost = 64;
// Pass i of the ten reads entries i + 1, i + 2 and i for x, y and z, each
// times the scale.
extern const float lightJitter[12];
constexpr float lightJitterScale = 0.25f;
// The light's specular colour: white.
extern const float lightSpecularWhite[4];

// The offset of pass `pass` of `passes` (1 to lightPassesMost), for a light
// `size` times as large as the ten offsets span (0: a point light). Ten
// passes take the table's offsets; one pass the light itself; any other
// number spreads evenly through the ball the ten span.
Vec3 lightPassOffset(int pass, int passes = lightPassCount, float size = 1.0f);
// `light` moved by that offset.
Vec3 lightOfPass(const Vec3& light, int pass, int passes = lightPassCount, float size = 1.0f);
// What each of `passes` passes adds of its picture: all of them 0.95.
float lightPassWeight(int passes);
// Hands `light` to GL's light 0 as a point light (w = 1), through the
// current model-view matrix.
void lightApply(const Vec3& light);
// Begins a pass lit from `light`: every face's light copy, and GL's light 0
// with its specular white.
void lightPassBegin(Occluder& occluder, const Vec3& light);
