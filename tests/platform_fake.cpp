#include "platform_fake.h"

#include <cstdio>
#include <cstdlib>
#include <string>

struct PlatformWindow {
    int id;
};
struct PlatformDeviceContext {
    int id;
};
struct PlatformRenderContext {
    int id;
};
struct PlatformCursor {
    int id;
};

namespace {

FakePlatform* current = nullptr;
PlatformWindow fakeWindow{1};
PlatformDeviceContext fakeDC{2};
PlatformRenderContext fakeRC{3};
PlatformCursor fakeCursor{4};

void record(const std::string& call) {
    fake().calls.push_back(call);
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

FakePlatform& fake() {
    if (current == nullptr) current = new FakePlatform;
    return *current;
}

void fakeReset() {
    delete current;
    current = new FakePlatform;
}

int fakeCount(const std::string& prefix) {
    int count = 0;
    for (const std::string& call : fake().calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) ++count;
    }
    return count;
}

int fakeFind(const std::string& prefix, int from) {
    const auto& calls = fake().calls;
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(calls.size()); ++i) {
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return i;
    }
    return -1;
}

// ================================================================ boxes
int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style) {
    FakePlatform& f = fake();
    record("MessageBox(" + std::string(text != nullptr ? text : "") + ")");
    f.boxes.push_back(FakeBox{owner, text != nullptr ? text : "", caption != nullptr ? caption : "",
                              style});
    const size_t index = f.boxes.size() - 1;
    if (index < f.boxAnswers.size()) return f.boxAnswers[index];
    return f.defaultBoxAnswer;
}

PlatformWindow* platformGetFocus() {
    return fake().focus;
}

// ================================================================ class
PlatformCursor* platformLoadArrowCursor() {
    return &fakeCursor;
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    record("RegisterClass");
    if (fake().registerFails) return 0;
    fake().registeredClass = *windowClass;
    return 0xC001;
}

int platformUnregisterClass(const char*, void*) {
    record("UnregisterClass");
    return 1;
}

// ================================================================ display
int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t) {
    if (mode == nullptr) {
        record("ChangeDisplaySettings(null)");
        return DISP_CHANGE_SUCCESSFUL;
    }
    record("ChangeDisplaySettings(" + std::to_string(mode->pelsWidth) + "x" +
           std::to_string(mode->pelsHeight) + "x" + std::to_string(mode->bitsPerPel) + ")");
    return fake().displayModeRefused ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
}

int platformShowCursor(int show) {
    record(show ? "ShowCursor(1)" : "ShowCursor(0)");
    fake().cursorShown += show ? 1 : -1;
    return fake().cursorShown;
}

// ================================================================ windows
int platformAdjustWindowRect(PlatformRect* rect, uint32_t, uint32_t) {
    record("AdjustWindowRect");
    // A frame of 4 pixels and a 20-pixel caption, as a window manager might.
    rect->left -= 4;
    rect->right += 4;
    rect->top -= 24;
    rect->bottom += 4;
    return 1;
}

PlatformWindow* platformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                     uint32_t style, int x, int y, int width, int height, void*,
                                     void* createParams, const PlatformPixelFormat* pixelFormat) {
    FakePlatform& f = fake();
    record("CreateWindow");
    f.windows.push_back(FakeWindowRecord{exStyle, style, x, y, width, height,
                                         title != nullptr ? title : "",
                                         className != nullptr ? className : ""});
    if (pixelFormat != nullptr) f.pixelRequests.push_back(*pixelFormat);
    if (f.createWindowFails) return nullptr;
    f.window = &fakeWindow;
    f.windowUserData = nullptr;
    f.windowAlive = true;
    PlatformCreateStruct creation{createParams};
    if (f.registeredClass.windowProc != nullptr) {
        f.registeredClass.windowProc(f.window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation));
    }
    return f.window;
}

int platformShowWindow(PlatformWindow* window, int command) {
    FakePlatform& f = fake();
    record("ShowWindow(" + std::to_string(command) + ")");
    // Size messages reach the procedure while the window is shown; this one
    // deliberately carries a size that is not the requested one.
    if (f.registeredClass.windowProc != nullptr) {
        f.registeredClass.windowProc(window, WM_SIZE, SIZE_RESTORED, 640 | (480 << 16));
    }
    return 1;
}

