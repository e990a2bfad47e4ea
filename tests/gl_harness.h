// A real OpenGL context for drawing tests: an 800 x 600 (or given size)
// window made through the real system layer, with depth, stencil and
// accumulation buffers as the program asks for them.
#pragma once

#include <cstdint>
#include <vector>

struct GLHarnessPixel {
    int r, g, b;
};

// Opens the window and makes its context current. Returns false when no
// display or context can be had (the caller then fails the test).
bool glHarnessOpen(int width = 800, int height = 600);
void glHarnessClose();
// The pixel at (x, y) of the back buffer, y counted from the bottom.
GLHarnessPixel glHarnessPixel(int x, int y);
// The whole back buffer, RGB, rows bottom to top.
std::vector<uint8_t> glHarnessReadRgb();
// Bits of the framebuffer's stencil and accumulation buffers as made.
int glHarnessStencilBits();
int glHarnessAccumRedBits();
