#include "shadow/accum.h"

#include "draw/draw.h"
#include "geometry/room.h"
#include "shadow/light.h"
#include "shadow/stencil.h"

int accumBufferPresent() {
    return drawAccumBits() > 0 ? 1 : 0;
}

void accumFrameDraw(const FrameInput& input, Occluder& occluder) {
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | drawAccumBuffer | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(input.camera);

    const int passes = input.passes;
    for (int pass = 0; pass < passes; ++pass) {
        drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
        lightPassBegin(occluder, lightOfPass(input.light, pass, passes, input.lightSize));
        occluderDraw(occluder);
        roomDrawTinted(1.0f);
        occluderCastShadows(occluder, input.showRays);
        occluderDraw(occluder);
        drawAccumAdd(lightPassWeight(passes));
    }
    drawAccumReturn(1.0f);

    // The depth buffer still holds the last pass, where the box stood at the
    // same depths: it is drawn again over the sum at its full colour, with
    // the last pass's marker.
    occluderDraw(occluder);
}
