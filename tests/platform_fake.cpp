#include "platform_fake.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FakePlatform* current = nullptr;
// The handles the fake hands out: distinct, never null, never looked into.
char handles[4];
PlatformWindow* const fakeWindow = reinterpret_cast<PlatformWindow*>(&handles[0]);
PlatformDeviceContext* const fakeDC = reinterpret_cast<PlatformDeviceContext*>(&handles[1]);
PlatformRenderContext* const fakeRC = reinterpret_cast<PlatformRenderContext*>(&handles[2]);

// Records the call; returns the system's answer, 0 when told to fail.
int record(const std::string& call, bool fails = false) {
    fake().calls.push_back(call);
    return fails ? 0 : 1;
}

template <typename... Values>
std::string format(const char* pattern, Values... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

}  // namespace

FakePlatform& fake() {
    return current != nullptr ? *current : *(current = new FakePlatform);
}

void fakeReset() {
    delete current, current = new FakePlatform;
}

int fakeCount(const std::string& prefix) {
    const auto& calls = fake().calls;
    return std::count_if(calls.begin(), calls.end(),
                         [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
}

int fakeFind(const std::string& prefix, int from) {
    const auto& calls = fake().calls;
    for (int i = from < 0 ? 0 : from; i < static_cast<int>(calls.size()); ++i) {
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return i;
    }
    return -1;
}

// ---------------------------------------------------------------- boxes
int platformMessageBox(PlatformWindow* owner, const char* text, const char* caption,
                       uint32_t style) {
    FakePlatform& f = fake();
    record(format("MessageBox(%s|%s|0x%X%s)", text, caption, style, owner ? "|owned" : ""));
    f.boxes.push_back(FakeBox{owner, text, caption, style});
    return f.boxes.size() <= f.boxAnswers.size() ? f.boxAnswers[f.boxes.size() - 1] : IDOK;
}

PlatformWindow* platformGetFocus() {
    return fake().focus;
}

// ---------------------------------------------------------------- class, display
PlatformCursor* platformLoadArrowCursor() {
    return reinterpret_cast<PlatformCursor*>(&handles[3]);
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    fake().windowProc = windowClass->windowProc;
    return record("RegisterClass", fake().registerFails) ? 0xC001 : 0;
}

int platformUnregisterClass(const char*, void*) {
    return record("UnregisterClass");
}

int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t) {
    if (mode == nullptr) return record("ChangeDisplaySettings(null)"), DISP_CHANGE_SUCCESSFUL;
    record(format("ChangeDisplaySettings(%ux%ux%u)", mode->pelsWidth, mode->pelsHeight,
                  mode->bitsPerPel));
    return fake().displayModeRefused ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
}

int platformShowCursor(int show) {
    record(show ? "ShowCursor(1)" : "ShowCursor(0)");
    return fake().cursorShown += show ? 1 : -1;
}

// ---------------------------------------------------------------- windows
int platformAdjustWindowRect(PlatformRect* rect, uint32_t, uint32_t) {
    // A frame of 4 pixels and a 20-pixel caption, as a window manager might.
    *rect = PlatformRect{rect->left - 4, rect->top - 24, rect->right + 4, rect->bottom + 4};
    return record("AdjustWindowRect");
}

PlatformWindow* platformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                     uint32_t style, int, int, int width, int height, void*,
                                     void* createParams, const PlatformPixelFormat* pixels) {
    FakePlatform& f = fake();
    record(format("CreateWindow(%s,%s,0x%X,0x%X,%dx%d,0x%X/%d/%d/%d/%d/%d)", className, title,
                  exStyle, style, width, height, pixels->flags, pixels->colorBits,
                  pixels->depthBits, pixels->stencilBits, pixels->accumRedBits,
                  pixels->accumAlphaBits));
    if (f.createWindowFails) return nullptr;
    f.window = fakeWindow;
    f.windowUserData = nullptr;
    PlatformCreateStruct creation{createParams};
    if (f.windowProc) f.windowProc(f.window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation));
    return f.window;
}

int platformShowWindow(PlatformWindow*, int how) {
    return record(format("ShowWindow(%d)", how));
}

int platformDestroyWindow(PlatformWindow* window) {
    // Messages of a destroyed window go with it.
    if (window == fake().window) fake().window = nullptr, fake().queue.clear();
    return record("DestroyWindow");
}

