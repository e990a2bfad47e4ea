#include "geometry/room.h"

#include <GL/gl.h>

#include "assets/texture.h"

namespace {

// One room face as a strip of four vertices; (s, t) are whole texture
// repeats, one every 2 units, so the brick shows ten times along each edge.
struct RoomVertex {
    GLint s, t;
    GLfloat x, y, z;
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
    glBegin(GL_TRIANGLE_STRIP);
    // Lighting is off, so the normal shades nothing; the walls send one so
    // the current normal is (0, 0, 1) afterwards.
    if (withNormal) glNormal3f(0.0f, 0.0f, 1.0f);
    for (const RoomVertex& v : strip) {
        glTexCoord2i(v.s, v.t);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}

}  // namespace

void roomDrawTinted(float tint) {
    glColor4f(tint, tint, tint, 0.0f);
    roomDraw();
}

void roomDraw() {
    glDisable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, textureIds[1]);
    drawStrip(backWall, true);
    drawStrip(leftWall, true);
    drawStrip(rightWall, true);
    drawStrip(floorFace, false);
    glEnable(GL_LIGHTING);
}
