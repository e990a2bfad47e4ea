#include "app/window_proc.h"

#include <cstring>

#include "app/app.h"
#include "app/window.h"

intptr_t windowMessageHandler(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam) {
    // Null until WM_CREATE has stored it; size messages cannot arrive before
    // that, but nothing here may trust it blindly.
    GLWindow* glWindow = static_cast<GLWindow*>(platformGetWindowUserData(window));

    switch (message) {
    case WM_CREATE: {
        const PlatformCreateStruct* creation =
            reinterpret_cast<const PlatformCreateStruct*>(lParam);
        platformSetWindowUserData(window, creation != nullptr ? creation->createParams : nullptr);
        return 0;
    }

    case WM_SIZE:
        switch (wParam) {
        case SIZE_RESTORED:
        case SIZE_MAXIMIZED:
            if (glWindow != nullptr) glWindow->isVisible = 1;
            viewportResize(static_cast<int32_t>(static_cast<uint32_t>(lParam) & 0xFFFFu),
                           static_cast<int32_t>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFFu));
            return 0;
        case SIZE_MINIMIZED:
            if (glWindow != nullptr) {
                glWindow->isVisible = 0;
                ++glWindow->timesHidden;
            }
            return 0;
        default: break;
        }
        break;

    case WM_CLOSE:
        // Consumed: the default would destroy the window, which the shell
        // does itself once the pump has ended.
        if (glWindow != nullptr) appRequestQuit(glWindow);
        return 0;

    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam <= 255) {
            if (glWindow != nullptr && glWindow->keys != nullptr) {
                KeyTable& keys = *glWindow->keys;
                // A key held repeats its key-down: only the first is a press.
                if (message == WM_KEYDOWN && keys.entries[wParam] == 0) ++keys.presses[wParam];
                keys.entries[wParam] = message == WM_KEYDOWN ? 1 : 0;
            }
            return 0;
        }
        break;

    case WM_SYSKEYUP:
        // A key let go while Alt is held is let go all the same; a press with
        // Alt held stays the system's and presses nothing.
        if (wParam <= 255 && glWindow != nullptr && glWindow->keys != nullptr) {
            glWindow->keys->entries[wParam] = 0;
        }
        break;

    case WM_KILLFOCUS:
        // The key-ups of keys held now go to another window: let them all go.
        if (glWindow != nullptr) {
            glWindow->focusLost = 1;
            if (glWindow->keys != nullptr) {
                std::memset(glWindow->keys->entries, 0, sizeof glWindow->keys->entries);
            }
        }
        return 0;

    case WM_SETFOCUS:
        if (glWindow != nullptr) {
            glWindow->focusLost = 0;
            glWindow->pointerToCentre = 1;
        }
        return 0;

    case WM_SYSCOMMAND:
        // Keep the screen saver and monitor power saving away while the
        // program runs. Exact values only: the low bits carry other meanings.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
        break;

    case WM_TOGGLE_FULLSCREEN:
        // End this window's pump without ending the program: the outer loop
        // builds the next window in the other mode.
        fullScreenRequested = fullScreenRequested == 1 ? 0 : 1;
        platformPostMessage(window, WM_QUIT, 0, 0);
        break;

    default: break;
    }
    return platformDefWindowProc(window, message, wParam, lParam);
}
