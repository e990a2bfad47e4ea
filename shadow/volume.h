// The shadow volume of one occluder face and the light's rays to its far
// corners.
#pragma once

#include "geometry/occluder.h"

// How far the volume reaches: each corner is pushed to this many times its
// distance from the light.
constexpr float shadowExtrusion = 100.0f;
// The rays' colour: white.
constexpr float shadowRayColour[3] = {1.0f, 1.0f, 1.0f};

// Pushes the face's corners away from its light into `extruded`.
void shadowVolumeExtrude(OccluderFace& face);
// Where one corner is pushed from `light`.
Vec3 shadowVolumeExtruded(const Vec3& corner, const Vec3& light);
// Rebuilds the face's far corners, then draws the volume's four sides and
// far cap as five strips (the face itself, the near cap, is not drawn).
// Leaves texturing on and the colour grey.
void shadowVolumeDraw(OccluderFace& face);
// Four white lines from the face's light to the far corners of its latest
// volume. Leaves texturing and lighting on.
void shadowRaysDraw(const OccluderFace& face);

// The volume of the whole box seen from the light: the far caps of the
// faces that cast and the sides over their silhouette edges, where a
// casting face meets one that does not. Every pixel counts as it would with
// each casting face's own volume. Rebuilds nothing: the casting faces'
// far corners must be built for the light.
// In whatever colour is current.
void shadowSilhouetteDraw(const Occluder& occluder);
// The lines of that volume's edges: where each side meets the box, the far
// cap and the sides beside it. Between drawBegin(drawLines) and drawEnd.
void shadowSilhouetteEdges(const Occluder& occluder);

// Which of a face's rays: all, those that leave the marker's plane
// towards greater z (which the marker, facing +z, cannot hide), or the
// others.
enum ShadowRays : int {
    shadowRaysAll,
    shadowRaysBeforeMarker,
    shadowRaysBehindMarker,
};
// Their lines' vertices, from the face's light: between drawBegin(drawLines)
// and drawEnd.
void shadowRaysVertices(const OccluderFace& face, ShadowRays which);
