// Windows: made hidden, shown and activated, destroyed; each keeps one
// pointer of the program's in its user-data slot.
#include "platform/win32/internal.h"

int platformAdjustWindowRect(PlatformRect* rect, uint32_t style, uint32_t exStyle) {
    if (rect == nullptr) return 0;
    RECT system{rect->left, rect->top, rect->right, rect->bottom};
    if (!AdjustWindowRectEx(&system, style, FALSE, exStyle)) return 0;
    *rect = PlatformRect{system.left, system.top, system.right, system.bottom};
    return 1;
}

// The pixel format is set later on the window's device context, as Windows
// lets it be; nothing about it is fixed when the window is made.
PlatformWindow* platformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                     uint32_t style, int x, int y, int width, int height, void*,
                                     void* createParams, const PlatformPixelFormat*) {
    if (className == nullptr) return nullptr;
    HWND window = CreateWindowExA(exStyle, className, title != nullptr ? title : "", style, x, y,
                                  width, height, nullptr, nullptr, win32Instance(), createParams);
    return win32PlatformWindow(window);
}

int platformShowWindow(PlatformWindow* window, int command) {
    if (window == nullptr) return 0;
    // The first showing sends WM_SIZE with the client size.
    const BOOL wasVisible = ShowWindow(win32Window(window), command);
    // Showing activates the window, but the system may leave the keyboard
    // with the program that had it; the keys are to reach the new window.
    if (command == SW_SHOWNORMAL) {
        SetForegroundWindow(win32Window(window));
        SetFocus(win32Window(window));
    }
    return wasVisible;
}

int platformDestroyWindow(PlatformWindow* window) {
    if (window == nullptr) return 0;
    return DestroyWindow(win32Window(window)) ? 1 : 0;
}

void platformSetWindowUserData(PlatformWindow* window, void* data) {
    if (window != nullptr) {
        SetWindowLongPtrA(win32Window(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    }
}

void* platformGetWindowUserData(PlatformWindow* window) {
    if (window == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetWindowLongPtrA(win32Window(window), GWLP_USERDATA));
}

intptr_t platformDefWindowProc(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
    return DefWindowProcA(win32Window(window), message, wParam, lParam);
}
