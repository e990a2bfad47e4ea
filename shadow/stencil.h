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

// 1 when the current rendering context clamps depth instead of clipping at
// the near and far planes; the
// count then uses it, so a far light's far cap is never lost past the far
// plane. Set by shadowDepthClampDetect, once for each new context.
extern int shadowDepthClamp;
void shadowDepthClampDetect();
