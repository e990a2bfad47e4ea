// Program entry, the outer window loop and the message pump.
#pragma once

#include <cstdint>

#include "app/options.h"
#include "app/window.h"

// While 1, the end of one window's pump leads to a new window.
extern int32_t isLooping;
// The display mode wanted for the next window: 1 fullscreen, 0 windowed.
extern int32_t fullScreenRequested;

// The program from its command line: prints the help or the version, or
// says what is wrong with the options (status 2), or runs it with them.
int32_t appMain(void* instance, int argc, const char* const* argv);
// Runs the program; returns its exit status: -1 when no window class could be
// registered, 1 when no window could be made or the scene could not start
// (a texture would not load), otherwise 0. The settings are kept for the
// whole run.
int32_t appRun(void* instance, const Settings& settings);
int windowClassRegister(Application* application);
// Ends the program from inside: posts the quit message and stops the loop.
void appRequestQuit(GLWindow* window);

// The four hooks through which the shell drives the scene, all defined in
// scene/scene.cpp.
int32_t sceneInit(GLWindow* window, KeyTable* keys);
void sceneUpdate(uint32_t elapsedMs);
void sceneDraw();
void sceneShutdown();
// For the benchmark: after sceneUpdate, puts the viewer, the light and its
// rays where the fixed path has them at `fraction` (0 to 1) of its length,
// whatever the keys and the mouse did; and names the way the frame's passes
// are added up.
void scenePathPose(float fraction);
const char* sceneSumName();
