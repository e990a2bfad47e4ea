#include "shadow/counted.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "draw/compose.h"
#include "draw/draw.h"
#include "geometry/room.h"
#include "platform/platform.h"
#include "shadow/light.h"
#include "shadow/overlay.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

// One step of each colour channel of the window, what a pass adds to a
// count: found once for each rendering context, when counting is set up,
// not in every frame.
float colourSteps[3] = {1.0f / 255, 1.0f / 255, 1.0f / 255};
// Whether the user has been told that fewer passes are counted than asked.
bool toldFewer = false;

// The colour that adds one step to the count of `channel` alone.
void countColour(DrawCountChannel channel) {
    float colour[3] = {0.0f, 0.0f, 0.0f};
    colour[channel] = colourSteps[channel];
    drawColor4f(colour[0], colour[1], colour[2], 0.0f);
}

// Where nothing of this pass's own shows yet, adds one step to the count of
// `channel`, and marks the pixel with `bit`.
void showsBegin(uint32_t bit, DrawCountChannel channel) {
    drawStencilFunc(drawEqual, 0, drawCountMarkerBit | drawCountRayBit);
    drawStencilMask(bit);
    countColour(channel);
}

void raysCount(const Occluder& occluder, ShadowRays which) {
    showsBegin(drawCountRayBit, drawCountRays);
    drawBegin(drawLines);
    for (const OccluderFace& face : occluder.faces)
        if (face.castsShadow) shadowRaysVertices(face, which);
    drawEnd();
}

// Drawing kept to `reach` until the scissor test is switched off.
void scissorTo(const ReachRect& reach) {
    drawScissor(reach.x0, reach.y0, reach.x1 - reach.x0, reach.y1 - reach.y0);
    drawEnable(drawScissorTest);
}

// The convex polygon, of the viewport's window coordinates, in the current
// colour, whatever the depth: a strip of triangles zigzagging from its first
// corner, counter-clockwise as the polygon, each pixel in it drawn once. A
// rectangle from its lower left is the strip of the whole view's quad.
void cover(const Hull& hull, const int* viewport) {
    if (hull.count < 3) return;
    overlayFlatBegin();
    drawBegin(drawTriangleStrip);
    auto corner = [&](int i) {
        drawVertex3f(float(2.0 * (hull.x[i] - viewport[0]) / viewport[2] - 1),
                     float(2.0 * (hull.y[i] - viewport[1]) / viewport[3] - 1), 0.0f);
    };
    corner(0);
    for (int front = 1, back = hull.count - 1; front <= back; ++front, --back) {
        corner(front);
        if (front < back) corner(back);
    }
    drawEnd();
    overlayFlatEnd();
}

// Where each pass can change the picture, found before any is drawn: the
// passes walked through on a copy of the box, whose far corners move as the
// passes' own will, for the rays that end at them.
CountedFrame plan(const FrameInput& input, const Occluder& occluder) {
    CountedFrame frame{};
    frame.input = input;
    frame.passes = countedPasses(input.passes);
    const ReachView view = reachViewCurrent(input.camera.position);
    std::copy(view.viewport, view.viewport + 4, frame.viewport);
    Occluder ahead = occluder;
    for (int i = 0; i < frame.passes; ++i) {
        const Vec3 light = lightOfPass(input.light, i, frame.passes, input.lightSize);
        occluderSetLight(ahead, light);
        occluderChooseCasters(ahead);
        if (input.wholeView) {
            frame.shows[i] = frame.shadow[i] = reachWhole(view);
            frame.showsHull[i] = frame.shadowHull[i] = reachHullOf(reachWhole(view));
        } else {
            frame.shows[i] =
                reachShows(view, ahead, light, input.showRays == 1, &frame.showsHull[i]);
            frame.shadow[i] = reachShadow(view, ahead, &frame.shadowHull[i]);
        }
        shadowVolumesBuild(ahead);
        frame.all = reachUnion(frame.all, reachUnion(frame.shows[i], frame.shadow[i]));
    }
    return frame;
}

}  // namespace

int countedSetUp(char* why, int whySize) {
    // What a pass counted in shadow, under its marker and under its rays
    // shows.
    DrawComposition composition{shadowTint, {}, {}};
    for (int i = 0; i < 3; ++i) {
        composition.marker[i] = occluderMarkerColour[i];
        composition.rays[i] = shadowRayColour[i];
    }
    if (!drawComposeCreate(&composition, why, whySize)) return 0;
    drawColourSteps(colourSteps);
    return 1;
}

void countedRelease() {
    drawComposeDestroy();
}

int countedFollowViewport(char* why, int whySize) {
    return drawComposeFollowViewport(why, whySize);
}

int countedPasses(int requested) {
    int most = lightPassesMost;
    for (const float step : colourSteps)
        most = std::min(most, static_cast<int>(std::lround(1.0f / step)));
    if (requested <= most) return std::max(requested, 1);
    if (!toldFewer) {
        char line[160];
        std::snprintf(line, sizeof line,
                      "this window's colour channels count up to %d passes: %d are drawn, not %d",
                      most, most, requested);
        platformWarn(line);
        toldFewer = true;
    }
    return most;
}

void countedFrameDraw(const FrameInput& input, Occluder& occluder) {
    const CountedFrame frame = countedBaseDraw(input, occluder);
    countedPassesCount(frame, occluder);
    countedCompose(frame, occluder);
}

ReachRect countedPassesDraw(const FrameInput& input, Occluder& occluder) {
    const CountedFrame frame = countedBaseDraw(input, occluder);
    countedPassesCount(frame, occluder);
    return frame.all;
}

