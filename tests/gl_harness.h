// A real OpenGL context for drawing tests: a window of the given client
// size made through the real system layer, with depth, stencil and
// accumulation buffers as the program asks for them (or as `request` asks).
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw.h"
#include "platform/platform.h"

// Registers the test window class (messages to `proc` when given), opens
// the window, makes a context of the kind the renderer draws in current,
// starts the renderer and shows the window. Returns the window, or null when no display, context or
// renderer can be had (the caller then fails the test).
PlatformWindow* glHarnessOpen(int width = 800, int height = 600,
                              const PlatformPixelFormat* request = nullptr,
                              PlatformWindowProc proc = nullptr,
                              DrawRenderer renderer = drawRendererGl1);
// Releases the context and the window, then the class unless told to keep it.
void glHarnessClose(bool keepClass = false);
// The whole back buffer, once everything asked has been drawn: RGB, rows
// bottom to top.
std::vector<uint8_t> glHarnessReadRgb();
