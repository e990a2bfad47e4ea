// What the files of the Windows layer share. The seam's handles are the
// system's own: a PlatformWindow* is the HWND, a PlatformDeviceContext* the
// HDC, a PlatformRenderContext* the HGLRC, a PlatformCursor* the HCURSOR.
// Nothing outside platform/ includes this.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/platform.h"

inline HWND win32Window(PlatformWindow* window) {
    return reinterpret_cast<HWND>(window);
}
inline PlatformWindow* win32PlatformWindow(HWND window) {
    return reinterpret_cast<PlatformWindow*>(window);
}
inline HDC win32Dc(PlatformDeviceContext* dc) {
    return reinterpret_cast<HDC>(dc);
}
inline HGLRC win32Rc(PlatformRenderContext* rc) {
    return reinterpret_cast<HGLRC>(rc);
}

// The portable entry hands the shell a token, not the module's handle;
// classes and windows belong to the program's own module whatever it says.
HINSTANCE win32Instance();

// The window procedure every class of ours is registered with: it finds the
// class's PlatformWindowProc and hands it each message.
LRESULT CALLBACK win32WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The PlatformWindowProc registered for a class name, or null.
PlatformWindowProc win32ClassProc(const char* className);
