// The box that casts the shadows: x and y from -2 to +2, z from 0 to +2,
// six textured faces, each carrying what the shadow code needs of it for
// the current light, and the yellow light marker drawn with every face.
#pragma once

#include <cstdint>

#include "scene/vec.h"

struct OccluderFace {
    // Counter-clockwise seen from outside the box.
    Vec3 corners[4];
    // corners pushed away from the light by the shadow-volume code.
    Vec3 extruded[4];
    // This face's copy of the light position.
    Vec3 light;
    // 1 when the face faced the light at the latest face selection.
    int32_t castsShadow;
};

struct Occluder {
    // In the order: z = +2, y = +2, y = -2, z = 0, x = +2, x = -2.
    OccluderFace faces[6];
};

// The light marker's colour: yellow; and half its side, in world units.
constexpr float occluderMarkerColour[3] = {1.0f, 1.0f, 0.0f};
constexpr float occluderMarkerHalfSide = 0.5f;

// Corners, cleared extruded corners and the light copy (5, 1, 5) for every
// face; castsShadow is left as it was.
void occluderInit(Occluder& occluder);
void occluderSetLight(Occluder& occluder, const Vec3& light);
// All six faces, each with its light marker.
void occluderDraw(const Occluder& occluder);
// The face, textured and unlit, then a 1 x 1 yellow square at its light copy,
// facing +z. Leaves lighting and texturing on, the occluder texture bound
// and the colour (1, 1, 0, 1) current.
void faceDraw(const OccluderFace& face);
// The six faces alone, without their markers, leaving lighting on; and one
// face alone, leaving lighting off and the colour white.
void occluderBoxDraw(const Occluder& occluder);
void faceSurfaceDraw(const OccluderFace& face);
// The marker's four corners around the light, as one strip, in whatever
// colour is current: between drawBegin(drawTriangleStrip) and drawEnd.
void occluderMarkerVertices(const Vec3& light);
