#include "scene/path.h"

#include "scene/camera.h"
#include "scene/scene.h"
#include "scene/settings.h"

namespace {

struct PathKey {
    float at;  // the fraction of the path where the pose is this
    Vec3 eye, target, light;
};

// From outside the open front, the box and its soft shadow on the back wall
// with the light's marker before it; round to the left as the light climbs
// and the shadow sinks; in close past the marker while the rays show;
// across to the right as the light crosses over, the shadow sliding along
// the back wall and onto the right-hand one; back out and up over it all.
const PathKey keys[] = {
    {0.00f, {0.0f, 2.0f, 17.0f}, {0.0f, -2.0f, -10.0f}, {5.0f, 1.0f, 5.0f}},
    {0.25f, {-7.0f, 5.0f, 9.0f}, {1.0f, -3.0f, -10.0f}, {3.0f, 4.0f, 5.0f}},
    {0.50f, {2.5f, 1.5f, 9.0f}, {-1.0f, -1.0f, -4.0f}, {2.0f, 2.0f, 5.5f}},
    {0.75f, {7.0f, 0.0f, 8.0f}, {-5.0f, -3.0f, -10.0f}, {-4.0f, 2.0f, 5.0f}},
    {1.00f, {0.0f, 7.0f, 15.0f}, {0.0f, -4.0f, -8.0f}, {0.0f, 5.0f, 6.0f}},
};
const int keyCount = sizeof keys / sizeof keys[0];

// The rays show over this part of the path, around the close pass.
const float raysFrom = 0.38f, raysTo = 0.68f;

Vec3 between(Vec3 a, Vec3 b, float t) {
    return Vec3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

}  // namespace

PathPose pathPoseAt(float fraction) {
    int next = 1;
    while (next < keyCount - 1 && keys[next].at < fraction) ++next;
    const PathKey& a = keys[next - 1];
    const PathKey& b = keys[next];
    float t = (fraction - a.at) / (b.at - a.at);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    // Eased in and out at each key, so that the flight never jerks.
    t = t * t * (3.0f - 2.0f * t);
    const bool rays = fraction >= raysFrom && fraction < raysTo;
    return PathPose{between(a.eye, b.eye, t), between(a.target, b.target, t),
                    between(a.light, b.light, t), static_cast<uint8_t>(rays ? 1 : 0)};
}

void scenePathPose(float fraction) {
    const PathPose pose = pathPoseAt(fraction);
    cameraSetPose(sceneCamera, pose.eye.x, pose.eye.y, pose.eye.z, pose.target.x, pose.target.y,
                  pose.target.z, 0.0f, 1.0f, 0.0f);
    lightPosition = pose.light;
    showRays = pose.rays;
    // Nor do the keys change how the frame is drawn; the system, told of a
    // key's step, is told that it was taken back.
    if (!settingsSame(sceneSettings, sceneSettingsGiven)) {
        sceneSettings = sceneSettingsGiven;
        settingsShow(sceneSettings);
    }
}
