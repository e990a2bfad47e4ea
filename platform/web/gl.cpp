// WebGL 2 contexts, and the frame's end: the browser shows what was drawn
// once the program gives it the processor.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/web/internal.h"

namespace {

// Yields until the browser is ready for the next frame: its refresh paces
// the program as a swap interval of one would.
// clang-format off
EM_ASYNC_JS(void, webWaitForFrame, (), {
    await new Promise(function(ready) { requestAnimationFrame(ready); });
});
// clang-format on

}  // namespace

int platformSetGLKind(PlatformGLKind kind) {
    // A browser gives OpenGL ES 3.0, as WebGL 2, and nothing else.
    if (kind != platformGLES3) return 0;
    webLayer.glKind = kind;
    return 1;
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext* dc) {
    if (dc == nullptr) return nullptr;
    if (webLayer.glKind != platformGLES3) {
        platformWarn("a web page has no desktop OpenGL, only WebGL 2");
        return nullptr;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // No alpha: the frame leaves alpha below one in the colour buffer,
    // which would let the page show through the picture.
    attributes.alpha = EM_FALSE;
    // A canvas's framebuffer is made with its context, as the pixel-format
    // calls confirmed it.
    attributes.depth = dc->format.depthBits > 0 ? EM_TRUE : EM_FALSE;
    attributes.stencil = dc->format.stencilBits > 0 ? EM_TRUE : EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.enableExtensionsByDefault = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gl =
        emscripten_webgl_create_context("#canvas", &attributes);
    if (gl <= 0) {
        platformWarn(
            "this browser gives no WebGL 2, which Tenebrel draws with: it is too old, "
            "or WebGL is switched off in its settings");
        return nullptr;
    }
    // A desktop context has its extensions on; a WebGL one has each on once
    // asked for. The renderer asks the context which it has, so all it
    // offers are put on now.
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE current = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(gl);
    char* offered = emscripten_webgl_get_supported_extensions();
    if (offered != nullptr) {
        for (char* name = std::strtok(offered, " "); name != nullptr;
             name = std::strtok(nullptr, " ")) {
            emscripten_webgl_enable_extension(gl, name);
        }
        std::free(offered);
    }
    emscripten_webgl_make_context_current(current);
    return reinterpret_cast<PlatformRenderContext*>(static_cast<intptr_t>(gl));
}

int platformMakeCurrent(PlatformDeviceContext* dc, PlatformRenderContext* rc) {
    if (rc == nullptr) return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS;
    if (dc == nullptr) return 0;
    const EMSCRIPTEN_RESULT made = emscripten_webgl_make_context_current(webContext(rc));
    return made == EMSCRIPTEN_RESULT_SUCCESS ? 1 : 0;
}

int platformDeleteContext(PlatformRenderContext* rc) {
    if (rc == nullptr) return 0;
    return emscripten_webgl_destroy_context(webContext(rc)) == EMSCRIPTEN_RESULT_SUCCESS ? 1 : 0;
}

int platformSwapBuffers(PlatformDeviceContext* dc) {
    if (dc == nullptr) return 0;
    webWaitForFrame();
    return 1;
}

void* platformGetGLProcAddress(const char* name) {
    return name != nullptr ? emscripten_webgl_get_proc_address(name) : nullptr;
}
