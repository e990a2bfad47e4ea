// The queue of window messages that a side keeps itself where the system
// has none for it to use (SDL's events and the browser's are translated
// into it): posted in order, taken oldest first, and dispatched to the
// procedure of the side's one window (platform/windowing.h). It gives the
// seam's platformPeekMessage, platformDispatchMessage, platformPostMessage
// and platformWaitMessage. Nothing outside platform/ includes it.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// A client size as WM_SIZE carries it in lParam.
intptr_t queuePackSize(int width, int height);

void queuePost(PlatformWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// A key pressed or let go, by its virtual-key code. Keys pressed with Alt
// held, and F10, are the system's keys: WM_SYSKEYDOWN and WM_SYSKEYUP.
void queuePostKey(PlatformWindow* window, int virtualKey, bool down, bool alt);

// A system's event that stands for one message alone, in a side's table.
struct QueueEventMessage {
    int event;
    uint32_t message;
    uintptr_t wParam;
};
// Posts the message the table gives for the event; false when it gives none.
bool queuePostFor(PlatformWindow* window, const QueueEventMessage* table, size_t count, int event);

// Drops everything queued for the window: it goes with its window.
void queueDrop(PlatformWindow* window);
// Drops everything: the window system is going.
void queueClear();

// Each side defines these two. queuePump turns what its system reported
// since the last call into messages, called only while the window system is
// up; queueSleep gives the processor away
// until the system has something to report (or a little while has passed).
void queuePump();
void queueSleep();