void platformSetWindowUserData(PlatformWindow*, void* data) {
    fake().windowUserData = data;
}

void* platformGetWindowUserData(PlatformWindow* window) {
    return window == fakeWindow ? fake().windowUserData : nullptr;
}

intptr_t platformDefWindowProc(PlatformWindow*, uint32_t message, uintptr_t wParam, intptr_t) {
    record(format("DefWindowProc(0x%X,0x%X)", message, static_cast<uint32_t>(wParam)));
    return 77;  // a value the program's own handling never returns
}

// ---------------------------------------------------------------- GL
PlatformDeviceContext* platformGetDC(PlatformWindow*) {
    return record("GetDC", fake().getDCFails) ? fakeDC : nullptr;
}

int platformReleaseDC(PlatformWindow*, PlatformDeviceContext*) {
    return record("ReleaseDC");
}

int platformSetGLKind(PlatformGLKind kind) {
    return record("SetGLKind(" + std::to_string(kind) + ")",
                  kind != platformGLDesktop && fake().es3Refused);
}

int platformChoosePixelFormat(PlatformDeviceContext*, const PlatformPixelFormat*) {
    return record("ChoosePixelFormat", fake().choosePixelFormatFails);
}

int platformSetPixelFormat(PlatformDeviceContext*, int, const PlatformPixelFormat*) {
    return record("SetPixelFormat", fake().setPixelFormatFails);
}

PlatformRenderContext* platformCreateContext(PlatformDeviceContext*) {
    return record("CreateContext", fake().createContextFails) ? fakeRC : nullptr;
}

int platformMakeCurrent(PlatformDeviceContext*, PlatformRenderContext* rc) {
    return rc ? record("MakeCurrent", fake().makeCurrentFails) : record("MakeCurrent(null)");
}

int platformDeleteContext(PlatformRenderContext*) {
    return record("DeleteContext");
}

// No GL beyond 1.1 here: the scene takes its plain way.
void* platformGetGLProcAddress(const char*) {
    return nullptr;
}

int platformSwapBuffers(PlatformDeviceContext*) {
    FakePlatform& f = fake();
    // A test that forgets to end the program fails instead of hanging.
    if (f.framesSwapped > 100000) std::fprintf(stderr, "fake: endless frames\n"), std::abort();
    record("SwapBuffers");
    if (f.onSwap) f.onSwap(f.framesSwapped);
    return ++f.framesSwapped, 1;
}

// ---------------------------------------------------------------- queue
// One window at a time: the queue is its queue.
int platformPeekMessage(PlatformMessage* message, PlatformWindow*, uint32_t removeFlags) {
    FakePlatform& f = fake();
    if (f.queue.empty()) return 0;
    *message = f.queue.front();
    if (removeFlags & PM_REMOVE) f.queue.pop_front();
    return 1;
}

intptr_t platformDispatchMessage(const PlatformMessage* m) {
    return fake().windowProc(m->window, m->message, m->wParam, m->lParam);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    fake().queue.push_back(PlatformMessage{window, message, wParam, lParam});
    return record(format("PostMessage(0x%X)", message));
}

int platformWaitMessage() {
    FakePlatform& f = fake();
    if (f.queue.empty() && f.onWait) f.onWait();
    if (f.queue.empty() || f.calls.size() > 1000000) {
        std::fprintf(stderr, "fake: waiting for nothing, or for ever\n");
        std::abort();
    }
    return record("WaitMessage");
}

// ---------------------------------------------------------------- time, input
uint32_t platformGetTickCount() {
    return (fake().tick += fake().tickStep) - fake().tickStep;
}

int platformGetCursorPos(int* x, int* y) {
    return *x = fake().cursorX, *y = fake().cursorY, 1;
}

int platformSetCursorPos(int x, int y) {
    fake().cursorX = x, fake().cursorY = y;
    return record(format("SetCursorPos(%d,%d)", x, y));
}

int16_t platformGetKeyState(int k) {
    return k >= 0 && k < 256 && fake().keyHeld[k] ? -128 : 0;
}

void fakeSetVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value != nullptr ? value : "");
#else
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
#endif
}

void platformSettingsShown(int passes, float lightSize, int volumes, int counts, int help) {
    fake().settingsShown = {float(passes), lightSize, float(volumes), float(counts), float(help)};
}
