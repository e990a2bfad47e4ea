// OpenGL: the framebuffer request, the sRGB setting, contexts and swapping.
// The device context and pixel format are platform/windowing.h's: the
// window is made with the closest framebuffer to the request.
#include <EGL/egl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/internal.h"

void sdlSetFramebufferAttributes(const PlatformPixelFormat* format, bool accum, int stencilBits) {
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
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, std::min<int>(stencilBits, format->stencilBits));
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum ? format->accumRedBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum ? format->accumGreenBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum ? format->accumBlueBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum ? format->accumAlphaBits : 0);
    // The program never draws in sRGB; asking for a plain framebuffer keeps
    // blending and accumulation linear.
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 0);
}

namespace {

// The X visual of the EGL config that SDL chooses for the attributes now
// set, or 0 where it cannot be found: SDL is asked for a context in a hidden
// window, and EGL for that context's config. Where SDL makes the context
// through GLX, which gives a window its config's visual itself, it says so
// in sdlLayer.esThroughGlx, and is not asked again.
EGLint esConfigVisual() {
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) return 0;
    SDL_GLContext context = SDL_GL_CreateContext(window);  // and makes it current
    EGLint visual = 0, id = 0, found = 0;
    EGLConfig config = nullptr;
    const EGLDisplay display = eglGetCurrentDisplay();
    sdlLayer.esThroughGlx = context != nullptr && eglGetCurrentContext() == EGL_NO_CONTEXT;
    if (context != nullptr && !sdlLayer.esThroughGlx &&
        eglQueryContext(display, eglGetCurrentContext(), EGL_CONFIG_ID, &id)) {
        const EGLint byId[] = {EGL_CONFIG_ID, id, EGL_NONE};
        if (!eglChooseConfig(display, byId, &config, 1, &found) || found != 1 ||
            !eglGetConfigAttrib(display, config, EGL_NATIVE_VISUAL_ID, &visual)) {
            visual = 0;
        }
    }
    if (context != nullptr) SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    return visual;
}

}  // namespace

// SDL 2.26 makes an OpenGL ES window on X11 before it chooses the EGL
// config, so where it goes through EGL the window takes the screen's
// default visual, and the config it then chooses favours 8 bits a channel.
// On a 16-bit screen Mesa draws that config's 32-bit pixels into the 16-bit
// window without a word, and the picture comes out scrambled. The window is
// therefore made with the visual of the config SDL will choose. A visual the
// user chose is kept.
SDL_Window* sdlCreateGLWindow(const char* title, int x, int y, int width, int height,
                              Uint32 flags) {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
    if (sdlLayer.glKind != platformGLES3 || driver == nullptr || std::strcmp(driver, "x11") != 0 ||
        (chosen != nullptr && *chosen != '\0') || sdlLayer.esThroughGlx) {
        return SDL_CreateWindow(title, x, y, width, height, flags);
    }
    const EGLint visual = esConfigVisual();
    if (visual != 0) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(visual).c_str());
    }
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
    // Later windows, desktop GL's among them, choose their own.
    SDL_ResetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
    return window;
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
    // Both kinds go the way the user's environment says: on X11 through GLX,
    // which Mesa's drivers give OpenGL ES contexts too, unless
    // SDL_VIDEO_X11_FORCE_EGL asks for EGL; SDL takes EGL itself where GLX
    // makes no OpenGL ES context. Through GLX a software driver hands each
    // frame to the X server in shared memory; through EGL it sends the pixels
    // down the connection, which on llvmpipe made every frame 1.5 ms slower.
    sdlLayer.glKind = kind;
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
