// The es3 renderer's own pieces, shared by its files: OpenGL ES 3.0 with
// GLSL ES 3.00, which WebGL 2 is too. What OpenGL 1.1 kept for the program
// (the current vertex, the matrix stacks, the light, the raster position)
// is kept here; everything else is GL's own state.
#pragma once

#include <GLES3/gl3.h>

#include <vector>

#include "draw/backend.h"
#include "draw/matrix.h"

struct Es3Vertex {
    float x, y, z;
    float s, t;
    float red, green, blue, alpha;
};

// The fragment shaders: the colour alone, a texel times the colour, or the
// colour where a glyph's bit is set.
enum Es3Program : int {
    es3Flat = 0,
    es3Textured,
    es3Glyph,
    es3ProgramCount,
};

struct Es3State {
    // What the next vertex carries.
    Es3Vertex current;
    float normal[3];
    // The primitive begun, and its vertices so far.
    bool inside;
    DrawPrimitive primitive;
    std::vector<Es3Vertex> vertices;
    // The matrix stacks; the last of each is the current matrix.
    DrawMatrix mode;
    std::vector<Matrix> stacks[2];
    // Without the depth-clamp extension the far plane is at infinity
    // instead, so that a far light's far cap is never clipped.
    bool depthClampExtension;
    bool texturing, lighting, light0;
    // Light 0's position in eye coordinates.
    float lightEye[4];
    int viewport[4];
    GLuint boundTexture;
    // The raster position in window coordinates, its colour, and whether it
    // fell inside the view.
    float raster[3];
    float rasterColour[4];
    bool rasterValid;
};

extern Es3State es3;

// The shaders, the vertex buffer and the batch (draw/es3_batch.cpp).
// es3BatchCreate returns null, or why it could not.
const char* es3BatchCreate();
void es3BatchDestroy();
// Adds the primitive just ended to the batch.
void es3BatchAdd(DrawPrimitive primitive, const std::vector<Es3Vertex>& vertices);
// Draws what the batch holds: called before anything that changes what it
// would be drawn with.
void es3Flush();
// Draws vertices at once through a transform, as triangles.
void es3DrawTriangles(const Es3Vertex* vertices, int count, Es3Program program,
                      const Matrix& transform);
// Compiles and links a program from GLSL ES 3.00 sources (without their
// #version line); 0 when it does not compile or link.
GLuint es3Program(const char* vertexSource, const char* fragmentSource);
int es3HasExtension(const char* name);

// The glyphs (draw/es3_text.cpp) and the sum (draw/es3_sum.cpp).
void es3FillText(DrawBackend& backend);
void es3TextDestroy();
void es3FillSum(DrawBackend& backend);
void es3SumDestroy();
