// The system layer over SDL2: windows, OpenGL contexts, the message queue,
// message boxes, display modes, time, cursor and keyboard.
#include "platform/platform.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

struct PlatformDeviceContext {
    PlatformWindow* window;
};

struct PlatformWindow {
    SDL_Window* sdl;
    PlatformDeviceContext dc;
    void* userData;
    bool popup;
    // A framed window asked for by its outer size: once the window manager
    // has framed it, the client area shrinks by the frame.
    bool outerSized;
    int outerWidth, outerHeight;
    // The client size of our own fitting, whose resize event is not the
    // user's.
    int fittedWidth, fittedHeight;
};

struct PlatformRenderContext {
    SDL_GLContext gl;
};

struct PlatformCursor {
    int unused;
};

namespace {

struct Frame {
    int left, top, right, bottom;
};

struct ClientSizeHint {
    bool valid;
    int outerWidth, outerHeight;
    int clientWidth, clientHeight;
};

struct SdlLayer {
    bool videoUp = false;
    PlatformWindowProc windowProc = nullptr;
    std::string className;
    void* instance = nullptr;
    PlatformWindow* window = nullptr;  // the one window, or null
    std::deque<PlatformMessage> queue;
    // The display mode the next fullscreen window runs in.
    bool modeSet = false;
    SDL_DisplayMode mode{};
    int cursorCounter = 0;
    // The frame the window manager put around the last framed window; until
    // a window has been seen it is taken as none.
    Frame frame{0, 0, 0, 0};
    // The last client rectangle grown to a window rectangle: a window made
    // at exactly that outer size gets exactly that client size.
    ClientSizeHint hint{false, 0, 0, 0, 0};
    // Where the pointer is, in screen coordinates, as last seen or put.
    bool cursorKnown = false;
    int cursorX = 0, cursorY = 0;
};

SdlLayer layer;
PlatformCursor arrowCursor;

volatile sig_atomic_t toggleSignalled = 0;

void toggleSignalHandler(int) {
    toggleSignalled = 1;
}

// ------------------------------------------------------------ key codes
struct KeyMapping {
    SDL_Keycode key;
    int virtualKey;
};

const KeyMapping keyMappings[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09}, {SDLK_RETURN, 0x0D}, {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10}, {SDLK_LCTRL, 0x11}, {SDLK_RCTRL, 0x11}, {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12}, {SDLK_PAUSE, 0x13}, {SDLK_CAPSLOCK, 0x14}, {SDLK_ESCAPE, 0x1B},
    {SDLK_SPACE, 0x20}, {SDLK_PAGEUP, 0x21}, {SDLK_PAGEDOWN, 0x22}, {SDLK_END, 0x23},
    {SDLK_HOME, 0x24}, {SDLK_LEFT, 0x25}, {SDLK_UP, 0x26}, {SDLK_RIGHT, 0x27},
    {SDLK_DOWN, 0x28}, {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D}, {SDLK_DELETE, 0x2E},
    {SDLK_LGUI, 0x5B}, {SDLK_RGUI, 0x5C}, {SDLK_APPLICATION, 0x5D}, {SDLK_KP_0, 0x60},
    {SDLK_KP_1, 0x61}, {SDLK_KP_2, 0x62}, {SDLK_KP_3, 0x63}, {SDLK_KP_4, 0x64},
    {SDLK_KP_5, 0x65}, {SDLK_KP_6, 0x66}, {SDLK_KP_7, 0x67}, {SDLK_KP_8, 0x68},
    {SDLK_KP_9, 0x69}, {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E}, {SDLK_KP_DIVIDE, 0x6F}, {SDLK_KP_ENTER, 0x0D},
    {SDLK_F1, 0x70}, {SDLK_F2, 0x71}, {SDLK_F3, 0x72}, {SDLK_F4, 0x73}, {SDLK_F5, 0x74},
    {SDLK_F6, 0x75}, {SDLK_F7, 0x76}, {SDLK_F8, 0x77}, {SDLK_F9, 0x78}, {SDLK_F10, 0x79},
    {SDLK_F11, 0x7A}, {SDLK_F12, 0x7B}, {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
    {SDLK_SEMICOLON, 0xBA}, {SDLK_EQUALS, 0xBB}, {SDLK_COMMA, 0xBC}, {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE}, {SDLK_SLASH, 0xBF}, {SDLK_BACKQUOTE, 0xC0}, {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

// The virtual-key code of a key, or -1 for keys that have none.
int virtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<int>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<int>(key - SDLK_0);
    for (const KeyMapping& mapping : keyMappings) {
        if (mapping.key == key) return mapping.virtualKey;
    }
    return -1;
}

bool keyHeld(SDL_Keycode key, const Uint8* state, int count) {
    const SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
    return scancode > SDL_SCANCODE_UNKNOWN && scancode < count && state[scancode] != 0;
}

// ------------------------------------------------------------ messages
intptr_t packSize(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(width) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(height) & 0xFFFFu) << 16));
}

