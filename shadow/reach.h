// The part of the view that one pass of the counted frame can change: where
// its shadow can fall on the room, and where its marker and rays show. The
// pass counts its volumes only within the rectangle of it, and covers only
// the convex polygon of it; elsewhere its counts would all be 0, so the
// picture is the same.
#pragma once

#include "geometry/occluder.h"
#include "scene/vec.h"
#include "shadow/hull.h"

// A rectangle of whole pixels, x0 <= x < x1 and y0 <= y < y1 in window
// coordinates; empty when it holds none.
struct ReachRect {
    int x0, y0, x1, y1;
};

// What the reach of a pass is worked out from, once a frame: the transform
// from the world to clip space, the viewport, and how far from a wall a
// volume may still count against it where the depth buffer cannot tell the
// two apart.
struct ReachView {
    double clip[16];  // projection x model-view, column by column
    int viewport[4];
    double slab;
};

// From the current matrices and viewport, seen from `eye`.
ReachView reachViewCurrent(const Vec3& eye);
ReachRect reachWhole(const ReachView& view);
bool reachEmpty(const ReachRect& rect);
// The rectangle as a convex polygon to cover.
Hull reachHullOf(const ReachRect& rect);
ReachRect reachUnion(const ReachRect& a, const ReachRect& b);
// Where the casting faces' volumes for their light meet the room's
// surfaces: the only pixels whose count a pass can leave odd. In `hull`,
// the convex polygon within the rectangle that holds them all.
ReachRect reachShadow(const ReachView& view, const Occluder& occluder, Hull* hull);
// Where the marker at `light` shows, and the casting faces' rays to their
// latest far corners while `rays`; in `hull` as above.
ReachRect reachShows(const ReachView& view, const Occluder& occluder, const Vec3& light, bool rays,
                     Hull* hull);
