// The benchmark's fixed flight through the room: where the viewer is and
// looks, where the light is and whether its rays show, at each point of the
// path. The same path on every side, so that their frame rates compare.
#pragma once

#include <cstdint>

#include "scene/vec.h"

struct PathPose {
    Vec3 eye;
    Vec3 target;  // the point looked at; up is +y
    Vec3 light;
    uint8_t rays;
};

// The pose at `fraction` of the path, from 0 (its start) to 1 (its end);
// outside that span, the nearer end's.
PathPose pathPoseAt(float fraction);