void queuePost(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    layer.queue.push_back(PlatformMessage{window, message, wParam, lParam});
}

bool eventIsForWindow(uint32_t windowId) {
    return layer.window != nullptr && SDL_GetWindowID(layer.window->sdl) == windowId;
}

void queueClientSize(uintptr_t kind) {
    int width = 0, height = 0;
    SDL_GetWindowSize(layer.window->sdl, &width, &height);
    queuePost(layer.window, WM_SIZE, kind, packSize(width, height));
}

// Turns one SDL event into the window messages it stands for.
void translateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        // An interrupt from the terminal, or the session ending: close the
        // window as the user would, so the program ends in good order.
        if (layer.window != nullptr) queuePost(layer.window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        if (!eventIsForWindow(event.window.windowID)) break;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            queuePost(layer.window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            queuePost(layer.window, WM_SIZE, SIZE_MINIMIZED, 0);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            queueClientSize(SIZE_RESTORED);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            queueClientSize(SIZE_MAXIMIZED);
            break;
        case SDL_WINDOWEVENT_RESIZED:
            if (event.window.data1 == layer.window->fittedWidth &&
                event.window.data2 == layer.window->fittedHeight) {
                // Our own fitting to the frame, not the user's resize.
                layer.window->fittedWidth = layer.window->fittedHeight = -1;
                break;
            }
            queueClientSize((SDL_GetWindowFlags(layer.window->sdl) & SDL_WINDOW_MAXIMIZED)
                                ? SIZE_MAXIMIZED
                                : SIZE_RESTORED);
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (!eventIsForWindow(event.key.windowID)) break;
        const int virtualKey = virtualKeyFromSdl(event.key.keysym.sym);
        if (virtualKey < 0) break;
        // Keys pressed with Alt held, and F10, are the system's keys.
        const bool system = (event.key.keysym.mod & KMOD_ALT) != 0 || virtualKey == VK_F10;
        uint32_t message;
        if (event.type == SDL_KEYDOWN) {
            message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
        } else {
            message = system ? WM_SYSKEYUP : WM_KEYUP;
        }
        queuePost(layer.window, message, static_cast<uintptr_t>(virtualKey), 0);
        break;
    }
    case SDL_MOUSEMOTION:
        if (!eventIsForWindow(event.motion.windowID)) break;
        {
            int windowX = 0, windowY = 0;
            SDL_GetWindowPosition(layer.window->sdl, &windowX, &windowY);
            layer.cursorKnown = true;
            layer.cursorX = windowX + event.motion.x;
            layer.cursorY = windowY + event.motion.y;
        }
        break;
    default:
        break;
    }
}

void pumpSystemEvents() {
    if (!layer.videoUp) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) translateEvent(event);
    if (toggleSignalled) {
        toggleSignalled = 0;
        if (layer.window != nullptr) queuePost(layer.window, WM_USER + 1, 0, 0);
    }
}

