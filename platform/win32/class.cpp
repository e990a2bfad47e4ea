// Window classes: registered with one window procedure of ours, which hands
// every message to the class's PlatformWindowProc.
#include <string>
#include <vector>

#include "platform/win32/internal.h"

namespace {

struct Win32Class {
    std::string name;
    PlatformWindowProc proc;
};

// Classes are few (the program has one); a list is all it takes.
std::vector<Win32Class> registeredClasses;

// Where each window keeps its class's procedure, found once at WM_NCCREATE.
const int procSlot = 0;

std::vector<Win32Class>::iterator findClass(const char* name) {
    for (auto it = registeredClasses.begin(); it != registeredClasses.end(); ++it) {
        // Class names are not case sensitive on Windows.
        if (lstrcmpiA(it->name.c_str(), name) == 0) return it;
    }
    return registeredClasses.end();
}

// Windows always has its desktop to show windows on; Wine without an X
// display registers classes all the same but can make no window. A program
// nobody can see must not count as started, so a throwaway window of a
// system class (never shown) proves the display first.
bool canShowWindows() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 win32Instance(), nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

}  // namespace

HINSTANCE win32Instance() {
    return GetModuleHandleA(nullptr);
}

PlatformWindowProc win32ClassProc(const char* className) {
    if (className == nullptr) return nullptr;
    auto it = findClass(className);
    return it != registeredClasses.end() ? it->proc : nullptr;
}

LRESULT CALLBACK win32WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PlatformWindowProc proc =
        reinterpret_cast<PlatformWindowProc>(GetWindowLongPtrA(hwnd, procSlot));
    if (message == WM_NCCREATE) {
        // The first message that knows its window's class for certain
        // (WM_GETMINMAXINFO may come before it and gets the default).
        char name[256];
        if (GetClassNameA(hwnd, name, sizeof name) > 0) proc = win32ClassProc(name);
        SetWindowLongPtrA(hwnd, procSlot, reinterpret_cast<LONG_PTR>(proc));
    }
    if (proc == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);

    PlatformWindow* window = win32PlatformWindow(hwnd);
    if (message == WM_CREATE) {
        // The procedure wants only the creation parameter, in the seam's
        // own record.
        const CREATESTRUCTA* system = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        PlatformCreateStruct creation{system != nullptr ? system->lpCreateParams : nullptr};
        return proc(window, message, wParam, reinterpret_cast<intptr_t>(&creation));
    }
    return proc(window, message, wParam, lParam);
}

PlatformCursor* platformLoadArrowCursor() {
    return reinterpret_cast<PlatformCursor*>(LoadCursorA(nullptr, IDC_ARROW));
}

uint16_t platformRegisterClass(const PlatformWindowClass* windowClass) {
    if (windowClass == nullptr || windowClass->windowProc == nullptr ||
        windowClass->className == nullptr) {
        return 0;
    }
    if (!canShowWindows()) {
        platformWarn("no display: no window can be shown");
        return 0;
    }
    WNDCLASSEXA system;
    ZeroMemory(&system, sizeof system);
    system.cbSize = sizeof system;
    system.style = windowClass->style;
    system.lpfnWndProc = win32WindowProc;
    system.cbWndExtra = sizeof(LONG_PTR);
    system.hInstance = win32Instance();
    system.hCursor = reinterpret_cast<HCURSOR>(windowClass->cursor);
    // A system colour index plus one, as the class record takes it.
    system.hbrBackground = reinterpret_cast<HBRUSH>(windowClass->background);
    system.lpszClassName = windowClass->className;
    const ATOM atom = RegisterClassExA(&system);
    if (atom == 0) return 0;

    auto it = findClass(windowClass->className);
    if (it != registeredClasses.end()) registeredClasses.erase(it);
    registeredClasses.push_back(Win32Class{windowClass->className, windowClass->windowProc});
    return atom;
}

int platformUnregisterClass(const char* className, void*) {
    if (className == nullptr) return 0;
    if (!UnregisterClassA(className, win32Instance())) return 0;
    auto it = findClass(className);
    if (it != registeredClasses.end()) registeredClasses.erase(it);
    return 1;
}
