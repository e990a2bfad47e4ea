// The counted frame's part of the drawing vocabulary: what the window's
// buffers hold while a frame's passes are counted, and the shader that then
// composes the frame from the counts. The rest of the vocabulary, the calls
// that stand for GL's own, is draw/draw.h.
//
// The scene is drawn once into the window and drawComposeKeepBase keeps that
// picture; then, in the window's colour buffer cleared to 0, each pass adds
// one step of a channel where it leaves the room in shadow, where its marker
// shows and where its rays show (DrawCountChannel); drawComposeKeepCounts
// keeps the counts where passes counted, and drawCompose draws the frame
// from the two into the
// window, exactly as GL's accumulation buffer would have summed the passes
// drawn whole: each 8-bit channel c / 255 times (weight x drawAccumScale),
// truncated, summed, times 1 / drawAccumScale, rounded to the nearest 8-bit
// step. A pass in shadow shows the kept picture times the shadow's tint,
// rounded as the tinted room is drawn; one counted under the marker or a
// ray shows that colour; every other pass the kept picture itself.
#pragma once

#include <cstdint>

// What the stencil holds while the passes are counted.
enum : uint32_t {
    drawCountOddBit = 0x01,      // a volume count's lowest bit: set where the room is in shadow
    drawCountVolumeBits = 0x1F,  // the pass's volumes, counted modulo 32
    drawCountMarkerBit = 0x20,   // the pass's marker shows here
    drawCountRoomBit = 0x40,     // the room shows here, for the whole frame
    drawCountRayBit = 0x80,      // one of the pass's rays shows here
};
// The stencil bits counting needs of the window.
constexpr int drawCountStencilBits = 8;

// The colour channel that counts each kind of pass at a pixel.
enum DrawCountChannel : int {
    drawCountShadow = 0,  // red: the passes that leave the room in shadow
    drawCountMarker = 1,  // green: those whose marker shows instead of the room
    drawCountRays = 2,    // blue: those whose rays show instead of it
};

// GL's accumulation buffer adds colour x weight x this, truncated, and
// returns its sum x 1 / this.
constexpr float drawAccumScale = 32767.0f;

// What the counted passes show.
struct DrawComposition {
    float shadowTint;  // a pass in shadow shows the lit room times this
    float marker[3];   // one counted under its marker shows this colour
    float rays[3];     // and under a ray, this
};

// What drawCompose draws: the frame, or the count of passes in shadow as a
// false colour from the palette below, 0 (lit) to every pass (in shadow).
enum DrawComposeShows : int {
    drawComposeFrame = 0,
    drawComposeCounts = 1,
};
// The palette's colours, evenly spaced from a count of 0 to every pass, and
// blended in between.
constexpr int drawCountPaletteSize = 5;
constexpr float drawCountPalette[drawCountPaletteSize][3] = {{0.05f, 0.05f, 0.40f},
                                                             {0.00f, 0.55f, 0.85f},
                                                             {0.20f, 0.80f, 0.25f},
                                                             {1.00f, 0.85f, 0.00f},
                                                             {0.90f, 0.10f, 0.05f}};
// The palette's colour at `t`, 0 to 1.
void drawCountColour(float t, float rgb[3]);

// Made for the current viewport; 0 with `why` (at least 160 bytes) where the
// context cannot, with nothing left made.
int drawComposeCreate(const DrawComposition* composition, char* why, int whySize);
void drawComposeDestroy();
// Makes the kept pictures again when the viewport has changed size; 0 with
// `why` when they cannot be made. An empty viewport keeps the old ones.
int drawComposeFollowViewport(char* why, int whySize);
void drawComposeKeepBase();
// Keeps the counts within the rectangle (window pixels from the lower
// left); drawCompose takes every count outside it as 0.
void drawComposeKeepCounts(int x, int y, int width, int height);
// Writes colour only, over the whole viewport, whatever the depth, where
// the stencil test (as it stands) lets it: for a frame of `passes` passes,
// each added at `weight`.
void drawCompose(int passes, float weight, DrawComposeShows shows);
// The smallest step of the window's red, green and blue: 1 / 255 for eight
// bits, 1 / 31 for five. Adding a step to a channel adds exactly one to it.
void drawColourSteps(float steps[3]);
