// The frame with the ten passes counted instead of drawn whole. The room and
// the box are drawn once; each pass then draws only what it changes: its
// volumes, counted in the stencil buffer, and its marker and rays. Pixel by
// pixel the window's colour buffer counts the passes that leave the room in
// shadow (red) and that show the marker (green) or a ray (blue) instead of
// it, and one shader composes the frame from the counts and the lit picture
// with the accumulation buffer's arithmetic (draw/draw.h, drawCompose).
#pragma once

#include <cstdint>

#include "scene/vec.h"
#include "shadow/stencil.h"

// The stencil's bits while the passes are counted.
enum : uint32_t {
    countedVolumeBits = 0x1F,  // the pass's volumes, counted modulo 32
    countedMarkerBit = 0x20,   // the pass's marker shows here
    countedRoomBit = 0x40,     // the room shows here, for the whole frame
    countedRayBit = 0x80,      // one of the pass's rays shows here
};

// The room and the box drawn once and kept, then the ten passes counted and
// kept; the window's colour then holds the counts.
void countedPassesDraw();

// Its steps, in order:
// the scene cleared and drawn once, kept, and the counts cleared;
void countedBaseDraw();
// for each pass: its light and its casting faces;
void countedPassBegin(int pass, const Vec3& saved);
// what it shows in place of the room: the marker, and the rays while Space
// is held, each pixel counted once, as the nearer would show in a pass
// drawn whole (a ray that leaves the marker's plane towards greater z lies
// before the marker; the others behind it);
void countedPassShows();
// its volumes, and where they leave the room in shadow, clearing the
// stencil for the next pass as it goes;
void countedPassVolumes();
void countedPassShadow(int pass);
// the light back;
void countedPassEnd(int pass);
// and at last the counts kept.
void countedCountsKeep();
// The frame from what was kept, then the overlay: the box and the last
// pass's marker on top at their full colour, and the frame rate.
void countedCompose();
void countedOverlay();

// A quad over the whole viewport in the current colour, whatever the depth.
void countedCover();

// The volumes the passes are counted with: the box's silhouette's, unless
// told otherwise (to measure the difference).
extern ShadowVolumes countedVolumes;
// One step of each colour channel of the window, what a pass adds to a
// count: found once for each rendering context, when counting is set up
// (shadow/accum.h), not in every frame.
extern float countedSteps[3];
