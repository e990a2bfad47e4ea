// The es3 renderer's vertices: each primitive, once ended, joins a batch of
// triangles or of lines, and the batch is drawn in one call, from one
// buffer, when anything it would be drawn with is about to change.
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "draw/es3/es3.h"

namespace {

// A colour that does not change across a primitive is carried as it is,
// not interpolated, as the fixed pipeline carries a colour that stays the
// same between begin and end; interpolating it would round a texel times
// the colour differently here and there.
const char* const vertexSource =
    "uniform mat4 transform;\n"
    "layout(location = 0) in vec3 position;\n"
    "layout(location = 1) in vec2 texCoord;\n"
    "layout(location = 2) in vec4 colour;\n"
    "out vec2 st;\n"
    "SHADING out vec4 tint;\n"
    "void main() {\n"
    "    st = texCoord;\n"
    "    tint = colour;\n"
    "    gl_Position = transform * vec4(position, 1.0);\n"
    "}\n";

// One source for the three fragment shaders; KIND picks the colour. The
// texel times the colour is clamped as the fixed pipeline clamps it; so
// written, llvmpipe also multiplies in full precision, as it does for the
// fixed pipeline, and not by its 8-bit shortcut for a bare product, which
// rounds a texel in six a step lower.
const char* const fragmentSource =
    "precision highp float;\n"
    "uniform highp sampler2D picture;\n"
    "in vec2 st;\n"
    "SHADING in vec4 tint;\n"
    "out vec4 colourOut;\n"
    "void main() {\n"
    "#if KIND == 1\n"
    "    colourOut = clamp(texture(picture, st) * tint, 0.0, 1.0);\n"
    "#elif KIND == 2\n"
    "    if (texture(picture, st).r < 0.5) discard;\n"
    "    colourOut = tint;\n"
    "#else\n"
    "    colourOut = tint;\n"
    "#endif\n"
    "}\n";

struct Batch {
    // Each kind of fragment shader with the colour carried flat [0] or
    // interpolated [1].
    GLuint programs[es3ProgramCount][2];
    GLint transformAt[es3ProgramCount][2];
    GLuint vertexArray, buffer;
    std::vector<Es3Vertex> vertices;
    GLenum mode;  // GL_TRIANGLES or GL_LINES
    bool smooth;  // whether a colour changes across some primitive
};

Batch batch{};

// Sends the vertices to the buffer and draws them with the program.
void draw(GLenum mode, const Es3Vertex* vertices, int count, Es3Program program, bool smooth,
          const Matrix& transform) {
    if (count == 0) return;
    glUseProgram(batch.programs[program][smooth]);
    glUniformMatrix4fv(batch.transformAt[program][smooth], 1, GL_FALSE, transform.m);
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.buffer);
    // New storage every time: the driver need not wait for draws that still
    // read the old.
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Es3Vertex)), vertices,
                 GL_STREAM_DRAW);
    glDrawArrays(mode, 0, count);
    glBindVertexArray(0);
}

}  // namespace

int es3BatchCreate(char* why, int whySize) {
    const char* const version = "#version 300 es\n";
    char defines[64];
    for (int kind = 0; kind < es3ProgramCount; ++kind)
        for (int smooth = 0; smooth < 2; ++smooth) {
            std::snprintf(defines, sizeof defines, "#define KIND %d\n#define SHADING %s\n", kind,
                          smooth ? "smooth" : "flat");
            const char* const vertexParts[3] = {version, defines, vertexSource};
            const char* const fragmentParts[3] = {version, defines, fragmentSource};
            const GLuint program = commonProgram(es3Gl, "a drawing shader", 3, vertexParts, 3,
                                                 fragmentParts, why, whySize);
            if (program == 0) return 0;
            batch.programs[kind][smooth] = program;
            batch.transformAt[kind][smooth] = glGetUniformLocation(program, "transform");
            glUseProgram(program);
            glUniform1i(glGetUniformLocation(program, "picture"), 0);
        }
    glUseProgram(0);
    glGenVertexArrays(1, &batch.vertexArray);
    glGenBuffers(1, &batch.buffer);
    glBindVertexArray(batch.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, batch.buffer);
    const GLsizei stride = sizeof(Es3Vertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Es3Vertex, s)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Es3Vertex, red)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    batch.vertices.clear();
    batch.mode = GL_TRIANGLES;
    batch.smooth = false;
    return 1;
}

void es3BatchDestroy() {
    for (auto& programs : batch.programs)
        for (GLuint program : programs)
            if (program != 0) glDeleteProgram(program);
    if (batch.buffer != 0) glDeleteBuffers(1, &batch.buffer);
    if (batch.vertexArray != 0) glDeleteVertexArrays(1, &batch.vertexArray);
    batch = Batch{};
}

void es3BatchAdd(DrawPrimitive primitive, const std::vector<Es3Vertex>& vertices) {
    const GLenum mode = primitive == drawLines ? GL_LINES : GL_TRIANGLES;
    bool smooth = false;
    for (const Es3Vertex& v : vertices)
        smooth = smooth || v.red != vertices[0].red || v.green != vertices[0].green ||
                 v.blue != vertices[0].blue || v.alpha != vertices[0].alpha;
    if (mode != batch.mode || smooth != batch.smooth) es3BatchFlush();
    batch.mode = mode;
    batch.smooth = smooth;
    if (mode == GL_LINES) {
        batch.vertices.insert(batch.vertices.end(), vertices.begin(),
                              vertices.begin() + static_cast<long>(vertices.size() & ~size_t{1}));
        return;
    }
    // A strip's triangle i is (i, i + 1, i + 2), every second one turned
    // round so that all keep the strip's winding.
    for (size_t i = 0; i + 2 < vertices.size(); ++i) {
        const bool odd = (i & 1) != 0;
        batch.vertices.push_back(vertices[i + (odd ? 1 : 0)]);
        batch.vertices.push_back(vertices[i + (odd ? 0 : 1)]);
        batch.vertices.push_back(vertices[i + 2]);
    }
}

void es3BatchFlush() {
    if (batch.vertices.empty()) return;
    const Matrix transform =
        matrixMultiply(es3.stacks[drawProjection].back(), es3.stacks[drawModelView].back());
    draw(batch.mode, batch.vertices.data(), static_cast<int>(batch.vertices.size()),
         es3.texturing ? es3Textured : es3Flat, batch.smooth, transform);
    batch.vertices.clear();
}

void es3DrawTriangles(const Es3Vertex* vertices, int count, Es3Program program,
                      const Matrix& transform) {
    es3BatchFlush();
    draw(GL_TRIANGLES, vertices, count, program, false, transform);
}
