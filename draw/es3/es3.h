// The es3 renderer: the vocabulary over OpenGL ES 3.0 with GLSL ES 3.00,
// which WebGL 2 is too. What OpenGL 1.1 kept for the program (the current
// vertex, the matrix stacks, the light, the raster position) is kept here;
// everything else is GL's own state. Its files:
//   es3.cpp    - vertices, matrices, states, clears, the light and the
//                raster position
//   batch.cpp  - the shaders, and the vertices batched into one buffer
//   assets.cpp - textures, with GLU's mip levels made on the processor
//   text.cpp   - glyphs, packed into one texture
//   compose.cpp - the counted frame's composition
//   common.cpp - the GL calls handed to the code both renderers share
//   matrix.cpp - the matrices GL 1.1 and GLU would make
#pragma once

#include <GLES3/gl3.h>

#include <vector>

#include "draw/backend.h"
#include "draw/common.h"
#include "draw/es3/matrix.h"

#define ES3_DECLARE(result, name, parameters, arguments) result es3##name parameters;
DRAW_SLOTS(ES3_DECLARE)
#undef ES3_DECLARE

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
    // The raster position in window coordinates, in double precision so
    // that a glyph lands on the same whole pixel in any size of window; its
    // colour, and whether it fell inside the view.
    double raster[3];
    float rasterColour[4];
    bool rasterValid;
};

extern Es3State es3;

// OpenGL ES 3.0's calls for the code both renderers share (draw/common.h).
extern const CommonGl es3Gl;

// The shaders, the vertex buffer and the batch (batch.cpp); 0 with `why`
// where the driver refuses a shader.
int es3BatchCreate(char* why, int whySize);
void es3BatchDestroy();
// Adds the primitive just ended to the batch.
void es3BatchAdd(DrawPrimitive primitive, const std::vector<Es3Vertex>& vertices);
// Draws what the batch holds: called before anything that changes what it
// would be drawn with.
void es3BatchFlush();
// Draws vertices at once through a transform, as triangles.
void es3DrawTriangles(const Es3Vertex* vertices, int count, Es3Program program,
                      const Matrix& transform);
int es3HasExtension(const char* name);
// The texture bound again after the renderer bound one of its own.
void es3TextureRebind();

// What the glyphs (text.cpp) made in the context.
void es3TextDestroy();