bool queueHasMessageFor(PlatformWindow* window) {
    for (const PlatformMessage& message : layer.queue) {
        if (window == nullptr || message.window == window) return true;
    }
    return false;
}

void setFramebufferAttributes(const PlatformPixelFormat* format, bool accum, bool stencil) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format->flags & PFD_DOUBLEBUFFER) ? 1 : 0);
    const int channel = format->colorBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format->depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil ? format->stencilBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum ? format->accumRedBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum ? format->accumGreenBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum ? format->accumBlueBits : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum ? format->accumAlphaBits : 0);
    // The program never draws in sRGB; asking for a plain framebuffer keeps
    // blending and accumulation linear.
    SDL_GL_SetAttribute(SDL_GL_FRAMEBUFFER_SRGB_CAPABLE, 0);
}

bool isRealDisplayDriver(const char* name) {
    if (name == nullptr) return false;
    return std::strcmp(name, "x11") == 0 || std::strcmp(name, "wayland") == 0 ||
           std::strcmp(name, "kmsdrm") == 0;
}

// Mesa's desktop GL makes window framebuffers sRGB-capable and then converts
// colours to linear and back in glAccum, which changes every accumulated
// value. Hiding the extension before the first context is made gives the
// plain arithmetic that GL defines. Anything the user put into the variable
// is kept.
void hideSrgbFramebufferExtension() {
    const char* const hidden = "-GL_EXT_framebuffer_sRGB";
    const char* current = std::getenv("MESA_EXTENSION_OVERRIDE");
    std::string value = current != nullptr ? current : "";
    if (value.find(hidden) != std::string::npos) return;
    if (!value.empty()) value += ' ';
    value += hidden;
    setenv("MESA_EXTENSION_OVERRIDE", value.c_str(), 1);
}

}  // namespace

// ================================================================ boxes
int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style) {
    std::fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "",
                 text != nullptr ? text : "");
    std::fflush(stderr);

    SDL_MessageBoxButtonData buttons[2];
    int buttonCount;
    if ((style & 0x0F) == MB_YESNO) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
        buttonCount = 2;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                          SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                      IDOK, "OK"};
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
    box.title = caption;
    box.message = text;
    box.numbuttons = buttonCount;
    box.buttons = buttons;
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) return 0;
    return pressed;
}

PlatformWindow* platformGetFocus() {
    if (!layer.videoUp || layer.window == nullptr) return nullptr;
    return SDL_GetKeyboardFocus() == layer.window->sdl ? layer.window : nullptr;
}

// ================================================================ class
PlatformCursor* platformLoadArrowCursor() {
    // SDL's default cursor is the arrow; nothing needs loading.
    return &arrowCursor;
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    if (windowClass == nullptr || windowClass->windowProc == nullptr ||
        windowClass->className == nullptr) {
        return 0;
    }
    if (!layer.videoUp) {
        hideSrgbFramebufferExtension();
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "No display: %s\n", SDL_GetError());
            return 0;
        }
        // Without a display SDL still comes up, on a driver that draws
        // nowhere; a program nobody can see must not count as started.
        if (!isRealDisplayDriver(SDL_GetCurrentVideoDriver())) {
            std::fprintf(stderr, "No display: only the \"%s\" video driver is available\n",
                         SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver()
                                                                : "none");
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return 0;
        }
        layer.videoUp = true;

        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = toggleSignalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGUSR1, &action, nullptr);
    }
    layer.windowProc = windowClass->windowProc;
    layer.className = windowClass->className;
    layer.instance = windowClass->instance;
    return 0xC001;
}

int platformUnregisterClass(const char* className, void*) {
    if (!layer.videoUp || className == nullptr || layer.className != className) return 0;
    layer.windowProc = nullptr;
    layer.className.clear();
    layer.queue.clear();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    layer.videoUp = false;
    return 1;
}

