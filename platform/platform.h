// The program's only door to the operating system.
//
// Everything above this header is portable code that speaks in terms of a
// window, a device context, a rendering context, a queue of window messages
// and a handful of system services. Its implementations:
//   sdl/*.cpp - the real one on Linux, over SDL2, FreeType, fontconfig, POSIX
//   win32/*.cpp - the real one on Windows, over USER32, GDI32, WGL, KERNEL32
//   web/*.cpp - the real one in a web browser, over Emscripten and WebGL 2
//   tests/platform_fake.cpp - a scriptable double that records every call
// Exactly one of them is linked into any executable. What sdl/ and web/
// both need stands once beside this header: posix/*.cpp (files and the
// environment), queue.* (the message queue) and windowing.* (the window
// class, the one window and the cursor's counter, which Windows keeps
// itself); box.* (a box's line on stderr) serves all three.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- handles
struct PlatformWindow;         // a top-level window
struct PlatformDeviceContext;  // what GL draws through; one per window
struct PlatformRenderContext;  // an OpenGL rendering context
struct PlatformCursor;         // a mouse cursor shape

typedef intptr_t (*PlatformWindowProc)(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                                       intptr_t lParam);

// The constants below carry Windows' own names and values. On Windows its
// headers (which <GL/gl.h> includes there) define the same names as macros;
// whichever comes first serves, so each group stands back when its names
// are already defined.

// ---------------------------------------------------------------- messages
#ifndef WM_CREATE
enum : uint32_t {
    WM_CREATE = 0x0001,
    WM_SIZE = 0x0005,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCOMMAND = 0x0112,
    WM_USER = 0x0400,
};
#endif

#ifndef SIZE_RESTORED
enum : uintptr_t {
    SIZE_RESTORED = 0,
    SIZE_MINIMIZED = 1,
    SIZE_MAXIMIZED = 2,
    SIZE_MAXSHOW = 3,
    SIZE_MAXHIDE = 4,
};
#endif

#ifndef SC_SCREENSAVE
enum : uintptr_t {
    SC_SCREENSAVE = 0xF140,
    SC_MONITORPOWER = 0xF170,
};
#endif

// Virtual-key codes the program reads. Letters and digits are their
// upper-case ASCII codes.
#ifndef VK_BACK
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70,
    VK_F10 = 0x79,
    VK_F12 = 0x7B,
};
#endif

struct PlatformMessage {
    PlatformWindow* window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// What lParam of WM_CREATE points to.
struct PlatformCreateStruct {
    void* createParams;
};

// ---------------------------------------------------------------- boxes
#ifndef MB_OK
enum : uint32_t {
    MB_OK = 0x00,
    MB_YESNO = 0x04,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };
#endif

// A modal box. The text and caption also go to stderr, so the message is seen
// even where no box can be shown. Returns the button pressed, 0 on failure.
int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style);

// The window that has the keyboard focus, or null.
PlatformWindow* platformGetFocus();

// ---------------------------------------------------------------- class
#ifndef CS_VREDRAW
enum : uint32_t {
    CS_VREDRAW = 0x0001,
    CS_HREDRAW = 0x0002,
    CS_OWNDC = 0x0020,
};
#endif

struct PlatformWindowClass {
    uint32_t size;
    uint32_t style;
    PlatformWindowProc windowProc;
    void* instance;
    PlatformCursor* cursor;
    uintptr_t background;
    const char* className;
};

PlatformCursor* platformLoadArrowCursor();
// Brings up the window system; fails (returns 0) unless a real display is
// there to show windows on. Returns a non-zero 16-bit atom on success.
uint16_t platformRegisterClass(const PlatformWindowClass* windowClass);
int platformUnregisterClass(const char* className, void* instance);

// ---------------------------------------------------------------- display
struct PlatformDisplayMode {
    uint32_t size;
    uint32_t fields;
    uint32_t bitsPerPel;
    uint32_t pelsWidth;
    uint32_t pelsHeight;
};
#ifndef DM_BITSPERPEL
enum : uint32_t {
    DM_BITSPERPEL = 0x00040000,
    DM_PELSWIDTH = 0x00080000,
    DM_PELSHEIGHT = 0x00100000,
};
#endif
#ifndef CDS_FULLSCREEN
enum : uint32_t { CDS_FULLSCREEN = 0x00000004 };
enum : int32_t { DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_FAILED = -1 };
#endif

