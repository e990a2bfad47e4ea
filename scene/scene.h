// Everything of the demonstration that outlives a frame: the light, the ray
// flag, the frame-rate counter, the camera and the occluder, and the four
// hooks through which the shell drives them, all defined in scene.cpp
// (declared with the shell, which calls them: app/app.h). sceneDraw hands
// the scene's values to the frame (shadow/frame.h).
#pragma once

#include <cstdint>

#include "app/app.h"
#include "app/window.h"
#include "geometry/occluder.h"
#include "scene/camera.h"
#include "scene/settings.h"
#include "scene/vec.h"

// The light's world position, (5, 1, 5) at start. Unbounded: the user may
// move it anywhere, through walls and the box.
extern Vec3 lightPosition;
// 1 while Space is held: the frame then shows the light's rays.
extern uint8_t showRays;
// Frames counted over the last interval of just over a second.
extern float fpsValue;
// Frames counted since fpsValue was last published.
extern float frameCount;
// Milliseconds since the first frame-rate sample (the program's first
// frame), when fpsValue was last published.
extern uint64_t lastSampleTime;
// The frame-rate clock: milliseconds since the first sample, and the tick
// counter at the latest one; all zero until the first sample.
extern uint64_t fpsClockMs;
extern uint32_t fpsLastTick;
extern int32_t fpsClockStarted;
// The shell's window record and key table, kept from sceneInit until
// sceneShutdown; null outside that span.
extern GLWindow* sceneWindow;
extern KeyTable* sceneKeys;
// How the frame shows its method, as the keys have set it; and as the
// command line set it at start, which the benchmark holds it to.
extern SceneSettings sceneSettings;
extern SceneSettings sceneSettingsGiven;
// The viewer and the shadow caster the frame is drawn with.
extern Camera sceneCamera;
// What shows where nothing is drawn: the blue beyond the open sides.
extern const float sceneClearColour[4];
extern Occluder sceneOccluder;

// Counts one frame; publishes the count into fpsValue once more than a
// second has passed since the last publication. Returns fpsValue.
float fpsSample();
