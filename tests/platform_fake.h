// A scriptable stand-in for the system layer. Tests set what the system
// will answer, run the code under test, and read back what was asked of it.
//
// Windowing, boxes, queue, time and input are faked here; files and fonts
// use the real implementations (they need no display).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct FakeBox {
    PlatformWindow* owner;
    std::string text;
    std::string caption;
    uint32_t style;
};

struct FakeWindowRecord {
    uint32_t exStyle;
    uint32_t style;
    int x, y, width, height;
    std::string title;
    std::string className;
};

struct FakePlatform {
    // ---- what the code asked, in order: one short line per call, e.g.
    // "CreateWindow", "GetDC", "ReleaseDC", "DestroyWindow", "MessageBox",
    // "ChangeDisplaySettings(mode)", "ChangeDisplaySettings(null)",
    // "ShowCursor(0)", "SwapBuffers", "WaitMessage", ...
    std::vector<std::string> calls;
    std::vector<FakeBox> boxes;
    std::vector<FakeWindowRecord> windows;  // every CreateWindow, in order
    std::vector<PlatformPixelFormat> pixelRequests;
    PlatformWindowClass registeredClass{};

    // ---- how the system answers
    std::vector<int> boxAnswers;      // answers to boxes in order; then IDOK/IDNO default
    int defaultBoxAnswer = IDOK;      // for boxes past the scripted ones
    bool registerFails = false;
    bool displayModeRefused = false;
    bool createWindowFails = false;
    bool getDCFails = false;
    bool choosePixelFormatFails = false;
    bool setPixelFormatFails = false;
    bool createContextFails = false;
    bool makeCurrentFails = false;
    PlatformWindow* focus = nullptr;  // what GetFocus returns

    // Time: GetTickCount returns `tick`, then adds `tickStep`.
    uint32_t tick = 1000000;
    uint32_t tickStep = 16;

    // Input seen by the camera.
    int cursorX = 400, cursorY = 300;
    bool keyHeld[256] = {};

    // The message queue of the fake window system.
    std::deque<PlatformMessage> queue;
    // Runs at every WaitMessage with an empty queue; must queue something
    // (or the test fails rather than hangs).
    std::function<void()> onWait;
    // Runs at every SwapBuffers: the place to script what happens between
    // frames (a key, a close, a toggle).
    std::function<void(int frame)> onSwap;
    int framesSwapped = 0;

    // Handles the fake hands out (stable, non-null, distinct).
    PlatformWindow* window = nullptr;
    void* windowUserData = nullptr;
    bool windowAlive = false;
    bool contextCurrent = false;
    int cursorShown = 0;
};

// The one fake system. Reset it at the start of every test.
FakePlatform& fake();
void fakeReset();

// How many of the recorded calls start with `prefix`.
int fakeCount(const std::string& prefix);
// Index of the first recorded call starting with `prefix` at or after `from`,
// or -1.
int fakeFind(const std::string& prefix, int from = 0);
