// The room that receives the shadows: back wall, two side walls and floor of
// a 20-unit box around the origin, open at the top and at the front (z = +10).
// Every face is wound to be seen from inside; from outside it is culled.
#pragma once

#include "scene/vec.h"

// The room's four surfaces, as drawn: back wall, left wall, right wall and
// floor.
constexpr int roomWallCount = 4;
// The corners of surface `wall` (0 to roomWallCount - 1) at their least
// and at their most, on every axis.
void roomWallBounds(int wall, Vec3* low, Vec3* high);

// Draws the room unlit with the room texture modulated by the grey `tint`
// (1.0 lit, 0.55 in shadow). Leaves lighting on, the room texture bound and
// the colour (tint, tint, tint, 0) current.
void roomDrawTinted(float tint);
// Draws the room in the current colour; same state on return.
void roomDraw();
