// Message boxes, and the window that owns them: the one with the focus.
#include "platform/box.h"
#include "platform/win32/internal.h"

int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style) {
    // A program without a console, or one whose box cannot be shown, still
    // leaves its message where the person who started it looks.
    const BoxText words = boxEcho(text, caption);
    // MessageBoxA itself returns 0 when it cannot show the box.
    return MessageBoxA(win32Window(owner), words.text, words.caption, style);
}

PlatformWindow* platformGetFocus() {
    return win32PlatformWindow(GetFocus());
}
