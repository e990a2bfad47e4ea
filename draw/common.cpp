#include "draw/common.h"

#include <cstdio>
#include <cstring>

namespace {

// `what`, how it was refused, and the first line of the driver's log.
void refuse(const char* what, const char* how, char* log, char* why, int whySize) {
    log[std::strcspn(log, "\r\n")] = '\0';
    if (why != nullptr && whySize > 0)
        std::snprintf(why, static_cast<size_t>(whySize), "%s %s: %s", what, how,
                      log[0] != '\0' ? log : "(no log)");
}

unsigned compile(const CommonGl& gl, const char* what, unsigned kind, int count,
                 const char* const* parts, char* why, int whySize) {
    const unsigned shader = gl.createShader(kind);
    int compiled = 0;
    gl.shaderSource(shader, count, parts, nullptr);
    gl.compileShader(shader);
    gl.getShaderiv(shader, commonGlCompileStatus, &compiled);
    if (compiled) return shader;
    char log[200] = "";
    gl.getShaderInfoLog(shader, sizeof log, nullptr, log);
    refuse(what, kind == commonGlVertexShader ? "does not compile (vertex)" : "does not compile",
           log, why, whySize);
    gl.deleteShader(shader);
    return 0;
}

}  // namespace

int commonErrorsClear(const CommonGl& gl) {
    bool none = true;
    for (int i = 0; i < 8 && gl.getError() != 0; ++i) none = false;
    return none ? 1 : 0;
}

unsigned commonProgram(const CommonGl& gl, const char* what, int vertexCount,
                       const char* const* vertexParts, int fragmentCount,
                       const char* const* fragmentParts, char* why, int whySize) {
    const unsigned vertex =
        compile(gl, what, commonGlVertexShader, vertexCount, vertexParts, why, whySize);
    const unsigned fragment = vertex != 0 ? compile(gl, what, commonGlFragmentShader, fragmentCount,
                                                    fragmentParts, why, whySize)
                                          : 0;
    unsigned program = 0;
    if (vertex != 0 && fragment != 0) {
        int linked = 0;
        program = gl.createProgram();
        gl.attachShader(program, vertex);
        gl.attachShader(program, fragment);
        gl.linkProgram(program);
        gl.getProgramiv(program, commonGlLinkStatus, &linked);
        if (!linked) {
            char log[200] = "";
            gl.getProgramInfoLog(program, sizeof log, nullptr, log);
            refuse(what, "does not link", log, why, whySize);
            gl.deleteProgram(program), program = 0;
        }
    }
    if (vertex != 0) gl.deleteShader(vertex);
    if (fragment != 0) gl.deleteShader(fragment);
    return program;
}
