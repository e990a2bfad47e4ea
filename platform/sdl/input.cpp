// Time, the pointer and the keyboard: key codes, the pointer's position and
// the held keys.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <time.h>

#include "platform/sdl/internal.h"

namespace {

struct KeyMapping {
    SDL_Keycode key;
    int virtualKey;
};

const KeyMapping keyMappings[] = {
    {SDLK_BACKSPACE, 0x08},    {SDLK_TAB, 0x09},          {SDLK_RETURN, 0x0D},
    {SDLK_LSHIFT, 0x10},       {SDLK_RSHIFT, 0x10},       {SDLK_LCTRL, 0x11},
    {SDLK_RCTRL, 0x11},        {SDLK_LALT, 0x12},         {SDLK_RALT, 0x12},
    {SDLK_PAUSE, 0x13},        {SDLK_CAPSLOCK, 0x14},     {SDLK_ESCAPE, 0x1B},
    {SDLK_SPACE, 0x20},        {SDLK_PAGEUP, 0x21},       {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},          {SDLK_HOME, 0x24},         {SDLK_LEFT, 0x25},
    {SDLK_UP, 0x26},           {SDLK_RIGHT, 0x27},        {SDLK_DOWN, 0x28},
    {SDLK_PRINTSCREEN, 0x2C},  {SDLK_INSERT, 0x2D},       {SDLK_DELETE, 0x2E},
    {SDLK_LGUI, 0x5B},         {SDLK_RGUI, 0x5C},         {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, 0x60},         {SDLK_KP_1, 0x61},         {SDLK_KP_2, 0x62},
    {SDLK_KP_3, 0x63},         {SDLK_KP_4, 0x64},         {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66},         {SDLK_KP_7, 0x67},         {SDLK_KP_8, 0x68},
    {SDLK_KP_9, 0x69},         {SDLK_KP_MULTIPLY, 0x6A},  {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},     {SDLK_KP_PERIOD, 0x6E},    {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_KP_ENTER, 0x0D},     {SDLK_F1, 0x70},           {SDLK_F2, 0x71},
    {SDLK_F3, 0x72},           {SDLK_F4, 0x73},           {SDLK_F5, 0x74},
    {SDLK_F6, 0x75},           {SDLK_F7, 0x76},           {SDLK_F8, 0x77},
    {SDLK_F9, 0x78},           {SDLK_F10, 0x79},          {SDLK_F11, 0x7A},
    {SDLK_F12, 0x7B},          {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
    {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},       {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB},  {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

bool keyHeld(SDL_Keycode key, const Uint8* state, int count) {
    const SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
    return scancode > SDL_SCANCODE_UNKNOWN && scancode < count && state[scancode] != 0;
}

// The pointer's true screen position, asked of the X server itself: the
// window's own motion events stop at its edge, and SDL's global query keeps
// an old position on servers that send no raw motion.
bool cursorFromXServer(int* x, int* y) {
    PlatformWindow* window = windowingLayer.window;
    if (window == nullptr) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window->sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    Window root, child;
    int rootX, rootY, windowX, windowY;
    unsigned int buttons;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                       &windowY, &buttons)) {
        return false;  // the pointer is on another screen
    }
    *x = rootX;
    *y = rootY;
    return true;
}

}  // namespace

int sdlVirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<int>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<int>(key - SDLK_0);
    for (const KeyMapping& mapping : keyMappings) {
        if (mapping.key == key) return mapping.virtualKey;
    }
    return -1;
}

uint32_t platformGetTickCount() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

int platformGetCursorPos(int* x, int* y) {
    if (x == nullptr || y == nullptr) return 0;
    if (cursorFromXServer(x, y)) return 1;
    if (!sdlLayer.cursorKnown) {
        if (!windowingLayer.up) return 0;
        // Only good until the pointer moves: SDL keeps the global position
        // until raw motion arrives, which not every X server sends. The
        // window's own motion events keep the position after that.
        SDL_GetGlobalMouseState(&sdlLayer.cursorX, &sdlLayer.cursorY);
        sdlLayer.cursorKnown = true;
    }
    *x = sdlLayer.cursorX;
    *y = sdlLayer.cursorY;
    return 1;
}

int platformSetCursorPos(int x, int y) {
    if (!windowingLayer.up) return 0;
    SDL_WarpMouseGlobal(x, y);
    sdlLayer.cursorKnown = true;
    sdlLayer.cursorX = x;
    sdlLayer.cursorY = y;
    return 1;
}

int16_t platformGetKeyState(int virtualKey) {
    if (!windowingLayer.up) return 0;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    bool held = false;
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        held = keyHeld(SDLK_a + (virtualKey - 'A'), state, count);
    } else if (virtualKey >= '0' && virtualKey <= '9') {
        held = keyHeld(SDLK_0 + (virtualKey - '0'), state, count);
    } else {
        for (const KeyMapping& mapping : keyMappings) {
            if (mapping.virtualKey == virtualKey && keyHeld(mapping.key, state, count)) {
                held = true;
                break;
            }
        }
    }
    // As the system reports it: the high bit of the low byte (and of the
    // whole value) set while held.
    return held ? static_cast<int16_t>(-128) : 0;
}

// The window shows the settings itself (its help); nothing beside it.
void platformSettingsShown(int, float, int, int, int) {}
