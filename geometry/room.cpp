#include "geometry/room.h"

#include <algorithm>

#include "assets/texture.h"
#include "draw/draw.h"

namespace {

// One room face as a strip of four vertices; (s, t) are whole texture
// repeats, one every 2 units, so the brick shows ten times along each edge.
struct RoomVertex {
    int s, t;
    float x, y, z;
};

const RoomVertex backWall[4] = {
    {10, 10, 10.0f, 10.0f, -10.0f},
    {0, 10, -10.0f, 10.0f, -10.0f},
    {10, 0, 10.0f, -10.0f, -10.0f},
    {0, 0, -10.0f, -10.0f, -10.0f},
};
const RoomVertex leftWall[4] = {
    {0, 0, -10.0f, 10.0f, 10.0f},
    {0, -10, -10.0f, -10.0f, 10.0f},
    {-10, 0, -10.0f, 10.0f, -10.0f},
    {-10, -10, -10.0f, -10.0f, -10.0f},
};
const RoomVertex rightWall[4] = {
    {0, 0, 10.0f, -10.0f, -10.0f},
    {10, 0, 10.0f, -10.0f, 10.0f},
    {0, 10, 10.0f, 10.0f, -10.0f},
    {10, 10, 10.0f, 10.0f, 10.0f},
};
const RoomVertex floorFace[4] = {
    {0, 0, -10.0f, -10.0f, -10.0f},
    {10, 0, -10.0f, -10.0f, 10.0f},
    {0, 10, 10.0f, -10.0f, -10.0f},
    {10, 10, 10.0f, -10.0f, 10.0f},
};

void drawStrip(const RoomVertex (&strip)[4], bool withNormal) {
    drawBegin(drawTriangleStrip);
    // Lighting is off, so the normal shades nothing; the walls send one so
    // the current normal is (0, 0, 1) afterwards.
    if (withNormal) drawNormal3f(0.0f, 0.0f, 1.0f);
    for (const RoomVertex& v : strip) {
        drawTexCoord2i(v.s, v.t);
        drawVertex3f(v.x, v.y, v.z);
    }
    drawEnd();
}

}  // namespace

void roomWallBounds(int wall, Vec3* low, Vec3* high) {
    const RoomVertex* const walls[roomWallCount] = {backWall, leftWall, rightWall, floorFace};
    const RoomVertex* strip = walls[wall];
    *low = *high = Vec3{strip[0].x, strip[0].y, strip[0].z};
    for (int i = 1; i < 4; ++i) {
        const RoomVertex& v = strip[i];
        *low = Vec3{std::min(low->x, v.x), std::min(low->y, v.y), std::min(low->z, v.z)};
        *high = Vec3{std::max(high->x, v.x), std::max(high->y, v.y), std::max(high->z, v.z)};
    }
}

void roomDrawTinted(float tint) {
    drawColor4f(tint, tint, tint, 0.0f);
    roomDraw();
}

void roomDraw() {
    drawDisable(drawLighting);
    drawTextureBind(textureIds[1]);
    drawStrip(backWall, true);
    drawStrip(leftWall, true);
    drawStrip(rightWall, true);
    drawStrip(floorFace, false);
    drawEnable(drawLighting);
}
