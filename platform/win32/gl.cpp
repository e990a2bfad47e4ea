// OpenGL through WGL: pixel formats, rendering contexts, swapping and the
// entry points beyond GL 1.1.
#include "platform/win32/internal.h"

namespace {

PIXELFORMATDESCRIPTOR win32Descriptor(const PlatformPixelFormat* request) {
    PIXELFORMATDESCRIPTOR descriptor;
    ZeroMemory(&descriptor, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = request->version != 0 ? request->version : 1;
    descriptor.dwFlags = request->flags;
    descriptor.iPixelType = request->pixelType;
    descriptor.cColorBits = request->colorBits;
    descriptor.cAccumBits = request->accumBits;
    descriptor.cAccumRedBits = request->accumRedBits;
    descriptor.cAccumGreenBits = request->accumGreenBits;
    descriptor.cAccumBlueBits = request->accumBlueBits;
    descriptor.cAccumAlphaBits = request->accumAlphaBits;
    descriptor.cDepthBits = request->depthBits;
    descriptor.cStencilBits = request->stencilBits;
    descriptor.cAuxBuffers = request->auxBuffers;
    descriptor.iLayerType = request->layerType;
    return descriptor;
}

}  // namespace

int platformSetGLKind(PlatformGLKind kind) {
    // WGL makes desktop contexts only; OpenGL ES is not this system's.
    return kind == platformGLDesktop ? 1 : 0;
}

PlatformDeviceContext* platformGetDC(PlatformWindow* window) {
    if (window == nullptr) return nullptr;
    return reinterpret_cast<PlatformDeviceContext*>(GetDC(win32Window(window)));
}

int platformReleaseDC(PlatformWindow* window, PlatformDeviceContext* dc) {
    if (window == nullptr || dc == nullptr) return 0;
    return ReleaseDC(win32Window(window), win32Dc(dc));
}

int platformChoosePixelFormat(PlatformDeviceContext* dc, const PlatformPixelFormat* request) {
    if (dc == nullptr || request == nullptr) return 0;
    const PIXELFORMATDESCRIPTOR descriptor = win32Descriptor(request);
    return ChoosePixelFormat(win32Dc(dc), &descriptor);
}

int platformSetPixelFormat(PlatformDeviceContext* dc, int format,
                           const PlatformPixelFormat* request) {
    if (dc == nullptr || request == nullptr) return 0;
    const PIXELFORMATDESCRIPTOR descriptor = win32Descriptor(request);
    return SetPixelFormat(win32Dc(dc), format, &descriptor) ? 1 : 0;
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext* dc) {
    if (dc == nullptr) return nullptr;
    return reinterpret_cast<PlatformRenderContext*>(wglCreateContext(win32Dc(dc)));
}

int platformMakeCurrent(PlatformDeviceContext* dc, PlatformRenderContext* rc) {
    return wglMakeCurrent(win32Dc(dc), win32Rc(rc)) ? 1 : 0;
}

int platformDeleteContext(PlatformRenderContext* rc) {
    if (rc == nullptr) return 0;
    return wglDeleteContext(win32Rc(rc)) ? 1 : 0;
}

int platformSwapBuffers(PlatformDeviceContext* dc) {
    if (dc == nullptr) return 0;
    return SwapBuffers(win32Dc(dc)) ? 1 : 0;
}

void* platformGetGLProcAddress(const char* name) {
    if (name == nullptr) return nullptr;
    PROC address = wglGetProcAddress(name);
    // Some drivers answer a failure with a small number or -1 instead of null.
    const intptr_t value = reinterpret_cast<intptr_t>(address);
    if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) {
        // GL 1.1's own functions are exported by opengl32.dll, not the driver.
        HMODULE library = GetModuleHandleA("opengl32.dll");
        address = library != nullptr ? GetProcAddress(library, name) : nullptr;
    }
    return reinterpret_cast<void*>(address);
}
