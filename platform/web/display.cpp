// The display mode: the page's fullscreen, and the pointer's visibility.
#include <emscripten/emscripten.h>

#include "platform/web/internal.h"

namespace {

// A browser grants fullscreen only shortly after a click or a key: the
// start-up question's Yes, the page's button or Alt+Enter. 1 once granted.
// clang-format off
EM_ASYNC_JS(int, webRequestFullscreen, (), {
    var screen = document.getElementById('screen');
    if (document.fullscreenElement === screen) return 1;
    if (!screen.requestFullscreen) return 0;
    try {
        await screen.requestFullscreen();
    } catch (refused) {
        return 0;
    }
    Module.web.fullscreen = true;
    return 1;
});
// clang-format on

// clang-format off
EM_JS(void, webExitFullscreen, (), {
    Module.web.fullscreen = false;
    if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
});
// clang-format on

// clang-format off
EM_JS(void, webShowPointer, (int show), {
    document.getElementById('screen').style.cursor = show ? "" : "none";
});
// clang-format on

}  // namespace

void webLeaveFullscreen() {
    if (!webLayer.fullscreen) return;
    webLayer.fullscreen = false;
    webLayer.leaveFullscreen = false;
    webExitFullscreen();
}

int32_t platformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    if (mode == nullptr) {
        // Left when the next window is made windowed, or the program ends.
        webLayer.leaveFullscreen = webLayer.fullscreen;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!windowingLayer.up || (flags & CDS_FULLSCREEN) == 0) return DISP_CHANGE_FAILED;
    // Any size will do: the picture is scaled to the screen, as a monitor
    // shows a mode smaller than its own.
    if (!webRequestFullscreen()) return DISP_CHANGE_FAILED;
    webLayer.fullscreen = true;
    webLayer.leaveFullscreen = false;
    return DISP_CHANGE_SUCCESSFUL;
}

void windowingShowPointer(bool shown) {
    webShowPointer(shown ? 1 : 0);
}
