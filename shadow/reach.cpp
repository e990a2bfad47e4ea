#include "shadow/reach.h"

#include <algorithm>
#include <cmath>

#include "draw/draw.h"
#include "geometry/room.h"
#include "shadow/volume.h"

namespace {

struct Point {
    double x, y, z;
};

// Inside where a x + b y + c z + d >= 0.
struct Plane {
    double a, b, c, d;
};

double side(const Plane& p, const Point& q) {
    return p.a * q.x + p.b * q.y + p.c * q.z + p.d;
}

// A convex polygon, small enough for any clipping below.
struct Polygon {
    Point points[32];
    int count;
};

// Keeps the part of the polygon inside the plane.
void clip(Polygon& polygon, const Plane& plane) {
    Polygon kept{};
    for (int i = 0; i < polygon.count && kept.count < 30; ++i) {
        const Point& a = polygon.points[i];
        const Point& b = polygon.points[(i + 1) % polygon.count];
        const double sa = side(plane, a), sb = side(plane, b);
        if (sa >= 0) kept.points[kept.count++] = a;
        if ((sa >= 0) != (sb >= 0) && polygon.count > 1) {
            const double t = sa / (sa - sb);
            kept.points[kept.count++] =
                Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
        }
    }
    // A segment (two points) stays a segment.
    if (polygon.count == 2 && kept.count == 3) kept.count = 2;
    polygon = kept;
}

// A convex solid: its faces as polygons, and the planes that bound it.
struct Solid {
    Polygon faces[6];
    Plane planes[6];
    int planeCount;
};

Polygon quad(const Point& a, const Point& b, const Point& c, const Point& d) {
    Polygon p{};
    p.points[0] = a, p.points[1] = b, p.points[2] = c, p.points[3] = d;
    p.count = 4;
    return p;
}

Point pointOf(const Vec3& v) {
    return Point{v.x, v.y, v.z};
}

// The plane of a face, inside towards `centre`; false for a face with no
// area, which bounds nothing.
bool planeOf(const Polygon& face, const Point& centre, Plane* plane) {
    // Newell's normal: sound for a face whose corners are not quite flat.
    double a = 0, b = 0, c = 0;
    for (int i = 0; i < face.count; ++i) {
        const Point& p = face.points[i];
        const Point& q = face.points[(i + 1) % face.count];
        a += (p.y - q.y) * (p.z + q.z), b += (p.z - q.z) * (p.x + q.x),
            c += (p.x - q.x) * (p.y + q.y);
    }
    const double length = std::sqrt(a * a + b * b + c * c);
    if (!(length > 1e-9)) return false;
    const Point& p = face.points[0];
    *plane = Plane{a / length, b / length, c / length, -(a * p.x + b * p.y + c * p.z) / length};
    if (side(*plane, centre) < 0) *plane = Plane{-plane->a, -plane->b, -plane->c, -plane->d};
    return true;
}

void planesFind(Solid& solid, const Point* corners, int cornerCount) {
    Point centre{0, 0, 0};
    for (int i = 0; i < cornerCount; ++i)
        centre = Point{centre.x + corners[i].x / cornerCount, centre.y + corners[i].y / cornerCount,
                       centre.z + corners[i].z / cornerCount};
    solid.planeCount = 0;
    for (const Polygon& face : solid.faces)
        if (planeOf(face, centre, &solid.planes[solid.planeCount])) ++solid.planeCount;
}

// A face's shadow volume: the face, its far copy and the four sides.
Solid volumeOf(const OccluderFace& face) {
    Point c[4], e[4], all[8];
    for (int i = 0; i < 4; ++i) {
        c[i] = pointOf(face.corners[i]);
        e[i] = pointOf(shadowVolumeExtruded(face.corners[i], face.light));
        all[i] = c[i], all[4 + i] = e[i];
    }
    Solid solid{};
    solid.faces[0] = quad(c[0], c[1], c[2], c[3]);
    solid.faces[1] = quad(e[0], e[1], e[2], e[3]);
    for (int i = 0; i < 4; ++i)
        solid.faces[2 + i] = quad(c[i], c[(i + 1) % 4], e[(i + 1) % 4], e[i]);
    planesFind(solid, all, 8);
    return solid;
}

// An axis-aligned box from `low` to `high`.
Solid boxOf(const Point& low, const Point& high) {
    Point k[8];
    for (int i = 0; i < 8; ++i)
        k[i] = Point{i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z};
    Solid solid{};
    solid.faces[0] = quad(k[0], k[2], k[6], k[4]), solid.faces[1] = quad(k[1], k[3], k[7], k[5]);
    solid.faces[2] = quad(k[0], k[1], k[5], k[4]), solid.faces[3] = quad(k[2], k[3], k[7], k[6]);
    solid.faces[4] = quad(k[0], k[1], k[3], k[2]), solid.faces[5] = quad(k[4], k[5], k[7], k[6]);
    solid.planeCount = 6;
    const double x[2] = {low.x, high.x}, y[2] = {low.y, high.y}, z[2] = {low.z, high.z};
    for (int i = 0; i < 2; ++i) {
        const double s = i == 0 ? 1 : -1;
        solid.planes[i] = Plane{s, 0, 0, -s * x[i]};
        solid.planes[2 + i] = Plane{0, s, 0, -s * y[i]};
        solid.planes[4 + i] = Plane{0, 0, s, -s * z[i]};
    }
    return solid;
}

// Where points stand in front of the eye: clip-space w above a hair.
Plane frontOf(const ReachView& view) {
    const double* m = view.clip;
    return Plane{m[3], m[7], m[11], m[15] - 1e-4};
}

// What the points of a reach come to as they are projected: their box in
// normalised device coordinates, and the points in window pixels.
struct Reached {
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    HullGathered gathered{};
};

// Grows what is reached by the points, all in front of the eye.
void cover(const ReachView& view, const Polygon& polygon, Reached& reached) {
    const double* m = view.clip;
    const int* v = view.viewport;
    double* box = reached.box;
    for (int i = 0; i < polygon.count; ++i) {
        const Point& p = polygon.points[i];
        const double w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
        const double x = (m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]) / w;
        const double y = (m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13]) / w;
        // A point too near the eye's plane to project lies anywhere.
        const bool finite = std::isfinite(x) && std::isfinite(y);
        box[0] = std::min(box[0], finite ? x : -1.0), box[1] = std::min(box[1], finite ? y : -1.0);
        box[2] = std::max(box[2], finite ? x : 1.0), box[3] = std::max(box[3], finite ? y : 1.0);
        // Such a point makes the box the whole view; the hull then falls
        // back to the box's rectangle.
        if (!finite) reached.gathered.overflowed = true;
        hullGather(reached.gathered, v[0] + (x + 1) * 0.5 * v[2], v[1] + (y + 1) * 0.5 * v[3]);
    }
}

