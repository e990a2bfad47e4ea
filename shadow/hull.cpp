#include "shadow/hull.h"

#include <algorithm>
#include <cmath>

namespace {

// Twice the signed area of o, a, b: above 0 when they turn left.
double turn(double ox, double oy, double ax, double ay, double bx, double by) {
    return (ax - ox) * (by - oy) - (ay - oy) * (bx - ox);
}
double turn(const HullPoint& o, const HullPoint& a, const HullPoint& b) {
    return turn(o.x, o.y, a.x, a.y, b.x, b.y);
}

// The convex hull of the `count` points, counter-clockwise from the lowest
// leftmost, each point that does not turn left dropped; written over
// `points` (reordered), its count returned. `scratch` holds 2 x count.
int hullOf(HullPoint* points, int count, HullPoint* scratch) {
    if (count < 3) return count;
    std::sort(points, points + count, [](const HullPoint& a, const HullPoint& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    // Andrew's monotone chain: the lower chain left to right, then the
    // upper right to left.
    int k = 0;
    for (int i = 0; i < count; ++i) {
        while (k >= 2 && turn(scratch[k - 2], scratch[k - 1], points[i]) <= 0) --k;
        scratch[k++] = points[i];
    }
    for (int i = count - 2, lower = k + 1; i >= 0; --i) {
        while (k >= lower && turn(scratch[k - 2], scratch[k - 1], points[i]) <= 0) --k;
        scratch[k++] = points[i];
    }
    // The last is the first again.
    std::copy(scratch, scratch + k - 1, points);
    return k - 1;
}

// Keeps the part of the convex polygon where a x + b y + c >= 0, written
// into `kept`; its count returned.
int clipSide(const HullPoint* polygon, int count, double a, double b, double c, HullPoint* kept) {
    int k = 0;
    for (int i = 0; i < count; ++i) {
        const HullPoint& p = polygon[i];
        const HullPoint& q = polygon[(i + 1) % count];
        const double sp = a * p.x + b * p.y + c, sq = a * q.x + b * q.y + c;
        if (sp >= 0) kept[k++] = p;
        if ((sp >= 0) != (sq >= 0)) {
            const double t = sp / (sp - sq);
            kept[k++] = HullPoint{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
        }
    }
    return k;
}

// The part of the convex polygon within the rectangle {x0, y0, x1, y1}:
// each side adds at most one point, so `polygon` and `scratch` need room
// for count + 4.
int clipTo(HullPoint* polygon, int count, const int* r, HullPoint* scratch) {
    count = clipSide(polygon, count, 1, 0, -r[0], scratch);
    count = clipSide(scratch, count, -1, 0, r[2], polygon);
    count = clipSide(polygon, count, 0, 1, -r[1], scratch);
    return clipSide(scratch, count, 0, -1, r[3], polygon);
}

}  // namespace

Hull hullRectangle(int x0, int y0, int x1, int y1) {
    Hull hull{};
    if (x0 >= x1 || y0 >= y1) return hull;
    const int xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) hull.x[i] = float(xs[i]), hull.y[i] = float(ys[i]);
    hull.count = 4;
    return hull;
}

bool hullHolds(const Hull& outer, const Hull& inner) {
    if (inner.count < 3) return true;
    if (outer.count < 3) return false;
    for (int i = 0; i < outer.count; ++i) {
        const int j = (i + 1) % outer.count;
        for (int k = 0; k < inner.count; ++k)
            if (turn(outer.x[i], outer.y[i], outer.x[j], outer.y[j], inner.x[k], inner.y[k]) < 0)
                return false;
    }
    return true;
}

void hullGather(HullGathered& gathered, double x, double y) {
    if (gathered.overflowed) return;
    if (gathered.count == hullGatheredMost) {
        HullPoint scratch[2 * hullGatheredMost];
        gathered.count = hullOf(gathered.points, gathered.count, scratch);
        // Not worth gathering on with little room left.
        if (gathered.count > hullGatheredMost / 2) {
            gathered.overflowed = true;
            return;
        }
    }
    gathered.points[gathered.count++] = HullPoint{x, y};
}

bool hullCover(HullGathered& gathered, double margin, const int rectangle[4], Hull* hull) {
    if (gathered.overflowed) return false;
    HullPoint* points = gathered.points;
    HullPoint scratch[2 * hullGatheredMost];
    int n = hullOf(points, gathered.count, scratch);
    if (4 * n + 4 > hullGatheredMost) return false;
    // The hull of each corner's square is the hull grown by the square.
    for (int i = n - 1; i >= 0; --i) {
        const HullPoint p = points[i];
        for (int k = 0; k < 4; ++k)
            points[4 * i + k] =
                HullPoint{p.x + (k & 1 ? margin : -margin), p.y + (k & 2 ? margin : -margin)};
    }
    n = clipTo(points, hullOf(points, 4 * n, scratch), rectangle, scratch);
    // Onto the grid, and the hull again: corners that met there are one, and
    // one that now lies on a straight stretch or within is dropped. Each
    // moves less than 1/16 pixel on each axis, which the margin takes up.
    for (int i = 0; i < n; ++i)
        points[i] = HullPoint{std::round(points[i].x * 8) / 8, std::round(points[i].y * 8) / 8};
    n = hullOf(points, n, scratch);
    if (n > hullMost) return false;
    Hull made{};
    if (n >= 3) {
        // Exactly: a float holds every eighth of a pixel of any window.
        for (int i = 0; i < n; ++i) made.x[i] = float(points[i].x), made.y[i] = float(points[i].y);
        made.count = n;
    }
    *hull = made;
    return true;
}
