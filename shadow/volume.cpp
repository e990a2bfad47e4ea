#include "shadow/volume.h"

#include "draw/draw.h"

namespace {

void vertex(const Vec3& v) {
    drawVertex3f(v.x, v.y, v.z);
}

// The face's side over the edge from corner sideEdges[side][0] to [1] and
// its far copy, as one strip of four, in the order the volume has always
// drawn them.
const int sideEdges[4][2] = {{3, 0}, {1, 2}, {0, 1}, {2, 3}};

void sideVertices(const OccluderFace& face, int side) {
    const Vec3* c = face.corners;
    const Vec3* e = face.extruded;
    switch (side) {
    case 0: vertex(e[3]), vertex(e[0]), vertex(c[3]), vertex(c[0]); return;
    case 1: vertex(c[2]), vertex(c[1]), vertex(e[2]), vertex(e[1]); return;
    case 2: vertex(c[0]), vertex(e[0]), vertex(c[1]), vertex(e[1]); return;
    default: vertex(e[3]), vertex(c[3]), vertex(e[2]), vertex(c[2]); return;
    }
}

// The far cap: the face pushed away from the light.
void capDraw(const OccluderFace& face) {
    const Vec3* e = face.extruded;
    drawBegin(drawTriangleStrip);
    vertex(e[0]), vertex(e[3]), vertex(e[1]), vertex(e[2]);
    drawEnd();
}

bool same(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The face that shares the given side's edge with face `f`, or -1.
int neighbourAcross(const Occluder& occluder, int f, int side) {
    const Vec3& a = occluder.faces[f].corners[sideEdges[side][0]];
    const Vec3& b = occluder.faces[f].corners[sideEdges[side][1]];
    for (int other = 0; other < 6; ++other) {
        if (other == f) continue;
        int shared = 0;
        for (const Vec3& corner : occluder.faces[other].corners)
            shared += same(corner, a) || same(corner, b);
        if (shared == 2) return other;
    }
    return -1;
}

// Which face meets which across each side: the box's shape never changes,
// so it is found once.
using Neighbours = int[6][4];
// 1 when a casting face's side lies on the box's silhouette: its neighbour
// across it does not cast. A side two casting faces share is drawn by both,
// once each way round, and counts nothing: it is left out.
bool onSilhouette(const Occluder& occluder, const Neighbours& neighbours, int f, int side) {
    const int neighbour = neighbours[f][side];
    return neighbour < 0 || !occluder.faces[neighbour].castsShadow;
}

const Neighbours& neighboursOf(const Occluder& occluder) {
    static Neighbours neighbours;
    static const bool found = [&] {
        for (int f = 0; f < 6; ++f)
            for (int side = 0; side < 4; ++side)
                neighbours[f][side] = neighbourAcross(occluder, f, side);
        return true;
    }();
    (void)found;
    return neighbours;
}

}  // namespace

Vec3 shadowVolumeExtruded(const Vec3& corner, const Vec3& light) {
    return Vec3{(corner.x - light.x) * shadowExtrusion + light.x,
                (corner.y - light.y) * shadowExtrusion + light.y,
                (corner.z - light.z) * shadowExtrusion + light.z};
}

void shadowVolumeExtrude(OccluderFace& face) {
    for (int i = 0; i < 4; ++i)
        face.extruded[i] = shadowVolumeExtruded(face.corners[i], face.light);
}

void shadowVolumeDraw(OccluderFace& face) {
    shadowVolumeExtrude(face);
    drawDisable(drawTexturing);
    // With the corners counter-clockwise seen from the light, every triangle
    // below is counter-clockwise seen from outside the volume.
    drawBegin(drawTriangleStrip);
    drawColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    sideVertices(face, 0);
    drawEnd();
    for (int side = 1; side < 4; ++side) {
        drawBegin(drawTriangleStrip);
        sideVertices(face, side);
        drawEnd();
    }
    capDraw(face);
    drawEnable(drawTexturing);
}

void shadowSilhouetteDraw(const Occluder& occluder) {
    const auto& neighbours = neighboursOf(occluder);
    drawDisable(drawTexturing);
    for (int f = 0; f < 6; ++f) {
        const OccluderFace& face = occluder.faces[f];
        if (!face.castsShadow) continue;
        for (int side = 0; side < 4; ++side) {
            if (!onSilhouette(occluder, neighbours, f, side)) continue;
            drawBegin(drawTriangleStrip);
            sideVertices(face, side);
            drawEnd();
        }
        capDraw(face);
    }
    drawEnable(drawTexturing);
}

void shadowSilhouetteEdges(const Occluder& occluder) {
    const auto& neighbours = neighboursOf(occluder);
    for (int f = 0; f < 6; ++f) {
        const OccluderFace& face = occluder.faces[f];
        if (!face.castsShadow) continue;
        for (int side = 0; side < 4; ++side) {
            if (!onSilhouette(occluder, neighbours, f, side)) continue;
            // The side's four edges: along the box, out to the far cap at
            // both ends, and along the far cap.
            const int a = sideEdges[side][0], b = sideEdges[side][1];
            const Vec3 ends[4][2] = {{face.corners[a], face.corners[b]},
                                     {face.corners[a], face.extruded[a]},
                                     {face.corners[b], face.extruded[b]},
                                     {face.extruded[a], face.extruded[b]}};
            for (const auto& end : ends) vertex(end[0]), vertex(end[1]);
        }
    }
}

void shadowRaysDraw(const OccluderFace& face) {
    drawDisable(drawLighting);
    drawDisable(drawTexturing);
    drawBegin(drawLines);
    drawColor4f(shadowRayColour[0], shadowRayColour[1], shadowRayColour[2], 1.0f);
    shadowRaysVertices(face, shadowRaysAll);
    drawEnd();
    drawEnable(drawTexturing);
    drawEnable(drawLighting);
}

void shadowRaysVertices(const OccluderFace& face, ShadowRays which) {
    // To wherever the face's volume was last built: the rays show the volume
    // the stencil counted, not one of their own.
    for (int i = 0; i < 4; ++i) {
        const bool before = face.extruded[i].z > face.light.z;
        if (which == shadowRaysAll || (which == shadowRaysBeforeMarker) == before) {
            vertex(face.light);
            vertex(face.extruded[i]);
        }
    }
}
