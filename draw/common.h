// What both renderers do alike with GL, written once over a table of GL
// calls that each fills with its own: gl1 with OpenGL 1.1's and the entry
// points it fetches from a desktop driver (OpenGL 2.0 and later), es3 with
// OpenGL ES 3.0's. The two libraries' headers cannot meet in one file, so
// the table spells GL's types by what they are.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define COMMON_GL_API __stdcall
#else
#define COMMON_GL_API
#endif

struct CommonGl {
    // OpenGL 1.1, the same in OpenGL ES 3.0.
    unsigned(COMMON_GL_API* getError)();
    void(COMMON_GL_API* getIntegerv)(unsigned name, int* values);
    unsigned char(COMMON_GL_API* isEnabled)(unsigned capability);
    void(COMMON_GL_API* enable)(unsigned capability);
    void(COMMON_GL_API* disable)(unsigned capability);
    void(COMMON_GL_API* genTextures)(int count, unsigned* textures);
    void(COMMON_GL_API* deleteTextures)(int count, const unsigned* textures);
    void(COMMON_GL_API* bindTexture)(unsigned target, unsigned texture);
    void(COMMON_GL_API* texParameteri)(unsigned target, unsigned name, int value);
    void(COMMON_GL_API* texImage2D)(unsigned target, int level, int internalFormat, int width,
                                    int height, int border, unsigned format, unsigned type,
                                    const void* pixels);
    void(COMMON_GL_API* copyTexSubImage2D)(unsigned target, int level, int xOffset, int yOffset,
                                           int x, int y, int width, int height);
    void(COMMON_GL_API* scissor)(int x, int y, int width, int height);
    // Programs and their uniforms: OpenGL 2.0, OpenGL ES 3.0.
    unsigned(COMMON_GL_API* createShader)(unsigned kind);
    void(COMMON_GL_API* shaderSource)(unsigned shader, int count, const char* const* sources,
                                      const int* lengths);
    void(COMMON_GL_API* compileShader)(unsigned shader);
    void(COMMON_GL_API* getShaderiv)(unsigned shader, unsigned name, int* value);
    void(COMMON_GL_API* getShaderInfoLog)(unsigned shader, int size, int* length, char* log);
    void(COMMON_GL_API* deleteShader)(unsigned shader);
    unsigned(COMMON_GL_API* createProgram)();
    void(COMMON_GL_API* attachShader)(unsigned program, unsigned shader);
    void(COMMON_GL_API* linkProgram)(unsigned program);
    void(COMMON_GL_API* getProgramiv)(unsigned program, unsigned name, int* value);
    void(COMMON_GL_API* getProgramInfoLog)(unsigned program, int size, int* length, char* log);
    void(COMMON_GL_API* deleteProgram)(unsigned program);
    void(COMMON_GL_API* useProgram)(unsigned program);
    int(COMMON_GL_API* getUniformLocation)(unsigned program, const char* name);
    void(COMMON_GL_API* uniform1i)(int location, int value);
    void(COMMON_GL_API* uniform1f)(int location, float value);
    void(COMMON_GL_API* uniform3fv)(int location, int count, const float* values);
    void(COMMON_GL_API* uniform4f)(int location, float x, float y, float z, float w);
    void(COMMON_GL_API* activeTexture)(unsigned unit);
};

// The few GL names the shared code uses, the same in both libraries.
enum : unsigned {
    commonGlDepthTest = 0x0B71,
    commonGlStencilTest = 0x0B90,
    commonGlViewport = 0x0BA2,
    commonGlBlend = 0x0BE2,
    commonGlScissorBox = 0x0C10,
    commonGlScissorTest = 0x0C11,
    commonGlRedBits = 0x0D52,
    commonGlGreenBits = 0x0D53,
    commonGlBlueBits = 0x0D54,
    commonGlAlphaBits = 0x0D55,
    commonGlStencilBits = 0x0D57,
    commonGlNearest = 0x2600,
    commonGlMagFilter = 0x2800,
    commonGlMinFilter = 0x2801,
    commonGlWrapS = 0x2802,
    commonGlWrapT = 0x2803,
    commonGlClampToEdge = 0x812F,
    commonGlTexture0 = 0x84C0,
    commonGlTexture1 = 0x84C1,
    commonGlFragmentShader = 0x8B30,
    commonGlVertexShader = 0x8B31,
    commonGlCompileStatus = 0x8B81,
    commonGlLinkStatus = 0x8B82,
};

// Takes every error GL has recorded, so that the next check sees only its
// own; 1 when there was none. A context that is lost answers with the same
// error for ever: the loop ends after as many as GL has kinds of error.
int commonErrorsClear(const CommonGl& gl);
// Compiles and links a program from its vertex and fragment shaders' source
// parts; 0 when the driver refuses either, with `why` (whySize bytes) naming
// `what` ("the composing shader") and the first line of the driver's log.
unsigned commonProgram(const CommonGl& gl, const char* what, int vertexCount,
                       const char* const* vertexParts, int fragmentCount,
                       const char* const* fragmentParts, char* why, int whySize);
