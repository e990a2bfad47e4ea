// The es3 renderer's vertices: each primitive, once ended, joins a batch of
// triangles or of lines, and the batch is drawn in one call, from one
// buffer, when anything it would be drawn with is about to change.
#include <cstddef>

#include "draw/es3.h"

namespace {

const char* const vertexSource =
    "uniform mat4 transform;\n"
    "layout(location = 0) in vec3 position;\n"
    "layout(location = 1) in vec2 texCoord;\n"
    "layout(location = 2) in vec4 colour;\n"
    "out vec2 st;\n"
    "out vec4 tint;\n"
    "void main() {\n"
    "    st = texCoord;\n"
    "    tint = colour;\n"
    "    gl_Position = transform * vec4(position, 1.0);\n"
    "}\n";

// One source for the three fragment shaders; KIND picks the colour.
const char* const fragmentSource =
    "precision highp float;\n"
    "uniform sampler2D picture;\n"
    "in vec2 st;\n"
    "in vec4 tint;\n"
    "out vec4 colourOut;\n"
    "void main() {\n"
    "#if KIND == 1\n"
    "    colourOut = texture(picture, st) * tint;\n"
    "#elif KIND == 2\n"
    "    if (texture(picture, st).r < 0.5) discard;\n"
    "    colourOut = tint;\n"
    "#else\n"
    "    colourOut = tint;\n"
    "#endif\n"
    "}\n";

struct Batch {
    GLuint programs[es3ProgramCount];
    GLint transformAt[es3ProgramCount];
    GLuint vertexArray, buffer;
    std::vector<Es3Vertex> vertices;
    GLenum mode;  // GL_TRIANGLES or GL_LINES
};

Batch batch{};

GLuint compile(GLenum kind, const char* source, const char* kindLine) {
    const char* parts[3] = {"#version 300 es\n", kindLine, source};
    const GLuint shader = glCreateShader(kind);
    GLint compiled = 0;
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) glDeleteShader(shader);
    return compiled ? shader : 0;
}

GLuint link(const char* vertexSource, const char* fragmentSource, const char* kindLine) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource, "");
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource, kindLine);
    GLuint program = 0;
    GLint linked = 0;
    if (vertex != 0 && fragment != 0) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) glDeleteProgram(program), program = 0;
    }
    if (vertex != 0) glDeleteShader(vertex);
    if (fragment != 0) glDeleteShader(fragment);
    return program;
}

// Sends the vertices to the buffer and draws them with the program.
void draw(GLenum mode, const Es3Vertex* vertices, int count, Es3Program program,
          const Matrix& transform) {
    if (count == 0) return;
    glUseProgram(batch.programs[program]);
    glUniformMatrix4fv(batch.transformAt[program], 1, GL_FALSE, transform.m);
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

GLuint es3Program(const char* vertex, const char* fragment) {
    return link(vertex, fragment, "");
}

const char* es3BatchCreate() {
    const char* const kinds[es3ProgramCount] = {"#define KIND 0\n", "#define KIND 1\n",
                                                "#define KIND 2\n"};
    for (int kind = 0; kind < es3ProgramCount; ++kind) {
        batch.programs[kind] = link(vertexSource, fragmentSource, kinds[kind]);
        if (batch.programs[kind] == 0) return "the drawing shaders do not compile or link";
        batch.transformAt[kind] = glGetUniformLocation(batch.programs[kind], "transform");
        glUseProgram(batch.programs[kind]);
        glUniform1i(glGetUniformLocation(batch.programs[kind], "picture"), 0);
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
    return nullptr;
}

void es3BatchDestroy() {
    for (GLuint& program : batch.programs) {
        if (program != 0) glDeleteProgram(program);
        program = 0;
    }
    if (batch.buffer != 0) glDeleteBuffers(1, &batch.buffer);
    if (batch.vertexArray != 0) glDeleteVertexArrays(1, &batch.vertexArray);
    batch = Batch{};
}

void es3BatchAdd(DrawPrimitive primitive, const std::vector<Es3Vertex>& vertices) {
    const GLenum mode = primitive == drawLines ? GL_LINES : GL_TRIANGLES;
    if (mode != batch.mode) es3Flush();
    batch.mode = mode;
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

void es3Flush() {
    if (batch.vertices.empty()) return;
    const Matrix transform =
        matrixMultiply(es3.stacks[drawProjection].back(), es3.stacks[drawModelView].back());
    draw(batch.mode, batch.vertices.data(), static_cast<int>(batch.vertices.size()),
         es3.texturing ? es3Textured : es3Flat, transform);
    batch.vertices.clear();
}

void es3DrawTriangles(const Es3Vertex* vertices, int count, Es3Program program,
                      const Matrix& transform) {
    es3Flush();
    draw(GL_TRIANGLES, vertices, count, program, transform);
}
