// Display modes and the cursor's visibility.
#include "platform/win32/internal.h"

int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    if (mode == nullptr) return ChangeDisplaySettingsA(nullptr, flags);
    DEVMODEA system;
    ZeroMemory(&system, sizeof system);
    // The system's own record size, whatever size the caller's request names.
    system.dmSize = sizeof system;
    system.dmFields = mode->fields;
    system.dmBitsPerPel = mode->bitsPerPel;
    system.dmPelsWidth = mode->pelsWidth;
    system.dmPelsHeight = mode->pelsHeight;
    return ChangeDisplaySettingsA(&system, flags);
}

int platformShowCursor(int show) {
    return ShowCursor(show ? TRUE : FALSE);
}