int platformDestroyWindow(PlatformWindow* window) {
    FakePlatform& f = fake();
    record("DestroyWindow");
    if (window == f.window) {
        f.windowAlive = false;
        // Messages of a destroyed window go with it.
        for (auto it = f.queue.begin(); it != f.queue.end();) {
            it = it->window == window ? f.queue.erase(it) : it + 1;
        }
    }
    return 1;
}

void platformSetWindowUserData(PlatformWindow*, void* data) {
    fake().windowUserData = data;
}

void* platformGetWindowUserData(PlatformWindow* window) {
    return window == fake().window ? fake().windowUserData : nullptr;
}

intptr_t platformDefWindowProc(PlatformWindow*, uint32_t message, uintptr_t wParam, intptr_t) {
    record("DefWindowProc(" + hex(message) + "," + hex(static_cast<uint32_t>(wParam)) + ")");
    return 77;  // a value the program's own handling never returns
}

// ================================================================ GL
PlatformDeviceContext* platformGetDC(PlatformWindow*) {
    record("GetDC");
    return fake().getDCFails ? nullptr : &fakeDC;
}

int platformReleaseDC(PlatformWindow*, PlatformDeviceContext*) {
    record("ReleaseDC");
    return 1;
}

int platformChoosePixelFormat(PlatformDeviceContext*, const PlatformPixelFormat*) {
    record("ChoosePixelFormat");
    return fake().choosePixelFormatFails ? 0 : 1;
}

int platformSetPixelFormat(PlatformDeviceContext*, int, const PlatformPixelFormat*) {
    record("SetPixelFormat");
    return fake().setPixelFormatFails ? 0 : 1;
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext*) {
    record("CreateContext");
    return fake().createContextFails ? nullptr : &fakeRC;
}

int platformMakeCurrent(PlatformDeviceContext*, PlatformRenderContext* rc) {
    if (rc == nullptr) {
        record("MakeCurrent(null)");
        fake().contextCurrent = false;
        return 1;
    }
    record("MakeCurrent");
    if (fake().makeCurrentFails) return 0;
    fake().contextCurrent = true;
    return 1;
}

int platformDeleteContext(PlatformRenderContext*) {
    record("DeleteContext");
    return 1;
}

int platformSwapBuffers(PlatformDeviceContext*) {
    FakePlatform& f = fake();
    record("SwapBuffers");
    const int frame = f.framesSwapped++;
    if (f.onSwap) f.onSwap(frame);
    // A test that forgets to end the program fails instead of hanging.
    if (f.framesSwapped > 100000) {
        std::fprintf(stderr, "fake: runaway frame loop\n");
        std::abort();
    }
    return 1;
}

// ================================================================ queue
int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags) {
    FakePlatform& f = fake();
    for (auto it = f.queue.begin(); it != f.queue.end(); ++it) {
        if (window != nullptr && it->window != window) continue;
        *message = *it;
        if (removeFlags & PM_REMOVE) f.queue.erase(it);
        return 1;
    }
    return 0;
}

intptr_t platformDispatchMessage(const PlatformMessage* message) {
    FakePlatform& f = fake();
    if (f.registeredClass.windowProc == nullptr) return 0;
    return f.registeredClass.windowProc(message->window, message->message, message->wParam,
                                        message->lParam);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    record("PostMessage(" + hex(message) + ")");
    fake().queue.push_back(PlatformMessage{window, message, wParam, lParam});
    return 1;
}

int platformWaitMessage() {
    FakePlatform& f = fake();
    record("WaitMessage");
    if (f.queue.empty() && f.onWait) f.onWait();
    if (f.queue.empty()) {
        std::fprintf(stderr, "fake: WaitMessage with nothing ever to come\n");
        std::abort();
    }
    return 1;
}

// ================================================================ time, input
uint32_t platformGetTickCount() {
    FakePlatform& f = fake();
    const uint32_t now = f.tick;
    f.tick += f.tickStep;
    return now;
}

int platformGetCursorPos(int* x, int* y) {
    *x = fake().cursorX;
    *y = fake().cursorY;
    return 1;
}

int platformSetCursorPos(int x, int y) {
    record("SetCursorPos(" + std::to_string(x) + "," + std::to_string(y) + ")");
    fake().cursorX = x;
    fake().cursorY = y;
    return 1;
}

int16_t platformGetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return fake().keyHeld[virtualKey] ? static_cast<int16_t>(-128) : 0;
}
