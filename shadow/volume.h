// The shadow volume of one occluder face and the light's rays to its far
// corners.
#pragma once

#include "geometry/occluder.h"

// How far the volume reaches: each corner is pushed to this many times its
// distance from the light.
constexpr float shadowExtrusion = 100.0f;

// Pushes the face's corners away from its light into `extruded`.
void shadowVolumeExtrude(OccluderFace& face);
// Rebuilds the face's far corners, then draws the volume's four sides and
// far cap as five strips (the face itself, the near cap, is not drawn).
// Leaves texturing on and the colour grey.
void shadowVolumeDraw(OccluderFace& face);
// Four white lines from the light to the far corners of the face's latest
// volume. Leaves texturing and lighting on.
void shadowRaysDraw(const OccluderFace& face);
