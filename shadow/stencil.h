// Hard shadows for one light position: the faces that face the light, their
// volumes counted into the stencil buffer, and the room darkened where the
// count is odd.
#pragma once

#include <cstdint>

#include "geometry/occluder.h"

// The grey the shadowed room is drawn with.
constexpr float shadowTint = 0.55f;

// 1 when the face faces its light copy: the light strictly on the outer side
// of its plane, or, for the top face, in the plane too.
int occluderFaceCasts(const OccluderFace& face, int faceIndex);
// Chooses the casting faces (top, bottom, front, back, right, left) and for
// each draws its rays when `showRays` is 1, then its stencil pass.
void occluderCastShadows(Occluder& occluder, uint8_t showRays);
// Counts the face's volume into the stencil buffer (depth-fail) and redraws
// the room at the shadow grey where the count is odd.
void shadowStencilPass(OccluderFace& face);

// Sets every face's castsShadow as occluderCastShadows does, and draws
// nothing.
void occluderChooseCasters(Occluder& occluder);

// Counts the casting faces' shadow into the stencil bits of `countMask`,
// depth-fail, after rebuilding their far corners for their light: a room
// pixel's count is odd where the light does not reach it. One volume serves
// them all, the box's silhouette's, which counts as each casting face's own
// would, with less to fill. Draws no colour and no depth; the stencil test
// must be on. Leaves the stencil writing every bit, and lighting on.
void shadowVolumesCount(Occluder& occluder, uint32_t countMask);
// Rebuilds the casting faces' far corners for their light, as counting
// does, without counting: where the rays will end.
void shadowVolumesBuild(Occluder& occluder);

// 1 when the current rendering context clamps depth instead of clipping at
// the near and far planes; the
// count then uses it, so a far light's far cap is never lost past the far
// plane. Set by shadowDepthClampDetect, once for each new context.
extern int shadowDepthClamp;
void shadowDepthClampDetect();