// ================================================================ display
int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    if (mode == nullptr) {
        // Back to the user's mode: SDL gives the desktop its own mode back as
        // soon as the fullscreen window is gone.
        layer.modeSet = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!layer.videoUp || (flags & CDS_FULLSCREEN) == 0) return DISP_CHANGE_FAILED;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate;
        if (SDL_GetDisplayMode(0, i, &candidate) != 0) continue;
        if (static_cast<uint32_t>(candidate.w) != mode->pelsWidth ||
            static_cast<uint32_t>(candidate.h) != mode->pelsHeight) {
            continue;
        }
        // A 32-bit request is met by the usual 24-bit colour in 32-bit pixels.
        const uint32_t bits = SDL_BITSPERPIXEL(candidate.format);
        const bool depthMatches = bits == mode->bitsPerPel ||
                                  (mode->bitsPerPel == 32 && bits == 24) || mode->bitsPerPel == 0;
        if (!depthMatches) continue;
        layer.mode = candidate;
        layer.modeSet = true;
        return DISP_CHANGE_SUCCESSFUL;
    }
    return DISP_CHANGE_FAILED;
}

int platformShowCursor(int show) {
    layer.cursorCounter += show ? 1 : -1;
    if (layer.videoUp) SDL_ShowCursor(layer.cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return layer.cursorCounter;
}

// ================================================================ windows
int platformAdjustWindowRect(PlatformRect* rect, uint32_t style, uint32_t) {
    if (rect == nullptr) return 0;
    const int clientWidth = rect->right - rect->left;
    const int clientHeight = rect->bottom - rect->top;
    if ((style & WS_POPUP) == 0) {
        rect->left -= layer.frame.left;
        rect->top -= layer.frame.top;
        rect->right += layer.frame.right;
        rect->bottom += layer.frame.bottom;
    }
    layer.hint = ClientSizeHint{true, rect->right - rect->left, rect->bottom - rect->top,
                                clientWidth, clientHeight};
    return 1;
}

PlatformWindow* platformCreateWindow(uint32_t, const char* className, const char* title,
                                     uint32_t style, int x, int y, int width, int height,
                                     void*, void* createParams,
                                     const PlatformPixelFormat* pixelFormat) {
    if (!layer.videoUp || layer.windowProc == nullptr || className == nullptr ||
        layer.className != className || pixelFormat == nullptr || layer.window != nullptr) {
        return nullptr;
    }
    const bool popup = (style & WS_POPUP) != 0;

    // SDL sizes the client area. A framed window made at the size that a
    // client rectangle was grown to gets that client size; any other framed
    // window loses the frame from its outer size.
    int clientWidth = width;
    int clientHeight = height;
    const bool hinted = layer.hint.valid && layer.hint.outerWidth == width &&
                        layer.hint.outerHeight == height;
    if (!popup) {
        if (hinted) {
            clientWidth = layer.hint.clientWidth;
            clientHeight = layer.hint.clientHeight;
        } else {
            clientWidth = width - layer.frame.left - layer.frame.right;
            clientHeight = height - layer.frame.top - layer.frame.bottom;
        }
    }
    layer.hint.valid = false;
    clientWidth = std::max(clientWidth, 1);
    clientHeight = std::max(clientHeight, 1);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= popup ? (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP)
                   : SDL_WINDOW_RESIZABLE;

    // The closest framebuffer the display has: without an accumulation
    // buffer if it has none, then without a stencil buffer too.
    SDL_Window* sdl = nullptr;
    const bool attempts[3][2] = {{true, true}, {false, true}, {false, false}};
    for (const auto& attempt : attempts) {
        setFramebufferAttributes(pixelFormat, attempt[0], attempt[1]);
        sdl = SDL_CreateWindow(title != nullptr ? title : "", x, y, clientWidth, clientHeight,
                               flags);
        if (sdl != nullptr) break;
    }
    if (sdl == nullptr) {
        std::fprintf(stderr, "Cannot create the window: %s\n", SDL_GetError());
        return nullptr;
    }

    if (popup && layer.modeSet) SDL_SetWindowDisplayMode(sdl, &layer.mode);

    PlatformWindow* window = new PlatformWindow;
    window->sdl = sdl;
    window->dc.window = window;
    window->userData = nullptr;
    window->popup = popup;
    window->outerSized = !popup && !hinted;
    window->outerWidth = width;
    window->outerHeight = height;
    window->fittedWidth = window->fittedHeight = -1;
    layer.window = window;

    PlatformCreateStruct creation{createParams};
    layer.windowProc(window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation));
    return window;
}

