// The free-flying first-person viewer: mouse look with a limit on the
// accumulated pitch, and the arrows or W/A/S/D to fly.
#pragma once

#include "scene/vec.h"

struct Camera {
    // This frame's elapsed milliseconds; the keys move speed x 0.01 units.
    float speed = 0.0f;
    Vec3 position = {0.0f, 0.0f, 0.0f};
    // The point looked at; viewPoint - position is the view direction.
    Vec3 viewPoint = {0.0f, 1.0f, 0.5f};
    Vec3 upVector = {0.0f, 0.0f, 1.0f};
    // Unit vector to the right of the view, refreshed by every cameraUpdate.
    Vec3 strafeVector = {0.0f, 0.0f, 0.0f};
};

// Sum of the vertical look angles applied so far, in radians, positive when
// looking down; kept within [-1, 1]. One for the program, never reset.
extern float accumulatedPitch;

// The mouse-look centre the cursor is pulled back to every frame.
enum : int { cameraCursorCentreX = 400, cameraCursorCentreY = 300 };

// The camera never takes a non-finite value into its pose: a pose with a
// non-finite number is ignored, and a turn or move whose result would not be
// finite is dropped, leaving the camera where it was.
void cameraSetPose(Camera& camera, float positionX, float positionY, float positionZ, float viewX,
                   float viewY, float viewZ, float upX, float upY, float upZ);
// Turns the view point about the unit axis (x, y, z) through the position;
// a positive angle turns counter-clockwise seen from the axis' tip.
void cameraRotateView(Camera& camera, float angle, float x, float y, float z);
// Sideways along strafeVector, never changing height.
void cameraStrafe(Camera& camera, float distance);
// Along the view direction, height included.
void cameraAdvance(Camera& camera, float distance);
void cameraMouseLook(Camera& camera);
void cameraKeyMove(Camera& camera);
// Once per frame: strafe vector, then mouse (unless `look` is false, when
// the pointer is neither read nor moved), then keys.
void cameraUpdate(Camera& camera, bool look = true);
// Multiplies the look-at transform onto the current GL matrix.
void cameraApply(const Camera& camera);
