#include "shadow/frame.h"

#include "app/app.h"
#include "assets/font.h"
#include "draw/draw.h"
#include "geometry/occluder.h"
#include "geometry/room.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "shadow/accum.h"
#include "shadow/counted.h"
#include "shadow/stencil.h"

const float lightJitter[12] = {0.2f,  0.5683f, -0.42342f, 0.9f,   0.843f, -0.342f,
                               0.23f, 0.56f,   -0.754f,   0.123f, -0.56f, 0.0f};

const float specularWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

Vec3 frameJitterOffset(int pass) {
    return Vec3{lightJitter[pass + 1] * frameJitterScale, lightJitter[pass + 2] * frameJitterScale,
                lightJitter[pass] * frameJitterScale};
}

void sceneDraw() {
    accumFrameBegin();
    if (accumWayInUse() == accumWayCounted) {
        countedPassesDraw();
        countedCompose();
    } else {
        frameSummedDraw();
    }
}

void frameSummedDraw() {
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | drawAccumBuffer | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(sceneCamera);

    drawDepthFunc(drawLessOrEqual);
    drawDepthMask(1);
    drawClear(drawAccumBuffer);

    const Vec3 saved = lightPosition;
    for (int pass = 0; pass < framePassCount; ++pass) {
        const Vec3 offset = frameJitterOffset(pass);
        lightPosition = Vec3{saved.x + offset.x, saved.y + offset.y, saved.z + offset.z};

        drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
        occluderSetLight(sceneOccluder, lightPosition);
        sceneLightApply();
        drawLightSpecular(specularWhite);
        occluderDraw(sceneOccluder);
        roomDrawTinted(1.0f);
        occluderCastShadows(sceneOccluder, showRays);
        occluderDraw(sceneOccluder);
        drawAccumAdd(framePassWeight);

        // Subtracted rather than restored from the saved copy: the light ends
        // the frame where it began, or within the last bit of it.
        lightPosition.x -= offset.x;
        lightPosition.y -= offset.y;
        lightPosition.z -= offset.z;
    }
    drawAccumReturn(1.0f);

    // The depth buffer still holds the last pass, where the box stood at the
    // same depths: it is drawn again over the sum at its full colour.
    occluderDraw(sceneOccluder);

    frameRatePrint();
    drawFlush();
}

void frameRatePrint() {
    drawDisable(drawTexturing);
    drawPushMatrix();
    drawLoadIdentity();
    drawTranslatef(0.0f, 0.0f, -1.0f);
    drawRasterPos2f(-0.8f, -0.8f);
    drawColor3f(1.0f, 1.0f, 1.0f);
    textPrint("%4.4f", static_cast<double>(fpsValue));
    drawPopMatrix();
    drawEnable(drawTexturing);
}
