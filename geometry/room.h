// The room that receives the shadows: back wall, two side walls and floor of
// a 20-unit box around the origin, open at the top and at the front (z = +10).
// Every face is wound to be seen from inside; from outside it is culled.
#pragma once

// Draws the room unlit with the room texture modulated by the grey `tint`
// (1.0 lit, 0.55 in shadow). Leaves lighting on, the room texture bound and
// the colour (tint, tint, tint, 0) current.
void roomDrawTinted(float tint);
// Draws the room in the current colour; same state on return.
void roomDraw();
