#include "shadow/stencil.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "geometry/room.h"
#include "shadow/volume.h"

#ifndef GL_DEPTH_CLAMP
#define GL_DEPTH_CLAMP 0x864F
#endif

int shadowDepthClamp = 0;

// Whole names only: one extension's name may begin another's.
int shadowHasExtension(const char* name) {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = extensions; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
        const bool starts = at == extensions || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return 1;
    }
    return 0;
}

int shadowGLVersionAtLeast(int wantedMajor, int wantedMinor) {
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return 0;
    return major > wantedMajor || (major == wantedMajor && minor >= wantedMinor);
}

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

void shadowDepthClampDetect() {
    shadowDepthClamp = shadowGLVersionAtLeast(3, 2) || shadowHasExtension("GL_ARB_depth_clamp") ||
                       shadowHasExtension("GL_NV_depth_clamp");
}

void shadowStencilPass(OccluderFace& face) {
    // Counting, depth-fail: only volume polygons behind the visible surface
    // count, back faces up, front faces down. The volume writes no colour
    // and no depth.
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    glEnable(GL_STENCIL_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glStencilFunc(GL_ALWAYS, 0, ~0u);
    glFrontFace(GL_CW);
    if (shadowDepthClamp) glEnable(GL_DEPTH_CLAMP);
    glStencilOp(GL_KEEP, GL_INCR, GL_KEEP);
    shadowVolumeDraw(face);
    glFrontFace(GL_CCW);
    glStencilOp(GL_KEEP, GL_DECR, GL_KEEP);
    shadowVolumeDraw(face);
    if (shadowDepthClamp) glDisable(GL_DEPTH_CLAMP);

    // Darkening: the room again, in the shadow grey, where the count is odd
    // and the room is the nearest surface; those counts go back to 0.
    glFrontFace(GL_CCW);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilFunc(GL_LESS, 0, 1);
    roomDrawTinted(shadowTint);

    glDisable(GL_BLEND);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_STENCIL_TEST);
    glShadeModel(GL_SMOOTH);
}
