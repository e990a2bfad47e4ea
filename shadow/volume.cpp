#include "shadow/volume.h"

#include "draw/draw.h"
#include "scene/scene.h"

namespace {

void vertex(const Vec3& v) {
    drawVertex3f(v.x, v.y, v.z);
}

void strip(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
    drawBegin(drawTriangleStrip);
    vertex(a);
    vertex(b);
    vertex(c);
    vertex(d);
    drawEnd();
}

}  // namespace

void shadowVolumeExtrude(OccluderFace& face) {
    const Vec3 light = face.light;
    for (int i = 0; i < 4; ++i) {
        const Vec3 corner = face.corners[i];
        face.extruded[i] = Vec3{(corner.x - light.x) * shadowExtrusion + light.x,
                                (corner.y - light.y) * shadowExtrusion + light.y,
                                (corner.z - light.z) * shadowExtrusion + light.z};
    }
}

void shadowVolumeDraw(OccluderFace& face) {
    shadowVolumeExtrude(face);
    const Vec3* c = face.corners;
    const Vec3* e = face.extruded;

    drawDisable(drawTexturing);
    // With the corners counter-clockwise seen from the light, every triangle
    // below is counter-clockwise seen from outside the volume.
    drawBegin(drawTriangleStrip);
    drawColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    vertex(e[3]);
    vertex(e[0]);
    vertex(c[3]);
    vertex(c[0]);
    drawEnd();
    strip(c[2], c[1], e[2], e[1]);
    strip(c[0], e[0], c[1], e[1]);
    strip(e[3], c[3], e[2], c[2]);
    strip(e[0], e[3], e[1], e[2]);  // the far cap
    drawEnable(drawTexturing);
}

void shadowRaysDraw(const OccluderFace& face) {
    drawDisable(drawLighting);
    drawDisable(drawTexturing);
    drawBegin(drawLines);
    drawColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // To wherever the face's volume was last built: the rays show the volume
    // the stencil counted, not one of their own.
    for (int i = 0; i < 4; ++i) {
        vertex(lightPosition);
        vertex(face.extruded[i]);
    }
    drawEnd();
    drawEnable(drawTexturing);
    drawEnable(drawLighting);
}
