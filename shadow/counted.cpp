#include "shadow/counted.h"

#include "draw/draw.h"
#include "geometry/occluder.h"
#include "geometry/room.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "shadow/frame.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

ShadowVolumes countedVolumes = shadowVolumesSilhouette;
float countedSteps[3] = {1.0f / 255, 1.0f / 255, 1.0f / 255};

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

namespace {

// Where nothing of this pass's own shows yet, adds one step to the green
// (`green`) or blue count, and marks the pixel with `bit`.
void showsBegin(uint32_t bit, bool green) {
    drawStencilFunc(drawEqual, 0, countedMarkerBit | countedRayBit);
    drawStencilMask(bit);
    drawColor4f(0.0f, green ? countedSteps[1] : 0.0f, green ? 0.0f : countedSteps[2], 0.0f);
}

void raysCount(Occluder& occluder, ShadowRays which) {
    showsBegin(countedRayBit, false);
    drawBegin(drawLines);
    for (const OccluderFace& face : occluder.faces)
        if (face.castsShadow) shadowRaysVertices(face, which);
    drawEnd();
}

}  // namespace

void countedBaseDraw() {
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(sceneCamera);
    drawDepthFunc(drawLessOrEqual);
    drawDepthMask(1);

    // The scene once: the box, then the lit room, marking where it shows.
    occluderBoxDraw(sceneOccluder);
    drawEnable(drawStencilTest);
    drawStencilFunc(drawAlways, countedRoomBit, ~0u);
    drawStencilOp(drawKeep, drawKeep, drawReplace);
    roomDrawTinted(1.0f);
    drawComposeKeepBase();

    // The counts, from 0.
    drawClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    drawClear(drawColourBuffer);
    drawClearColor(sceneClearColour[0], sceneClearColour[1], sceneClearColour[2],
                   sceneClearColour[3]);
    drawEnable(drawBlending);
    drawBlendFunc(drawBlendAdd);
}

void countedPassBegin(int pass, const Vec3& saved) {
    const Vec3 offset = frameJitterOffset(pass);
    lightPosition = Vec3{saved.x + offset.x, saved.y + offset.y, saved.z + offset.z};
    occluderSetLight(sceneOccluder, lightPosition);
    // The last pass's light lights the frame rate's digits.
    sceneLightApply();
    drawLightSpecular(specularWhite);
    occluderChooseCasters(sceneOccluder);
}

void countedPassShows() {
    drawDepthMask(0);
    drawDisable(drawTexturing);
    drawDisable(drawLighting);
    drawStencilOp(drawKeep, drawKeep, drawInvert);
    if (showRays == 1) raysCount(sceneOccluder, shadowRaysBeforeMarker);
    showsBegin(countedMarkerBit, true);
    drawBegin(drawTriangleStrip);
    occluderMarkerVertices(lightPosition);
    drawEnd();
    if (showRays == 1) raysCount(sceneOccluder, shadowRaysBehindMarker);
    drawEnable(drawLighting);
    drawEnable(drawTexturing);
    drawDepthMask(1);
}

void countedPassVolumes() {
    shadowVolumesCount(sceneOccluder, countedVolumeBits, countedVolumes);
}

void countedPassShadow(int pass) {
    drawStencilFunc(drawEqual, countedRoomBit | 1,
                    countedRoomBit | countedMarkerBit | countedRayBit | 1);
    // The same cover clears what the pass leaves in the stencil but where
    // the room shows, for the next; the last pass's marker and rays stay for
    // the overlay.
    const DrawStencilAction clear = pass + 1 < framePassCount ? drawZero : drawKeep;
    drawStencilMask(~countedRoomBit);
    drawStencilOp(clear, clear, clear);
    drawColor4f(countedSteps[0], 0.0f, 0.0f, 0.0f);
    countedCover();
    drawStencilMask(~0u);
}

void countedPassEnd(int pass) {
    // Subtracted rather than restored from the saved copy, as a pass drawn
    // whole leaves it.
    const Vec3 offset = frameJitterOffset(pass);
    lightPosition.x -= offset.x;
    lightPosition.y -= offset.y;
    lightPosition.z -= offset.z;
}

void countedCountsKeep() {
    drawBlendFunc(drawBlendReplace);
    drawDisable(drawBlending);
    drawDisable(drawStencilTest);
    drawComposeKeepCounts();
}

void countedPassesDraw() {
    countedBaseDraw();
    const Vec3 saved = lightPosition;
    for (int pass = 0; pass < framePassCount; ++pass) {
        countedPassBegin(pass, saved);
        countedPassShows();
        countedPassVolumes();
        countedPassShadow(pass);
        countedPassEnd(pass);
    }
    countedCountsKeep();
}

void countedCompose() {
    drawCompose();
    countedOverlay();
}

void countedOverlay() {
    // The box and the last pass's marker at their full colour, as over the
    // sum of passes drawn whole: where no ray of the last pass is before
    // them. The faces' light copies still hold the last pass's light.
    drawEnable(drawStencilTest);
    drawStencilFunc(drawEqual, 0, countedRayBit);
    drawStencilOp(drawKeep, drawKeep, drawKeep);
    occluderDraw(sceneOccluder);
    drawDisable(drawStencilTest);
    frameRatePrint();
    drawFlush();
}
