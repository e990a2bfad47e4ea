// OpenGL: the framebuffer request, the sRGB setting, contexts and swapping.
// The device context and pixel format are platform/windowing.h's: the
// window is made with the closest framebuffer to the request.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/sdl/internal.h"

void sdlSetFramebufferAttributes(const PlatformPixelFormat* format, bool accum, bool stencil) {
    SDL_GL_ResetAttributes();
    if (sdlLayer.glKind == platformGLES3) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    } else {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format->flags & PFD_DOUBLEBUFFER) ? 1 : 0);
    const int channel = format->colorBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format->depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil ? format->stencilBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum ? format->accumRedBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum ? format->accumGreenBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum ? format->accumBlueBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum ? format->accumAlphaBits : 0);
    // The program never draws in sRGB; asking for a plain framebuffer keeps
    // blending and accumulation linear.
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 0);
}

// Mesa's desktop GL makes window framebuffers sRGB-capable and then converts
// colours to linear and back in glAccum, which changes every accumulated
// value. Hiding the extension before the first context is made gives the
// plain arithmetic that GL defines. Anything the user put into the variable
// is kept.
void sdlHideSrgbFramebufferExtension() {
    const char* const hidden = "-GL_EXT_framebuffer_sRGB";
    const char* current = std::getenv("MESA_EXTENSION_OVERRIDE");
    std::string value = current != nullptr ? current : "";
    if (value.find(hidden) != std::string::npos) return;
    if (!value.empty()) value += ' ';
    value += hidden;
    setenv("MESA_EXTENSION_OVERRIDE", value.c_str(), 1);
}

int platformSetGLKind(PlatformGLKind kind) {
    if (kind != platformGLDesktop && kind != platformGLES3) return 0;
    sdlLayer.glKind = kind;
    // OpenGL ES comes through EGL, which every Mesa driver offers on X11 and
    // Wayland alike; desktop GL goes the way the user's environment says
    // (GLX on X11 unless SDL_VIDEO_X11_FORCE_EGL asks otherwise). SDL reads
    // the hint when it loads the GL library for the next window.
    if (kind == platformGLES3) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEO_X11_FORCE_EGL, "1", SDL_HINT_OVERRIDE);
    } else {
        SDL_ResetHint(SDL_HINT_VIDEO_X11_FORCE_EGL);
    }
    return 1;
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext* dc) {
    if (dc == nullptr) return nullptr;
    SDL_GLContext gl = SDL_GL_CreateContext(dc->window->sdl);
    if (gl == nullptr) {
        std::fprintf(stderr, "Cannot create the OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    return static_cast<PlatformRenderContext*>(gl);
}

int platformMakeCurrent(PlatformDeviceContext* dc, PlatformRenderContext* rc) {
    if (rc == nullptr) {
        return SDL_GL_MakeCurrent(dc != nullptr ? dc->window->sdl : nullptr, nullptr) == 0;
    }
    if (dc == nullptr) return 0;
    return SDL_GL_MakeCurrent(dc->window->sdl, sdlContext(rc)) == 0 ? 1 : 0;
}

int platformDeleteContext(PlatformRenderContext* rc) {
    if (rc == nullptr) return 0;
    SDL_GL_DeleteContext(sdlContext(rc));
    return 1;
}

int platformSwapBuffers(PlatformDeviceContext* dc) {
    if (dc == nullptr) return 0;
    SDL_GL_SwapWindow(dc->window->sdl);
    return 1;
}

void* platformGetGLProcAddress(const char* name) {
    return name != nullptr ? SDL_GL_GetProcAddress(name) : nullptr;
}
