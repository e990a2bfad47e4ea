// A scriptable stand-in for the system layer. Tests set what the system
// will answer, run the code under test, and read back what was asked of it.
//
// Windowing, boxes, queue, time and input are faked here; files, fonts and
// the environment use the real implementations (they need no display).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct FakeBox {
    PlatformWindow* owner;
    std::string text, caption;
    uint32_t style;
};

struct FakePlatform {
    // What the code asked, in order, one short line per call: "GetDC",
    // "DestroyWindow", "MessageBox(text|caption|0xstyle)" (and "|owned" when
    // it has an owner), "ShowCursor(0)", "SwapBuffers",
    // "ChangeDisplaySettings(800x600x32)" or "(null)", "DefWindowProc(0x10,0x0)",
    // and "CreateWindow(class,title,exStyle,style,WxH,pixel format)" with the
    // format as flags/colour/depth/stencil/accumulation red/alpha bits.
    std::vector<std::string> calls;
    std::vector<FakeBox> boxes;

    // How the system answers. Boxes past the scripted answers get IDOK.
    std::vector<int> boxAnswers;
    bool registerFails = false, displayModeRefused = false, createWindowFails = false,
         getDCFails = false, choosePixelFormatFails = false, setPixelFormatFails = false,
         createContextFails = false, makeCurrentFails = false, es3Refused = false;
    PlatformWindow* focus = nullptr;  // what GetFocus returns

    // GetTickCount returns `tick`, then adds `tickStep`.
    uint32_t tick = 1000000;
    uint32_t tickStep = 16;

    int cursorX = 400, cursorY = 300;
    bool keyHeld[256] = {};

    std::deque<PlatformMessage> queue;
    // Runs at every WaitMessage with an empty queue; must queue something
    // (or the test fails rather than hangs).
    std::function<void()> onWait;
    // Runs at every SwapBuffers with the frame's index: the place to script
    // what happens between frames.
    std::function<void(int frame)> onSwap;
    int framesSwapped = 0;

    PlatformWindow* window = nullptr;  // the live window, null when none
    void* windowUserData = nullptr;
    PlatformWindowProc windowProc = nullptr;  // the registered class's
    int cursorShown = 0;                      // the cursor's display counter
    // The settings last shown beside the window: passes, light size,
    // volumes, counts, help.
    std::vector<float> settingsShown;
};

// The one fake system. Reset it at the start of every test.
FakePlatform& fake();
void fakeReset();

// How many of the recorded calls start with `prefix`.
int fakeCount(const std::string& prefix);
// Index of the first recorded call starting with `prefix` at or after `from`,
// or -1.
int fakeFind(const std::string& prefix, int from = 0);
// Sets or (with null) removes an environment variable, on Windows too.
void fakeSetVariable(const char* name, const char* value);