void countedPassesCount(const CountedFrame& frame, Occluder& occluder) {
    for (int i = 0; i < frame.passes; ++i) {
        const CountedPass pass = countedPassBegin(frame, occluder, i);
        countedPassShows(frame, pass, occluder);
        countedPassVolumes(frame, pass, occluder);
        countedPassShadow(frame, pass);
    }
    countedCountsKeep(frame);
}

CountedFrame countedBaseDraw(const FrameInput& input, const Occluder& occluder) {
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(input.camera);
    const CountedFrame frame = plan(input, occluder);

    // The scene once: the box, then the lit room, marking where it shows.
    occluderBoxDraw(occluder);
    drawEnable(drawStencilTest);
    drawStencilFunc(drawAlways, drawCountRoomBit, ~0u);
    drawStencilOp(drawKeep, drawKeep, drawReplace);
    roomDrawTinted(1.0f);
    drawComposeKeepBase();

    // The counts, from 0, in the colour buffer cleared to black where any
    // pass counts, the usual clear colour given back at once.
    float clearColour[4];
    drawGetClearColor(clearColour);
    drawClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    scissorTo(frame.all);
    drawClear(drawColourBuffer);
    drawDisable(drawScissorTest);
    drawClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    drawEnable(drawBlending);
    drawBlendFunc(drawBlendAdd);
    return frame;
}

CountedPass countedPassBegin(const CountedFrame& frame, Occluder& occluder, int index) {
    const FrameInput& input = frame.input;
    const CountedPass pass{index, lightOfPass(input.light, index, frame.passes, input.lightSize),
                           index + 1 == frame.passes};
    // The last pass's light lights the frame rate's digits.
    lightPassBegin(occluder, pass.light);
    occluderChooseCasters(occluder);
    return pass;
}

void countedPassShows(const CountedFrame& frame, const CountedPass& pass,
                      const Occluder& occluder) {
    const uint8_t showRays = frame.input.showRays;
    drawDepthMask(0);
    drawDisable(drawTexturing);
    drawDisable(drawLighting);
    drawStencilOp(drawKeep, drawKeep, drawInvert);
    if (showRays == 1) raysCount(occluder, shadowRaysBeforeMarker);
    showsBegin(drawCountMarkerBit, drawCountMarker);
    drawBegin(drawTriangleStrip);
    occluderMarkerVertices(pass.light);
    drawEnd();
    if (showRays == 1) raysCount(occluder, shadowRaysBehindMarker);
    drawEnable(drawLighting);
    drawEnable(drawTexturing);
    drawDepthMask(1);
}

void countedPassVolumes(const CountedFrame& frame, const CountedPass& pass, Occluder& occluder) {
    const ReachRect& shadow = frame.shadow[pass.index];
    if (reachEmpty(shadow)) {
        // No room pixel can be in this pass's shadow: nothing to count, but
        // the far corners still move, for the rays of the passes to come.
        shadowVolumesBuild(occluder);
        return;
    }
    scissorTo(shadow);
    shadowVolumesCount(occluder, drawCountVolumeBits);
    drawDisable(drawScissorTest);
}

void countedPassShadow(const CountedFrame& frame, const CountedPass& pass) {
    // Where the count is odd and the room shows, one more pass in shadow.
    // The same cover clears what the pass leaves in the stencil but where
    // the room shows, for the next: wherever its shadow and what it shows
    // reach, the one then the other, which finds what both hold cleared and
    // adds nothing there. The last pass's marker and rays stay for the
    // overlay, and it covers its shadow alone, each pixel once. Counted
    // within the rectangle but outside the polygon, a room pixel lies in no
    // volume: its count is 0, nothing to add or clear. The box's pixels
    // there may keep a count, but every test that reads one asks for the
    // room's bit too.
    const Hull& shadow = frame.shadowHull[pass.index];
    const Hull& shows = frame.showsHull[pass.index];
    const bool both = !pass.last && !hullHolds(shadow, shows);
    if (shadow.count < 3 && !both) return;
    drawStencilFunc(drawEqual, drawCountRoomBit | drawCountOddBit,
                    drawCountRoomBit | drawCountMarkerBit | drawCountRayBit | drawCountOddBit);
    const DrawStencilAction clear = pass.last ? drawKeep : drawZero;
    drawStencilMask(~drawCountRoomBit);
    drawStencilOp(clear, clear, clear);
    countColour(drawCountShadow);
    cover(shadow, frame.viewport);
    if (both) cover(shows, frame.viewport);
    drawStencilMask(~0u);
}

void countedCountsKeep(const CountedFrame& frame) {
    drawBlendFunc(drawBlendReplace);
    drawDisable(drawBlending);
    drawDisable(drawStencilTest);
    const ReachRect& all = frame.all;
    drawComposeKeepCounts(all.x0, all.y0, all.x1 - all.x0, all.y1 - all.y0);
}

void countedCompose(const CountedFrame& frame, const Occluder& occluder) {
    drawCompose(frame.passes, lightPassWeight(frame.passes), drawComposeFrame);
    if (frame.input.showCounts) {
        // The same counts, over the room alone.
        drawEnable(drawStencilTest);
        drawStencilFunc(drawEqual, drawCountRoomBit, drawCountRoomBit);
        drawStencilOp(drawKeep, drawKeep, drawKeep);
        drawCompose(frame.passes, lightPassWeight(frame.passes), drawComposeCounts);
        drawDisable(drawStencilTest);
    }
    // The box and the last pass's marker at their full colour, as over the
    // sum of passes drawn whole: where no ray of the last pass is before
    // them. The faces' light copies still hold the last pass's light.
    drawEnable(drawStencilTest);
    drawStencilFunc(drawEqual, 0, drawCountRayBit);
    drawStencilOp(drawKeep, drawKeep, drawKeep);
    occluderDraw(occluder);
    drawDisable(drawStencilTest);
}
