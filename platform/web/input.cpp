// Time, the pointer and the keyboard.
#include <emscripten/emscripten.h>

#include "platform/web/internal.h"

uint32_t platformGetTickCount() {
    // Milliseconds since the page was opened, wrapping as the system's do.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

int platformGetCursorPos(int* x, int* y) {
    if (x == nullptr || y == nullptr) return 0;
    *x = webLayer.cursorX;
    *y = webLayer.cursorY;
    return 1;
}

int platformSetCursorPos(int x, int y) {
    if (!windowingLayer.up) return 0;
    webLayer.cursorX = x;
    webLayer.cursorY = y;
    return 1;
}

int16_t platformGetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255 || !webLayer.held[virtualKey]) return 0;
    // As the system reports it: the high bit of the low byte (and of the
    // whole value) set while held.
    return static_cast<int16_t>(-128);
}