int platformShowWindow(PlatformWindow* window, int) {
    if (window == nullptr) return 0;
    // A fullscreen window takes the display mode chosen for it as it shows.
    SDL_ShowWindow(window->sdl);
    if (!window->popup) {
        // The frame is known once the window manager has framed the window,
        // which happens after the window shows. A window that is to keep its
        // outer size waits a little for it; with no window manager there is
        // no frame and the wait runs out.
        int top = 0, left = 0, bottom = 0, right = 0;
        const int tries = window->outerSized ? 40 : 1;
        for (int i = 0; i < tries; ++i) {
            if (i > 0) {
                SDL_Delay(10);
                SDL_PumpEvents();
            }
            if (SDL_GetWindowBordersSize(window->sdl, &top, &left, &bottom, &right) == 0 &&
                (top | left | bottom | right) != 0) {
                break;
            }
        }
        if ((top | left | bottom | right) != 0) layer.frame = Frame{left, top, right, bottom};
        if (window->outerSized) {
            const int fittedWidth = std::max(window->outerWidth - left - right, 1);
            const int fittedHeight = std::max(window->outerHeight - top - bottom, 1);
            int width = 0, height = 0;
            SDL_GetWindowSize(window->sdl, &width, &height);
            if (width != fittedWidth || height != fittedHeight) {
                window->fittedWidth = fittedWidth;
                window->fittedHeight = fittedHeight;
                SDL_SetWindowSize(window->sdl, fittedWidth, fittedHeight);
            }
        }
    }
    SDL_RaiseWindow(window->sdl);
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    if (layer.windowProc != nullptr) {
        layer.windowProc(window, WM_SIZE, SIZE_RESTORED, packSize(width, height));
    }
    return 1;
}

int platformDestroyWindow(PlatformWindow* window) {
    if (window == nullptr) return 0;
    SDL_DestroyWindow(window->sdl);
    // What was queued for the window goes with it.
    layer.queue.erase(std::remove_if(layer.queue.begin(), layer.queue.end(),
                                     [window](const PlatformMessage& message) {
                                         return message.window == window;
                                     }),
                      layer.queue.end());
    if (layer.window == window) layer.window = nullptr;
    delete window;
    return 1;
}

void platformSetWindowUserData(PlatformWindow* window, void* data) {
    if (window != nullptr) window->userData = data;
}

void* platformGetWindowUserData(PlatformWindow* window) {
    return window != nullptr ? window->userData : nullptr;
}

