#include "shadow/counted.h"

#include "draw/compose.h"
#include "draw/draw.h"
#include "geometry/room.h"
#include "shadow/light.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

// One step of each colour channel of the window, what a pass adds to a
// count: found once for each rendering context, when counting is set up,
// not in every frame.
float colourSteps[3] = {1.0f / 255, 1.0f / 255, 1.0f / 255};

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

}  // namespace

int countedSetUp(char* why, int whySize) {
    // What a pass counted in shadow, under its marker and under its rays
    // shows, and how many are summed at what weight.
    DrawComposition composition{shadowTint, {}, {}, lightPassCount, framePassWeight};
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

void countedFrameDraw(const FrameInput& input, Occluder& occluder) {
    countedPassesDraw(input, occluder);
    countedCompose(occluder);
}

void countedPassesDraw(const FrameInput& input, Occluder& occluder) {
    countedBaseDraw(input.camera, occluder);
    for (int pass = 0; pass < lightPassCount; ++pass) {
        const Vec3 light = lightOfPass(input.light, pass);
        countedPassBegin(occluder, light);
        countedPassShows(occluder, light, input.showRays);
        countedPassVolumes(occluder);
        countedPassShadow(pass + 1 == lightPassCount);
    }
    countedCountsKeep();
}

void countedCover() {
    drawDisable(drawDepthTest);
    drawDisable(drawTexturing);
    drawDisable(drawLighting);
    drawMatrixMode(drawProjection);
    drawPushMatrix();
    drawLoadIdentity();
    drawMatrixMode(drawModelView);
    drawPushMatrix();
    drawLoadIdentity();
    drawBegin(drawTriangleStrip);
    drawVertex3f(-1.0f, -1.0f, 0.0f);
    drawVertex3f(1.0f, -1.0f, 0.0f);
    drawVertex3f(-1.0f, 1.0f, 0.0f);
    drawVertex3f(1.0f, 1.0f, 0.0f);
    drawEnd();
    drawPopMatrix();
    drawMatrixMode(drawProjection);
    drawPopMatrix();
    drawMatrixMode(drawModelView);
    drawEnable(drawLighting);
    drawEnable(drawTexturing);
    drawEnable(drawDepthTest);
}

void countedBaseDraw(const Camera& camera, const Occluder& occluder) {
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(camera);
    drawDepthFunc(drawLessOrEqual);
    drawDepthMask(1);

    // The scene once: the box, then the lit room, marking where it shows.
    occluderBoxDraw(occluder);
    drawEnable(drawStencilTest);
    drawStencilFunc(drawAlways, drawCountRoomBit, ~0u);
    drawStencilOp(drawKeep, drawKeep, drawReplace);
    roomDrawTinted(1.0f);
    drawComposeKeepBase();

    // The counts, from 0, in a colour buffer cleared to black, the usual
    // clear colour given back at once.
    float clearColour[4];
    drawGetClearColor(clearColour);
    drawClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    drawClear(drawColourBuffer);
    drawClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    drawEnable(drawBlending);
    drawBlendFunc(drawBlendAdd);
}

void countedPassBegin(Occluder& occluder, const Vec3& light) {
    // The last pass's light lights the frame rate's digits.
    lightPassBegin(occluder, light);
    occluderChooseCasters(occluder);
}

void countedPassShows(const Occluder& occluder, const Vec3& light, uint8_t showRays) {
    drawDepthMask(0);
    drawDisable(drawTexturing);
    drawDisable(drawLighting);
    drawStencilOp(drawKeep, drawKeep, drawInvert);
    if (showRays == 1) raysCount(occluder, shadowRaysBeforeMarker);
    showsBegin(drawCountMarkerBit, drawCountMarker);
    drawBegin(drawTriangleStrip);
    occluderMarkerVertices(light);
    drawEnd();
    if (showRays == 1) raysCount(occluder, shadowRaysBehindMarker);
    drawEnable(drawLighting);
    drawEnable(drawTexturing);
    drawDepthMask(1);
}

void countedPassVolumes(Occluder& occluder) {
    shadowVolumesCount(occluder, drawCountVolumeBits);
}

void countedPassShadow(bool last) {
    drawStencilFunc(drawEqual, drawCountRoomBit | drawCountOddBit,
                    drawCountRoomBit | drawCountMarkerBit | drawCountRayBit | drawCountOddBit);
    // The same cover clears what the pass leaves in the stencil but where
    // the room shows, for the next; the last pass's marker and rays stay for
    // the overlay.
    const DrawStencilAction clear = last ? drawKeep : drawZero;
    drawStencilMask(~drawCountRoomBit);
    drawStencilOp(clear, clear, clear);
    countColour(drawCountShadow);
    countedCover();
    drawStencilMask(~0u);
}

void countedCountsKeep() {
    drawBlendFunc(drawBlendReplace);
    drawDisable(drawBlending);
    drawDisable(drawStencilTest);
    drawComposeKeepCounts();
}

void countedCompose(const Occluder& occluder) {
    drawCompose();
    // The box and the last pass's marker at their full colour, as over the
    // sum of passes drawn whole: where no ray of the last pass is before
    // them. The faces' light copies still hold the last pass's light.
    drawEnable(drawStencilTest);
    drawStencilFunc(drawEqual, 0, drawCountRayBit);
    drawStencilOp(drawKeep, drawKeep, drawKeep);
    occluderDraw(occluder);
    drawDisable(drawStencilTest);
}
