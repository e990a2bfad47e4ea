// tenebrel_toggle [--close] [milliseconds]: posts the display-mode toggle
// (WM_USER + 1) to the running program's window, found by its class and
// title, as any other program may; with --close, WM_CLOSE instead, as the
// window's close button would. Waits up to the given time for the window to
// appear (default: no wait). Exit status 0 when the message was posted, 1
// otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tenebrel_toggle [--close] [milliseconds to wait for the window]\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    UINT message = WM_USER + 1;
    long waitMs = 0;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--close") == 0) {
            message = WM_CLOSE;
        } else {
            waitMs = std::strtol(argv[i], &end, 10);
            if (waitMs < 0 || end == argv[i] || *end != '\0') return usage();
        }
    }
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA("OpenGL", "Tenebrel");
        if (window != nullptr) {
            if (PostMessageA(window, message, 0, 0)) return 0;
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
