// Time, the pointer and the keyboard, as the system keeps them.
#include "platform/win32/internal.h"

uint32_t platformGetTickCount() {
    return GetTickCount();
}

int platformGetCursorPos(int* x, int* y) {
    if (x == nullptr || y == nullptr) return 0;
    POINT point;
    if (!GetCursorPos(&point)) return 0;
    *x = point.x;
    *y = point.y;
    return 1;
}

int platformSetCursorPos(int x, int y) {
    return SetCursorPos(x, y) ? 1 : 0;
}

int16_t platformGetKeyState(int virtualKey) {
    SHORT state = GetKeyState(virtualKey);
    // Held is the high bit; the low byte's high bit, which readers test,
    // is set along with it on Windows, and made sure of here.
    if (state & 0x8000) state = static_cast<SHORT>(state | 0xFF80);
    return state;
}

// The window shows the settings itself (its help); nothing beside it.
void platformSettingsShown(int, float, int, int, int) {}