// With a mode and CDS_FULLSCREEN: switch the screen for the life of the
// program (the next fullscreen window runs in it). With null and 0: back to
// the user's own mode.
int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags);
// Returns the new display counter, as the system's cursor visibility does.
int platformShowCursor(int show);

// ---------------------------------------------------------------- windows
#ifndef WS_POPUP
enum : uint32_t {
    WS_POPUP = 0x80000000u,
    WS_OVERLAPPEDWINDOW = 0x00CF0000u,
    WS_CLIPSIBLINGS = 0x04000000u,
    WS_CLIPCHILDREN = 0x02000000u,
};
#endif
#ifndef WS_EX_TOPMOST
enum : uint32_t {
    WS_EX_TOPMOST = 0x00000008u,
    WS_EX_APPWINDOW = 0x00040000u,
    WS_EX_WINDOWEDGE = 0x00000100u,
};
enum : int { SW_SHOWNORMAL = 1 };
#endif

struct PlatformRect {
    int32_t left, top, right, bottom;
};

// The framebuffer the program asks for.
struct PlatformPixelFormat {
    uint16_t size;
    uint16_t version;
    uint32_t flags;
    uint8_t pixelType;
    uint8_t colorBits;
    uint8_t accumBits;
    uint8_t accumRedBits, accumGreenBits, accumBlueBits, accumAlphaBits;
    uint8_t depthBits;
    uint8_t stencilBits;
    uint8_t auxBuffers;
    uint8_t layerType;
};
#ifndef PFD_DOUBLEBUFFER
enum : uint32_t {
    PFD_DOUBLEBUFFER = 0x01,
    PFD_DRAW_TO_WINDOW = 0x04,
    PFD_SUPPORT_OPENGL = 0x20,
};
enum : uint8_t { PFD_TYPE_RGBA = 0, PFD_MAIN_PLANE = 0 };
#endif

// Grows a client rectangle to the outer rectangle of a framed window.
int platformAdjustWindowRect(PlatformRect* rect, uint32_t style, uint32_t exStyle);

// Creates a hidden window. WM_CREATE, with lParam pointing to a
// PlatformCreateStruct holding createParams, reaches the class's procedure
// before this returns. The pixel format is the one the window's framebuffer
// will be made with: some window systems fix it when the window is made, so
// it is handed over here and the pixel-format calls below confirm it.
PlatformWindow* platformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                     uint32_t style, int x, int y, int width, int height,
                                     void* instance, void* createParams,
                                     const PlatformPixelFormat* pixelFormat);
int platformShowWindow(PlatformWindow* window, int command);
int platformDestroyWindow(PlatformWindow* window);

void platformSetWindowUserData(PlatformWindow* window, void* data);
void* platformGetWindowUserData(PlatformWindow* window);
intptr_t platformDefWindowProc(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);

// ---------------------------------------------------------------- GL
// The kind of rendering context the next windows are made for: desktop
// OpenGL with its fixed pipeline (a compatibility context), or OpenGL ES 3.0
// (WebGL 2 in a browser). Some window systems fix it when the window is
// made, as they fix the pixel format, so it is chosen before. Returns 1 when
// this system can make that kind at all; 0 leaves the kind as it was.
enum PlatformGLKind : int {
    platformGLDesktop = 0,
    platformGLES3 = 1,
};
int platformSetGLKind(PlatformGLKind kind);

PlatformDeviceContext* platformGetDC(PlatformWindow* window);
int platformReleaseDC(PlatformWindow* window, PlatformDeviceContext* dc);
// Index of the closest available format (1-based), 0 when none.
int platformChoosePixelFormat(PlatformDeviceContext* dc, const PlatformPixelFormat* request);
int platformSetPixelFormat(PlatformDeviceContext* dc, int format,
                           const PlatformPixelFormat* request);
