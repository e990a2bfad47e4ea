// Three-component vectors in world units and the few operations the camera
// needs on them.
#pragma once

struct Vec3 {
    float x, y, z;
};

Vec3 vecCross(Vec3 a, Vec3 b);
float vecLength(Vec3 v);
// The unit vector along v. A vector with no direction (zero, or with a
// non-finite component) gives the zero vector, so callers never receive
// NaN or infinity from here; a finite vector too long or too short to square
// in single precision is still normalised correctly.
Vec3 vecNormalize(Vec3 v);
