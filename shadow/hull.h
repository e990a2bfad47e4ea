// Convex polygons in the window's pixels: what a pass of the counted frame
// covers, the hull of the points its shadow or its marker and rays can reach
// (shadow/reach.cpp), where their bounding rectangle would cover much more.
#pragma once

// A convex polygon in window coordinates, counter-clockwise from its
// leftmost corner (the lowest of those), no corner twice nor any on a
// straight stretch of its edge; it covers nothing with fewer than 3 corners.
constexpr int hullMost = 32;
struct Hull {
    int count;
    float x[hullMost], y[hullMost];
};

// The rectangle x0 <= x <= x1, y0 <= y <= y1 as a hull (nothing when it
// is empty).
Hull hullRectangle(int x0, int y0, int x1, int y1);
// Whether every corner of `inner` lies within `outer` (or on its edge).
bool hullHolds(const Hull& outer, const Hull& inner);

// Points gathered for a hull, in window coordinates. When the store fills,
// it keeps their hull instead: the hull of them all is the same.
constexpr int hullGatheredMost = 256;
struct HullPoint {
    double x, y;
};
struct HullGathered {
    HullPoint points[hullGatheredMost];
    int count;
    // No hull is to be made: even their hull left too little room (or the
    // gatherer knows they can lie anywhere).
    bool overflowed;
};
void hullGather(HullGathered& gathered, double x, double y);
// Their hull grown by `margin` each way (by a square: every point within
// `margin` of it on both axes is inside), within the rectangle {x0, y0, x1,
// y1}, its corners on a grid of 1/8 pixel. A rasteriser's own grid (1/16
// pixel or finer) holds those, so it draws exactly this convex polygon and a
// strip of triangles over it covers each pixel once, where corners a
// rounding apart could turn a triangle over and cover pixels twice or not
// at all. False, with `hull` untouched, where it does not fit in a Hull.
// The points gathered are used up.
bool hullCover(HullGathered& gathered, double margin, const int rectangle[4], Hull* hull);
