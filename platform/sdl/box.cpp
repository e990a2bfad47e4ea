// Message boxes, and the window that owns them: the one with the focus.
#include "platform/box.h"
#include "platform/sdl/internal.h"

int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style) {
    const BoxText words = boxEcho(text, caption);
    SDL_MessageBoxButtonData buttons[2];
    int buttonCount;
    if ((style & 0x0F) == MB_YESNO) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        buttonCount = 2;
    } else {
        buttons[0] = {
            SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
            "OK"};
        buttonCount = 1;
    }
    Uint32 flags = 0;
    if ((style & 0xF0) == MB_ICONWARNING) {
        flags = SDL_MESSAGEBOX_WARNING;
    } else if ((style & 0xF0) == MB_ICONQUESTION) {
        flags = SDL_MESSAGEBOX_INFORMATION;
    }
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = owner != nullptr ? owner->sdl : nullptr;
    box.title = words.caption;
    box.message = words.text;
    box.numbuttons = buttonCount;
    box.buttons = buttons;
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) return 0;
    return pressed;
}

PlatformWindow* platformGetFocus() {
    PlatformWindow* window = windowingLayer.window;
    if (!windowingLayer.up || window == nullptr) return nullptr;
    return SDL_GetKeyboardFocus() == window->sdl ? window : nullptr;
}
