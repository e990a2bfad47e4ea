#include "shadow/stencil.h"

#include "draw/draw.h"
#include "geometry/room.h"
#include "shadow/volume.h"

int shadowDepthClamp = 0;

namespace {

// The faces in the order they are tested, each with the test that tells
// whether the light is on its outer side.
const int castingOrder[6] = {1, 2, 0, 3, 4, 5};

}  // namespace

int occluderFaceCasts(const OccluderFace& face, int faceIndex) {
    const Vec3& light = face.light;
    const Vec3& plane = face.corners[1];
    switch (faceIndex) {
    case 1: return light.y >= plane.y ? 1 : 0;  // top: in its plane counts too
    case 2: return light.y < plane.y ? 1 : 0;
    case 0: return plane.z < light.z ? 1 : 0;
    case 3: return plane.z > light.z ? 1 : 0;
    case 4: return plane.x < light.x ? 1 : 0;
    case 5: return plane.x > light.x ? 1 : 0;
    default: return 0;
    }
}

void occluderCastShadows(Occluder& occluder, uint8_t showRays) {
    for (int index : castingOrder) {
        OccluderFace& face = occluder.faces[index];
        if (occluderFaceCasts(face, index)) {
            face.castsShadow = 1;
            // Before the volume is rebuilt: the rays end at the previous
            // build's far corners.
            if (showRays == 1) shadowRaysDraw(face);
            shadowStencilPass(face);
        } else {
            face.castsShadow = 0;
        }
    }
}

void occluderChooseCasters(Occluder& occluder) {
    for (int index : castingOrder) {
        OccluderFace& face = occluder.faces[index];
        face.castsShadow = occluderFaceCasts(face, index);
    }
}

void shadowVolumesBuild(Occluder& occluder) {
    for (OccluderFace& face : occluder.faces)
        if (face.castsShadow) shadowVolumeExtrude(face);
}

void shadowVolumesCount(Occluder& occluder, uint32_t countMask) {
    shadowVolumesBuild(occluder);
    // Depth-fail, as for one face, but every increment of the whole box
    // before any decrement: a count never meets the floor at 0 on its way.
    drawDisable(drawLighting);
    drawDepthMask(0);
    drawDepthFunc(drawLess);
    drawColorMask(0, 0, 0, 0);
    drawStencilFunc(drawAlways, 0, ~0u);
    drawStencilMask(countMask);
    if (shadowDepthClamp) drawEnable(drawDepthClamp);
    for (int way = 0; way < 2; ++way) {
        drawFrontFace(way == 0 ? drawClockwise : drawCounterClockwise);
        drawStencilOp(drawKeep, way == 0 ? drawIncrement : drawDecrement, drawKeep);
        shadowSilhouetteDraw(occluder);
    }
    if (shadowDepthClamp) drawDisable(drawDepthClamp);
    drawFrontFace(drawCounterClockwise);
    drawColorMask(1, 1, 1, 1);
    drawDepthFunc(drawLessOrEqual);
    drawDepthMask(1);
    drawStencilMask(~0u);
    drawEnable(drawLighting);
}

void shadowDepthClampDetect() {
    shadowDepthClamp = drawDepthClampAvailable();
}

void shadowStencilPass(OccluderFace& face) {
    // Counting, depth-fail: only volume polygons behind the visible surface
    // count, back faces up, front faces down. The volume writes no colour
    // and no depth.
    drawDisable(drawLighting);
    drawDepthMask(0);
    drawDepthFunc(drawLess);
    drawEnable(drawStencilTest);
    drawColorMask(0, 0, 0, 0);
    drawStencilFunc(drawAlways, 0, ~0u);
    drawFrontFace(drawClockwise);
    if (shadowDepthClamp) drawEnable(drawDepthClamp);
    drawStencilOp(drawKeep, drawIncrement, drawKeep);
    shadowVolumeDraw(face);
    drawFrontFace(drawCounterClockwise);
    drawStencilOp(drawKeep, drawDecrement, drawKeep);
    shadowVolumeDraw(face);
    if (shadowDepthClamp) drawDisable(drawDepthClamp);

    // Darkening: the room again, in the shadow grey (its own colour), where
    // the count is odd and the room is the nearest surface; those counts go
    // back to 0. Blending with GL's initial factors replaces the pixel.
    drawColorMask(1, 1, 1, 1);
    drawEnable(drawBlending);
    drawDepthMask(1);
    drawDepthFunc(drawLessOrEqual);
    drawStencilOp(drawKeep, drawKeep, drawReplace);
    drawStencilFunc(drawLess, 0, 1);
    roomDrawTinted(shadowTint);

    drawDisable(drawBlending);
    drawDisable(drawStencilTest);
}
