// What Windows' window manager keeps, kept by a side whose system has no
// such thing (SDL, the browser): the one window class, the one window with
// its device context and user data, and the cursor's display counter. It
// gives the seam's class, device-context, pixel-format, user-data and
// cursor calls; the side makes, shows and destroys the windows. Nothing
// outside platform/ includes it.
#pragma once

#include <string>

#include "platform/platform.h"

// What GL draws through: the window, and the framebuffer the pixel-format
// calls confirmed for it, which its context is then made with.
struct PlatformDeviceContext {
    PlatformWindow* window;
    PlatformPixelFormat format;
};

// The system's default pointer is the arrow: nothing needs loading.
struct PlatformCursor {
    int unused;
};

// The part of every side's window record that the calls here keep.
struct WindowingWindow {
    PlatformDeviceContext dc;
    void* userData;
};

struct WindowingLayer {
    // The side's window system is up: a class is registered.
    bool up = false;
    PlatformWindowProc procedure = nullptr;
    std::string className;
    PlatformWindow* window = nullptr;  // the one window, or null
    int cursorCounter = 0;
};

extern WindowingLayer windowingLayer;

// 1 when a window of this class may be made now: the class is registered,
// the format is there and the one window is not.
bool windowingMayCreate(const char* className, const PlatformPixelFormat* pixelFormat);
// The side's new window becomes the one window and gets WM_CREATE, with
// lParam pointing to a PlatformCreateStruct holding createParams.
void windowingAdopt(PlatformWindow* window, void* createParams);
// WM_SIZE with the client size, as a window gets it when it shows.
void windowingSendSize(PlatformWindow* window, int width, int height);
// The window is going: what was queued for it goes with it, and it stops
// being the one window. The side then frees its record.
void windowingForget(PlatformWindow* window);

// Each side defines these. windowingOf gives the shared part of its window
// record (null for null). windowingSystemStart brings its window system up
// as the class is registered, false when there is none to show windows on;
// windowingSystemStop takes it down as the class goes. windowingShowPointer
// shows or hides the pointer over the window.
WindowingWindow* windowingOf(PlatformWindow* window);
bool windowingSystemStart();
void windowingSystemStop();
void windowingShowPointer(bool shown);
