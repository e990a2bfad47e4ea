// Program entry, the outer window loop and the message pump.
#pragma once

#include <cstdint>

#include "app/window.h"

// While 1, the end of one window's pump leads to a new window.
extern int32_t isLooping;
// The display mode wanted for the next window: 1 fullscreen, 0 windowed.
extern int32_t fullScreenRequested;

// Runs the program; returns its exit status: -1 when no window class could be
// registered, 1 when no window could be made or the scene could not start
// (a texture would not load), otherwise 0.
int32_t appRun(void* instance);
int windowClassRegister(Application* application);
// Ends the program from inside: posts the quit message and stops the loop.
void appRequestQuit(GLWindow* window);

// The four hooks through which the shell drives the scene, all defined in
// scene/scene.cpp.
int32_t sceneInit(GLWindow* window, KeyTable* keys);
void sceneUpdate(uint32_t elapsedMs);
void sceneDraw();
void sceneShutdown();
