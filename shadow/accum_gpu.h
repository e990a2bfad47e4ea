// The ten passes added on the GPU. Passes 0 to 8 are drawn into textures of
// framebuffer objects that share one depth-stencil buffer; the last pass is
// drawn into the window itself, so that its depth stays there for the box
// drawn on top, and is copied into the tenth texture. One fragment shader
// then adds the ten textures as the accumulation buffer does: each 8-bit
// channel c / 255 times (0.095 x 32767), truncated, summed, times 1 / 32767,
// rounded to the nearest 8-bit step.
#pragma once

// Fetches the entry points, compiles the shader and makes the targets for
// the current viewport. Returns 1 on success; on failure everything made is
// released and `why` (at least 160 bytes) says what was missing.
int accumGpuCreate(char* why, int whySize);
void accumGpuDestroy();

// Makes the targets again when the viewport has changed size since they
// were made. Returns 0 when they cannot be made (with `why` filled in); an
// empty viewport is no failure, and leaves the old targets in place.
int accumGpuFollowViewport(char* why, int whySize);

// Directs pass `pass` into its target, and after it, keeps the last pass.
void accumGpuPassBegin(int pass);
void accumGpuPassAdd(int pass);
// Draws the sum into the window's colour buffer.
void accumGpuReturn();
