#include "scene/camera.h"

#include <cmath>

#include "draw/draw.h"
#include "platform/platform.h"

float accumulatedPitch = 0.0f;

namespace {

const float lookRadiansPerPixel = 0.001f;
const float unitsPerMillisecond = 0.01f;
const float pitchLimit = 1.0f;

bool isFinite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool isZero(Vec3 v) {
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

Vec3 difference(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

bool keyHeld(int virtualKey) {
    return (platformGetKeyState(virtualKey) & 0x80) != 0;
}

// Moves eye and view point together, unless that would take either of them
// out of the finite numbers.
void moveBy(Camera& camera, Vec3 step) {
    Vec3 position{camera.position.x + step.x, camera.position.y + step.y,
                  camera.position.z + step.z};
    Vec3 viewPoint{camera.viewPoint.x + step.x, camera.viewPoint.y + step.y,
                   camera.viewPoint.z + step.z};
    if (!isFinite(position) || !isFinite(viewPoint)) return;
    camera.position = position;
    camera.viewPoint = viewPoint;
}

}  // namespace

void cameraSetPose(Camera& camera, float positionX, float positionY, float positionZ, float viewX,
                   float viewY, float viewZ, float upX, float upY, float upZ) {
    Vec3 position{positionX, positionY, positionZ};
    Vec3 viewPoint{viewX, viewY, viewZ};
    Vec3 upVector{upX, upY, upZ};
    if (!isFinite(position) || !isFinite(viewPoint) || !isFinite(upVector)) return;
    camera.position = position;
    camera.viewPoint = viewPoint;
    camera.upVector = upVector;
}

void cameraRotateView(Camera& camera, float angle, float x, float y, float z) {
    Vec3 d = difference(camera.viewPoint, camera.position);
    float ca = std::cos(angle);
    float sa = std::sin(angle);
    float t = 1.0f - ca;

    Vec3 turned;
    turned.x = (t * x * x + ca) * d.x + (t * x * y - sa * z) * d.y + (t * x * z + sa * y) * d.z;
    turned.y = (t * x * y + sa * z) * d.x + (t * y * y + ca) * d.y + (t * y * z - sa * x) * d.z;
    turned.z = (t * x * z - sa * y) * d.x + (t * y * z + sa * x) * d.y + (t * z * z + ca) * d.z;

    Vec3 viewPoint{camera.position.x + turned.x, camera.position.y + turned.y,
                   camera.position.z + turned.z};
    if (!isFinite(viewPoint)) return;
    camera.viewPoint = viewPoint;
}

void cameraStrafe(Camera& camera, float distance) {
    moveBy(camera, Vec3{distance * camera.strafeVector.x, 0.0f, distance * camera.strafeVector.z});
}

void cameraAdvance(Camera& camera, float distance) {
    // With the view point on the eye there is no direction to go: the
    // normalised direction is zero and the camera stays.
    Vec3 n = vecNormalize(difference(camera.viewPoint, camera.position));
    moveBy(camera, Vec3{distance * n.x, distance * n.y, distance * n.z});
}

void cameraMouseLook(Camera& camera) {
    int x = cameraCursorCentreX;
    int y = cameraCursorCentreY;
    if (!platformGetCursorPos(&x, &y)) return;
    if (x == cameraCursorCentreX && y == cameraCursorCentreY) return;
    platformSetCursorPos(cameraCursorCentreX, cameraCursorCentreY);

    float yaw = static_cast<float>(cameraCursorCentreX - x) * lookRadiansPerPixel;
    float pitch = static_cast<float>(cameraCursorCentreY - y) * lookRadiansPerPixel;

    // A frame that would carry the sum past the limit pins it there and turns
    // the view not at all, sideways included.
    accumulatedPitch -= pitch;
    if (accumulatedPitch > pitchLimit) {
        accumulatedPitch = pitchLimit;
        return;
    }
    if (accumulatedPitch < -pitchLimit) {
        accumulatedPitch = -pitchLimit;
        return;
    }

    // Looking exactly along the up vector leaves no sideways axis to tilt
    // about (the normalised cross product is zero); turning about a zero
    // axis would shrink the view direction, so the tilt is skipped.
    Vec3 axis =
        vecNormalize(vecCross(difference(camera.viewPoint, camera.position), camera.upVector));
    if (!isZero(axis)) cameraRotateView(camera, pitch, axis.x, axis.y, axis.z);
    cameraRotateView(camera, yaw, 0.0f, 1.0f, 0.0f);
}

void cameraKeyMove(Camera& camera) {
    float step = camera.speed * unitsPerMillisecond;
    if (keyHeld(VK_UP) || keyHeld('W')) cameraAdvance(camera, step);
    if (keyHeld(VK_DOWN) || keyHeld('S')) cameraAdvance(camera, -step);
    if (keyHeld(VK_LEFT) || keyHeld('A')) cameraStrafe(camera, -step);
    if (keyHeld(VK_RIGHT) || keyHeld('D')) cameraStrafe(camera, step);
}

void cameraUpdate(Camera& camera, bool look) {
    camera.strafeVector =
        vecNormalize(vecCross(difference(camera.viewPoint, camera.position), camera.upVector));
    if (look) cameraMouseLook(camera);
    cameraKeyMove(camera);
}

void cameraApply(const Camera& camera) {
    drawLookAt(camera.position.x, camera.position.y, camera.position.z, camera.viewPoint.x,
               camera.viewPoint.y, camera.viewPoint.z, camera.upVector.x, camera.upVector.y,
               camera.upVector.z);
}
