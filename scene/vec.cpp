#include "scene/vec.h"

#include <cmath>

Vec3 vecCross(Vec3 a, Vec3 b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vecLength(Vec3 v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vec3 vecNormalize(Vec3 v) {
    float length = vecLength(v);
    if (length > 0.0f && std::isfinite(length)) {
        return Vec3{v.x / length, v.y / length, v.z / length};
    }
    // The squares overflowed or underflowed (or there is no direction at
    // all). Scaling by the largest component first brings a finite non-zero
    // vector into range; anything else has no direction to give.
    float largest = std::fmax(std::fabs(v.x), std::fmax(std::fabs(v.y), std::fabs(v.z)));
    if (!(largest > 0.0f) || !std::isfinite(largest) || !std::isfinite(v.x) ||
        !std::isfinite(v.y) || !std::isfinite(v.z)) {
        return Vec3{0.0f, 0.0f, 0.0f};
    }
    Vec3 scaled{v.x / largest, v.y / largest, v.z / largest};
    length = vecLength(scaled);
    return Vec3{scaled.x / length, scaled.y / length, scaled.z / length};
}
