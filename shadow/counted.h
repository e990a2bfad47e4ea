// The frame with its passes counted instead of drawn whole. The room and the
// box are drawn once; each pass then draws only what it changes: its marker
// and rays, and its volumes, counted in the stencil buffer. Pixel by pixel
// the window's colour buffer counts the passes that leave the room in
// shadow, and those that show the marker or a ray instead of it; one shader
// then composes the frame from the counts and the lit picture with the
// accumulation buffer's arithmetic. What the stencil and each colour channel
// hold meanwhile is named in draw/compose.h. Each pass counts only within
// the part of the view it can change (shadow/reach.h).
#pragma once

#include <cstdint>

#include "geometry/occluder.h"
#include "shadow/frame.h"
#include "shadow/light.h"
#include "shadow/reach.h"

// Sets counting up in the current context: the composing shader, the kept
// pictures and the window's colour steps; 0 with `why` where it cannot be
// had, with nothing left made.
int countedSetUp(char* why, int whySize);
void countedRelease();
// Makes the kept pictures again when the viewport has changed size; 0 with
// `why` when they cannot be made.
int countedFollowViewport(char* why, int whySize);
// How many of `requested` passes the window's colour channels can count:
// all of them, or as many as the smallest channel holds (31 in five bits),
// said in one line the first time.
int countedPasses(int requested);

// The frame but for the frame rate: the passes counted, the frame composed,
// the box and the last pass's marker on top.
void countedFrameDraw(const FrameInput& input, Occluder& occluder);
// Its first half: the scene drawn once and kept, the passes counted and the
// counts kept; the window's colour then holds the counts within the
// rectangle returned, and every count outside it is 0.
ReachRect countedPassesDraw(const FrameInput& input, Occluder& occluder);

// What the frame's steps hand on: what it is drawn from, and where each
// pass can change the picture (the whole view for each when the input asks
// for it), worked out before any pass is drawn.
struct CountedFrame {
    FrameInput input;
    int passes;                         // as many as can be counted
    ReachRect shows[lightPassesMost];   // where each pass's marker and rays show
    ReachRect shadow[lightPassesMost];  // where each pass's shadow can fall
    ReachRect all;                      // where any pass counts anything
    // The same, as the convex polygons within the rectangles that each pass
    // covers, and the viewport they are in.
    Hull showsHull[lightPassesMost];
    Hull shadowHull[lightPassesMost];
    int viewport[4];
};
// And each pass's: its light, and whether it is the last (whose marker and
// rays stay for the overlay).
struct CountedPass {
    int index;
    Vec3 light;
    bool last;
};

// After the base: every pass counted, and the counts kept.
void countedPassesCount(const CountedFrame& frame, Occluder& occluder);

// The steps, in order (bench_frame times each):
// the scene drawn once and kept, and the counts cleared;
CountedFrame countedBaseDraw(const FrameInput& input, const Occluder& occluder);
// for each pass: its light, and the faces that face it;
CountedPass countedPassBegin(const CountedFrame& frame, Occluder& occluder, int index);
// what it shows in place of the room: the marker, and the rays while Space
// is held, each pixel counted once, as the nearer would show in a pass drawn
// whole (a ray that leaves the marker's plane towards greater z lies before
// the marker; the others behind it);
void countedPassShows(const CountedFrame& frame, const CountedPass& pass, const Occluder& occluder);
// its volumes counted in the stencil, where its shadow can fall;
void countedPassVolumes(const CountedFrame& frame, const CountedPass& pass, Occluder& occluder);
// the room it leaves in shadow counted, and its stencil cleared for the
// next pass;
void countedPassShadow(const CountedFrame& frame, const CountedPass& pass);
// the counts kept;
void countedCountsKeep(const CountedFrame& frame);
// the frame composed from what was kept (and over the room, where asked,
// the count of its passes in shadow), then the box and the last pass's
// marker on top at their full colour.
void countedCompose(const CountedFrame& frame, const Occluder& occluder);
