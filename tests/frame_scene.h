// The flat-textured scene the frame tests draw, once per test program, and
// the geometry that says what each of its pixels must show.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/vec.h"
#include "shadow/frame.h"

using Rgb = std::array<int, 3>;
using Image = std::vector<uint8_t>;
const Rgb roomColour{200, 120, 60}, boxColour{40, 80, 220}, yellow{255, 255, 0};
const Rgb clearBlue{0, 0, 255}, skyInFrame{0, 0, 242};  // the frame sums to 0.95
const Rgb checker[2][2] = {{{230, 30, 30}, {30, 200, 60}}, {{240, 240, 240}, {120, 40, 160}}};
const Vec3 boxLow{-2, -2, 0}, boxHigh{2, 2, 2}, grow{0.2f, 0.2f, 0.2f};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float k);
float& axis(Vec3& v, int i);
float axisOf(Vec3 v, int i);
// The point with coordinate `at` on axis `fixed` and u, v on the next two.
Vec3 onPlane(int fixed, float at, float u, float v);
// Within one step on every channel.
bool near(Rgb a, Rgb b);
Rgb pixelIn(const Image& rgb, size_t i);
Rgb checkerAt(float s, float t);
bool writeFlatBmp(const char* name, Rgb c);
// Does the segment from a to b pass through the box [lo, hi]?
bool segmentHitsBox(Vec3 a, Vec3 b, Vec3 lo, Vec3 hi);
// Pass i nudges the light by jitter entries i + 1, i + 2, i (x, y, z) x 0.25.
Vec3 nudged(Vec3 light, int pass);
// How many of the ten nudged lights the box hides from the point, from
// outside it.
int shadowedPasses(Vec3 light, Vec3 point);
// The flat room after `s` shadowed passes of ten.
Rgb roomAfter(int s);
// The window pixel showing a world point under the current matrices.
bool project(Vec3 p, int* x, int* y);
// The context and the scene over flat textures, set up once.
// TENEBREL_TEST_NO_ACCUM=1 asks for a framebuffer without an accumulation
// buffer, as some window systems give; TENEBREL_TEST_ES3=1 for an OpenGL ES
// context, drawn by es3.
bool sceneReady();
// The ways this context can add passes: counted wherever it can, the
// accumulation buffer where there is one.
std::vector<FrameWay> ways();
// A frame of the scene from this light and camera, read back.
Image frame(Vec3 light, Vec3 eye, Vec3 centre);