// Each face of `solid`, within the other solid and in front of the eye.
void coverWithin(const ReachView& view, const Solid& solid, const Solid& other, Reached& reached) {
    const Plane front = frontOf(view);
    for (const Polygon& face : solid.faces) {
        Polygon part = face;
        for (int i = 0; i < other.planeCount && part.count > 0; ++i) clip(part, other.planes[i]);
        if (part.count > 0) clip(part, front);
        cover(view, part, reached);
    }
}

// The pixels of a box in normalised device coordinates, a pixel wider each
// way, within the viewport.
ReachRect pixelsOf(const ReachView& view, const double* box) {
    if (box[0] > box[2] || box[1] > box[3]) return ReachRect{0, 0, 0, 0};
    const int* v = view.viewport;
    auto at = [](double ndc, int origin, int size) {
        const double pixel = origin + (std::clamp(ndc, -2.0, 2.0) + 1) * 0.5 * size;
        return std::clamp(pixel, double(origin), double(origin + size));
    };
    return ReachRect{static_cast<int>(std::floor(at(box[0], v[0], v[2]))) - 1,
                     static_cast<int>(std::floor(at(box[1], v[1], v[3]))) - 1,
                     static_cast<int>(std::ceil(at(box[2], v[0], v[2]))) + 1,
                     static_cast<int>(std::ceil(at(box[3], v[1], v[3]))) + 1};
}

ReachRect clamped(const ReachView& view, ReachRect r) {
    const int* v = view.viewport;
    r.x0 = std::max(r.x0, v[0]), r.y0 = std::max(r.y0, v[1]);
    r.x1 = std::min(r.x1, v[0] + v[2]), r.y1 = std::min(r.y1, v[1] + v[3]);
    return r;
}

