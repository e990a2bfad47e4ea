#include "geometry/occluder.h"

#include "assets/texture.h"
#include "draw/draw.h"

namespace {

const Vec3 boxCorners[6][4] = {
    {{-2, 2, 2}, {-2, -2, 2}, {2, -2, 2}, {2, 2, 2}},    // z = +2
    {{2, 2, 2}, {2, 2, 0}, {-2, 2, 0}, {-2, 2, 2}},      // y = +2
    {{2, -2, 0}, {2, -2, 2}, {-2, -2, 2}, {-2, -2, 0}},  // y = -2
    {{2, 2, 0}, {2, -2, 0}, {-2, -2, 0}, {-2, 2, 0}},    // z = 0
    {{2, 2, 2}, {2, -2, 2}, {2, -2, 0}, {2, 2, 0}},      // x = +2
    {{-2, 2, 0}, {-2, -2, 0}, {-2, -2, 2}, {-2, 2, 2}},  // x = -2
};

const Vec3 initialLight = {5.0f, 1.0f, 5.0f};
const float markerHalfSide = occluderMarkerHalfSide;

}  // namespace

void occluderInit(Occluder& occluder) {
    for (int f = 0; f < 6; ++f) {
        OccluderFace& face = occluder.faces[f];
        for (int i = 0; i < 4; ++i) face.corners[i] = boxCorners[f][i];
        for (int i = 0; i < 4; ++i) face.extruded[i] = Vec3{0.0f, 0.0f, 0.0f};
        face.light = initialLight;
    }
}

void occluderSetLight(Occluder& occluder, const Vec3& light) {
    for (OccluderFace& face : occluder.faces) face.light = light;
}

void occluderDraw(const Occluder& occluder) {
    for (const OccluderFace& face : occluder.faces) faceDraw(face);
}

void occluderBoxDraw(const Occluder& occluder) {
    for (const OccluderFace& face : occluder.faces) faceSurfaceDraw(face);
    drawEnable(drawLighting);
}

void faceDraw(const OccluderFace& face) {
    faceSurfaceDraw(face);
    // The light marker: untextured, facing +z, so it shows only from the
    // side of greater z.
    drawDisable(drawTexturing);
    drawBegin(drawTriangleStrip);
    drawColor3f(occluderMarkerColour[0], occluderMarkerColour[1], occluderMarkerColour[2]);
    drawNormal3f(0.0f, 0.0f, 1.0f);
    occluderMarkerVertices(face.light);
    drawEnd();
    drawEnable(drawTexturing);
    drawEnable(drawLighting);
}

void faceSurfaceDraw(const OccluderFace& face) {
    drawTextureBind(textureIds[0]);
    drawDisable(drawLighting);
    // Corners 3, 0, 2, 1: both triangles counter-clockwise from outside, and
    // the texture stretched once over the face.
    drawBegin(drawTriangleStrip);
    drawColor3f(1.0f, 1.0f, 1.0f);
    drawTexCoord2i(1, 1);
    drawVertex3f(face.corners[3].x, face.corners[3].y, face.corners[3].z);
    drawTexCoord2i(0, 1);
    drawVertex3f(face.corners[0].x, face.corners[0].y, face.corners[0].z);
    drawTexCoord2i(1, 0);
    drawVertex3f(face.corners[2].x, face.corners[2].y, face.corners[2].z);
    drawTexCoord2i(0, 0);
    drawVertex3f(face.corners[1].x, face.corners[1].y, face.corners[1].z);
    drawEnd();
}

void occluderMarkerVertices(const Vec3& l) {
    drawVertex3f(l.x + markerHalfSide, l.y + markerHalfSide, l.z);
    drawVertex3f(l.x - markerHalfSide, l.y + markerHalfSide, l.z);
    drawVertex3f(l.x + markerHalfSide, l.y - markerHalfSide, l.z);
    drawVertex3f(l.x - markerHalfSide, l.y - markerHalfSide, l.z);
}