intptr_t platformDefWindowProc(PlatformWindow*, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

// ================================================================ GL
PlatformDeviceContext* platformGetDC(PlatformWindow* window) {
    return window != nullptr ? &window->dc : nullptr;
}

int platformReleaseDC(PlatformWindow* window, PlatformDeviceContext* dc) {
    return window != nullptr && dc == &window->dc ? 1 : 0;
}

int platformChoosePixelFormat(PlatformDeviceContext* dc, const PlatformPixelFormat* request) {
    // The window was made with the closest framebuffer to this request.
    return dc != nullptr && request != nullptr ? 1 : 0;
}

int platformSetPixelFormat(PlatformDeviceContext* dc, int format, const PlatformPixelFormat*) {
    return dc != nullptr && format == 1 ? 1 : 0;
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext* dc) {
    if (dc == nullptr) return nullptr;
    SDL_GLContext gl = SDL_GL_CreateContext(dc->window->sdl);
    if (gl == nullptr) {
        std::fprintf(stderr, "Cannot create the OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    return new PlatformRenderContext{gl};
}

int platformMakeCurrent(PlatformDeviceContext* dc, PlatformRenderContext* rc) {
    if (rc == nullptr) {
        return SDL_GL_MakeCurrent(dc != nullptr ? dc->window->sdl : nullptr, nullptr) == 0;
    }
    if (dc == nullptr) return 0;
    return SDL_GL_MakeCurrent(dc->window->sdl, rc->gl) == 0 ? 1 : 0;
}

int platformDeleteContext(PlatformRenderContext* rc) {
    if (rc == nullptr) return 0;
    SDL_GL_DeleteContext(rc->gl);
    delete rc;
    return 1;
}

int platformSwapBuffers(PlatformDeviceContext* dc) {
    if (dc == nullptr) return 0;
    SDL_GL_SwapWindow(dc->window->sdl);
    return 1;
}

// ================================================================ queue
int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags) {
    pumpSystemEvents();
    for (auto it = layer.queue.begin(); it != layer.queue.end(); ++it) {
        if (window != nullptr && it->window != window) continue;
        *message = *it;
        if (removeFlags & PM_REMOVE) layer.queue.erase(it);
        return 1;
    }
    return 0;
}

intptr_t platformDispatchMessage(const PlatformMessage* message) {
    if (message == nullptr || message->window == nullptr || message->window != layer.window ||
        layer.windowProc == nullptr) {
        return 0;
    }
    return layer.windowProc(message->window, message->message, message->wParam, message->lParam);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    queuePost(window, message, wParam, lParam);
    return 1;
}

int platformWaitMessage() {
    pumpSystemEvents();
    while (!queueHasMessageFor(nullptr)) {
        if (!layer.videoUp) return 0;
        // Sleeps in the window system's wait; the bounded wait lets a signal
        // that arrived meanwhile become a message within a quarter second.
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 250)) translateEvent(event);
        pumpSystemEvents();
    }
    return 1;
}

// ================================================================ time, input
uint32_t platformGetTickCount() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

namespace {

// The pointer's true screen position, asked of the X server itself: the
// window's own motion events stop at its edge, and SDL's global query keeps
// an old position on servers that send no raw motion.
bool cursorFromXServer(int* x, int* y) {
    if (layer.window == nullptr) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(layer.window->sdl, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* display = info.info.x11.display;
    Window root, child;
    int rootX, rootY, windowX, windowY;
    unsigned int buttons;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY,
                       &windowX, &windowY, &buttons)) {
        return false;  // the pointer is on another screen
    }
    *x = rootX;
    *y = rootY;
    return true;
}

}  // namespace

int platformGetCursorPos(int* x, int* y) {
    if (x == nullptr || y == nullptr) return 0;
    if (cursorFromXServer(x, y)) return 1;
    if (!layer.cursorKnown) {
        if (!layer.videoUp) return 0;
        // Only good until the pointer moves: SDL keeps the global position
        // until raw motion arrives, which not every X server sends. The
        // window's own motion events keep the position after that.
        SDL_GetGlobalMouseState(&layer.cursorX, &layer.cursorY);
        layer.cursorKnown = true;
    }
    *x = layer.cursorX;
    *y = layer.cursorY;
    return 1;
}

int platformSetCursorPos(int x, int y) {
    if (!layer.videoUp) return 0;
    SDL_WarpMouseGlobal(x, y);
    layer.cursorKnown = true;
    layer.cursorX = x;
    layer.cursorY = y;
    return 1;
}

int16_t platformGetKeyState(int virtualKey) {
    if (!layer.videoUp) return 0;
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