// The rectangle of what was reached, and in `hull` the convex polygon of
// it: the points' hull, grown by a pixel and a half each way as the
// rectangle is by one past the pixels it touches, within the rectangle. The
// rectangle's own corners where no hull can be made.
ReachRect reachedPixels(const ReachView& view, Reached& reached, Hull* hull) {
    const ReachRect r = clamped(view, pixelsOf(view, reached.box));
    const int rectangle[4] = {r.x0, r.y0, r.x1, r.y1};
    if (reachEmpty(r) || !hullCover(reached.gathered, 1.5, rectangle, hull)) *hull = reachHullOf(r);
    return r;
}

}  // namespace

ReachView reachViewCurrent(const Vec3& eye) {
    ReachView view{};
    double model[16], projection[16];
    drawGetMatrix(drawModelView, model);
    drawGetMatrix(drawProjection, projection);
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * model[column * 4 + k];
            view.clip[column * 4 + row] = sum;
        }
    drawGetViewport(view.viewport);
    // The depth buffer tells apart surfaces along a view ray no closer than
    // about d^2 / (near x 2^bits) at distance d; the farthest room point
    // sets d. Four times that is left either side of each wall.
    Vec3 low, high;
    double farthest = 0;
    for (int wall = 0; wall < roomWallCount; ++wall) {
        roomWallBounds(wall, &low, &high);
        for (int k = 0; k < 8; ++k) {
            const double dx = (k & 1 ? high.x : low.x) - eye.x,
                         dy = (k & 2 ? high.y : low.y) - eye.y,
                         dz = (k & 4 ? high.z : low.z) - eye.z;
            farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy + dz * dz));
        }
    }
    const double near = projection[14] / (projection[10] - 1.0);
    const double resolution = farthest * farthest / (near * std::ldexp(1.0, drawDepthBits()));
    view.slab = 4 * resolution + 1e-3;
    if (!std::isfinite(view.slab) || !(near > 0)) view.slab = 1e30;
    return view;
}

ReachRect reachWhole(const ReachView& view) {
    const int* v = view.viewport;
    return ReachRect{v[0], v[1], v[0] + v[2], v[1] + v[3]};
}

Hull reachHullOf(const ReachRect& r) {
    return hullRectangle(r.x0, r.y0, r.x1, r.y1);
}

bool reachEmpty(const ReachRect& r) {
    return r.x0 >= r.x1 || r.y0 >= r.y1;
}

ReachRect reachUnion(const ReachRect& a, const ReachRect& b) {
    if (reachEmpty(a)) return b;
    if (reachEmpty(b)) return a;
    return ReachRect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
                     std::max(a.y1, b.y1)};
}

ReachRect reachShadow(const ReachView& view, const Occluder& occluder, Hull* hull) {
    if (!(view.slab < 1e29)) {
        *hull = reachHullOf(reachWhole(view));
        return reachWhole(view);
    }
    Reached reached;
    for (int wall = 0; wall < roomWallCount; ++wall) {
        Vec3 low, high;
        roomWallBounds(wall, &low, &high);
        const double s = view.slab;
        const Solid slab = boxOf(Point{low.x - s, low.y - s, low.z - s},
                                 Point{high.x + s, high.y + s, high.z + s});
        for (const OccluderFace& face : occluder.faces) {
            if (!face.castsShadow) continue;
            const Solid volume = volumeOf(face);
            coverWithin(view, volume, slab, reached);
            coverWithin(view, slab, volume, reached);
        }
    }
    return reachedPixels(view, reached, hull);
}

ReachRect reachShows(const ReachView& view, const Occluder& occluder, const Vec3& light, bool rays,
                     Hull* hull) {
    Reached reached;
    const Plane front = frontOf(view);
    const double h = occluderMarkerHalfSide;
    Polygon marker =
        quad(Point{light.x - h, light.y - h, light.z}, Point{light.x + h, light.y - h, light.z},
             Point{light.x + h, light.y + h, light.z}, Point{light.x - h, light.y + h, light.z});
    clip(marker, front);
    cover(view, marker, reached);
    for (const OccluderFace& face : occluder.faces) {
        if (!rays || !face.castsShadow) continue;
        for (const Vec3& end : face.extruded) {
            Polygon ray{};
            ray.points[0] = pointOf(face.light), ray.points[1] = pointOf(end), ray.count = 2;
            clip(ray, front);
            cover(view, ray, reached);
        }
    }
    return reachedPixels(view, reached, hull);
}
