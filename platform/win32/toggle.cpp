// tenebrel_toggle [milliseconds]: posts the display-mode toggle (WM_USER + 1)
// to the running program's window, found by its class and title. Waits up to
// the given time for the window to appear (default: no wait). Exit status 0
// when the message was posted, 1 otherwise.
#include <cstdio>
#include <cstdlib>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int main(int argc, char** argv) {
    long waitMs = 0;
    if (argc > 2 || (argc == 2 && (waitMs = std::strtol(argv[1], nullptr, 10)) < 0)) {
        std::fprintf(stderr, "usage: tenebrel_toggle [milliseconds to wait for the window]\n");
        return 1;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA("OpenGL", "Tenebrel");
        if (window != nullptr) {
            if (PostMessageA(window, WM_USER + 1, 0, 0)) return 0;
            std::fprintf(stderr, "tenebrel_toggle: cannot post to the window (error %lu)\n",
                         GetLastError());
            return 1;
        }
        if (GetTickCount() - start >= static_cast<DWORD>(waitMs)) break;
        Sleep(20);
    }
    std::fprintf(stderr, "tenebrel_toggle: no Tenebrel window is open\n");
    return 1;
}
