// The frame with its passes counted instead of drawn whole. The room and the
// box are drawn once; each pass then draws only what it changes: its marker
// and rays, and its volumes, counted in the stencil buffer. Pixel by pixel
// the window's colour buffer counts the passes that leave the room in
// shadow, and those that show the marker or a ray instead of it; one shader
// then composes the frame from the counts and the lit picture with the
// accumulation buffer's arithmetic. What the stencil and each colour channel
// hold meanwhile is named in draw/compose.h.
#pragma once

#include <cstdint>

#include "geometry/occluder.h"
#include "scene/camera.h"
#include "shadow/frame.h"

// Sets counting up in the current context: the composing shader, the kept
// pictures and the window's colour steps; 0 with `why` where it cannot be
// had, with nothing left made.
int countedSetUp(char* why, int whySize);
void countedRelease();
// Makes the kept pictures again when the viewport has changed size; 0 with
// `why` when they cannot be made.
int countedFollowViewport(char* why, int whySize);

// The frame but for the frame rate: the passes counted, the frame composed,
// the box and the last pass's marker on top.
void countedFrameDraw(const FrameInput& input, Occluder& occluder);
// Its first half: the scene drawn once and kept, the passes counted and the
// counts kept; the window's colour then holds the counts.
void countedPassesDraw(const FrameInput& input, Occluder& occluder);

// Its steps, in order (bench_frame times each):
// the scene drawn once and kept, and the counts cleared;
void countedBaseDraw(const Camera& camera, const Occluder& occluder);
// for each pass: its light, and the faces that face it;
void countedPassBegin(Occluder& occluder, const Vec3& light);
// what it shows in place of the room: the marker, and the rays while
// `showRays` is 1, each pixel counted once, as the nearer would show in a
// pass drawn whole (a ray that leaves the marker's plane towards greater z
// lies before the marker; the others behind it);
void countedPassShows(const Occluder& occluder, const Vec3& light, uint8_t showRays);
// its volumes counted in the stencil;
void countedPassVolumes(Occluder& occluder);
// the room it leaves in shadow counted in red, and its stencil cleared for
// the next pass (the last pass's marker and rays stay for the overlay);
void countedPassShadow(bool last);
// the counts kept;
void countedCountsKeep();
// the frame composed from what was kept, then the box and the last pass's
// marker on top at their full colour.
void countedCompose(const Occluder& occluder);

// A quad over the whole viewport in the current colour, whatever the depth.
void countedCover();
