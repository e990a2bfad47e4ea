// The thread's message queue: messages from the system, from the program
// itself and from other programs (the display-mode toggle) all arrive here.
#include "platform/win32/internal.h"

int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags) {
    if (message == nullptr) return 0;
    MSG system;
    if (!PeekMessageA(&system, win32Window(window), 0, 0, removeFlags)) return 0;
    *message = PlatformMessage{win32PlatformWindow(system.hwnd), system.message, system.wParam,
                               system.lParam};
    return 1;
}

intptr_t platformDispatchMessage(const PlatformMessage* message) {
    if (message == nullptr) return 0;
    MSG system;
    ZeroMemory(&system, sizeof system);
    system.hwnd = win32Window(message->window);
    system.message = message->message;
    system.wParam = message->wParam;
    system.lParam = message->lParam;
    system.time = GetMessageTime();
    return DispatchMessageA(&system);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    return PostMessageA(win32Window(window), message, wParam, lParam) ? 1 : 0;
}

int platformWaitMessage() {
    return WaitMessage() ? 1 : 0;
}
