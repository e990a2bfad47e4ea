#include "platform/queue.h"

#include <algorithm>
#include <deque>

#include "platform/windowing.h"

namespace {

std::deque<PlatformMessage> queued;

// Until the window system is up, and after it has gone, it has nothing to
// report.
void pump() {
    if (windowingLayer.up) queuePump();
}

}  // namespace

intptr_t queuePackSize(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(width) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(height) & 0xFFFFu) << 16));
}

void queuePost(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queued.push_back(PlatformMessage{window, message, wParam, lParam});
}

void queuePostKey(PlatformWindow* window, int virtualKey, bool down, bool alt) {
    const bool system = alt || virtualKey == VK_F10;
    uint32_t message;
    if (down) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    queuePost(window, message, static_cast<uintptr_t>(virtualKey), 0);
}

bool queuePostFor(PlatformWindow* window, const QueueEventMessage* table, size_t count, int event) {
    for (size_t i = 0; i < count; ++i) {
        if (table[i].event != event) continue;
        queuePost(window, table[i].message, table[i].wParam, 0);
        return true;
    }
    return false;
}

void queueDrop(PlatformWindow* window) {
    queued.erase(std::remove_if(
                     queued.begin(), queued.end(),
                     [window](const PlatformMessage& message) { return message.window == window; }),
                 queued.end());
}

void queueClear() {
    queued.clear();
}

int platformPeekMessage(PlatformMessage* message, PlatformWindow* window, uint32_t removeFlags) {
    if (message == nullptr) return 0;
    pump();
    for (auto it = queued.begin(); it != queued.end(); ++it) {
        if (window != nullptr && it->window != window) continue;
        *message = *it;
        if (removeFlags & PM_REMOVE) queued.erase(it);
        return 1;
    }
    return 0;
}

intptr_t platformDispatchMessage(const PlatformMessage* message) {
    // Only the side's one window has a procedure to take it.
    if (message == nullptr || message->window == nullptr ||
        message->window != windowingLayer.window || windowingLayer.procedure == nullptr) {
        return 0;
    }
    return windowingLayer.procedure(message->window, message->message, message->wParam,
                                    message->lParam);
}

int platformPostMessage(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) {
    queuePost(window, message, wParam, lParam);
    return 1;
}

int platformWaitMessage() {
    pump();
    while (queued.empty()) {
        // With the window system gone nothing could ever come.
        if (!windowingLayer.up) return 0;
        queueSleep();
        pump();
    }
    return 1;
}