PlatformRenderContext* platformCreateContext(PlatformDeviceContext* dc);
// With a null context: make none current.
int platformMakeCurrent(PlatformDeviceContext* dc, PlatformRenderContext* rc);
int platformDeleteContext(PlatformRenderContext* rc);
int platformSwapBuffers(PlatformDeviceContext* dc);
// The address of a GL function beyond GL 1.1 in the current context, null
// when the context has none. Ask only while a context is current.
void* platformGetGLProcAddress(const char* name);

// ---------------------------------------------------------------- queue
#ifndef PM_NOREMOVE
enum : uint32_t { PM_NOREMOVE = 0, PM_REMOVE = 1 };
#endif

// Non-blocking: takes the oldest queued message for `window` (all windows
// when null). Returns non-zero when one was taken.
int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags);
intptr_t platformDispatchMessage(const PlatformMessage* message);
int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);
// Blocks, using no processor time, until a message is queued.
int platformWaitMessage();

// ---------------------------------------------------------------- time, input
// Milliseconds since system start, wrapping at 2^32.
uint32_t platformGetTickCount();

int platformGetCursorPos(int* x, int* y);
int platformSetCursorPos(int x, int y);
// Bit 0x80 set while the key is held.
int16_t platformGetKeyState(int virtualKey);

// ---------------------------------------------------------------- environment
// Copies the value of an environment variable into `buffer`, ended with a
// zero byte. Returns the value's length; 0 when it is not set (or empty);
// when it does not fit, the size it needs, zero byte included, with an
// empty `buffer`.
uint32_t platformGetEnvironmentVariable(const char* name, char* buffer, uint32_t size);
// Makes standard output and standard error reach whoever started the
// program, where the system does not see to it: a windowed Windows program
// started from a console writes into that console (unless its output is
// redirected), and one started otherwise opens none. At the start of main.
void platformConsoleAttach();
// Writes `text` to standard output as it is, and flushes it: what the user
// asked the program to say (the help, the version, the benchmark's lines).
// 0 when it could not be written (a full disk, a closed pipe).
int platformPrint(const char* text);
// One line for whoever started the program (stderr, or the debugger's
// output where there is no console): what went wrong and what the program
// does instead. `line` has no newline of its own.
void platformWarn(const char* line);

// ---------------------------------------------------------------- settings
// What the frame now shows of its method (the passes, the light's size, and
// 1 or 0 for the shadow volumes, the count of passes in shadow and the
// keys' help), for a system that shows the settings beside the window: the
// page's panel. The desktops show them in the window itself: nothing there.
void platformSettingsShown(int passes, float lightSize, int volumes, int counts, int help);

// ---------------------------------------------------------------- files
struct PlatformMappedFile {
    const uint8_t* data;
    size_t size;
    intptr_t handle;  // the backend's own; -1 when nothing is open
};

// Maps a whole existing file read-only. An empty file counts as not opened.
// Returns 1 on success; on failure `file` is left closed.
int platformFileMap(const char* fileName, PlatformMappedFile* file);
void platformFileUnmap(PlatformMappedFile* file);

// ---------------------------------------------------------------- fonts
struct PlatformFont;

// One glyph as a 1-bit bitmap, rows top to bottom, each row `pitch` bytes,
// most significant bit leftmost. (originX, originY) is the pen position
// relative to the bitmap's bottom-left corner, as glBitmap wants it.
struct PlatformGlyph {
    int width;
    int height;
    int pitch;
    float originX;
    float originY;
    float advance;
    const uint8_t* bits;
};

// Opens the face named `faceName` (or the system's closest stand-in) at a
// pixel height, bold when asked. Null when no font at all can be found.
PlatformFont* platformFontOpen(const char* faceName, int pixelHeight, int bold);
// Renders one character. The glyph stays valid until the next call on the
// same font. Returns 0 when the font has no such glyph.
int platformFontGlyph(PlatformFont* font, unsigned int character, PlatformGlyph* glyph);
void platformFontClose(PlatformFont* font);
