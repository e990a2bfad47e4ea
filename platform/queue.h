// The queue of window messages that a side keeps itself where the system
// has none for it to use (SDL's events and the browser's are translated
// into it): posted in order, taken oldest first, and dispatched to the
// procedure of the side's one window. Nothing outside platform/ includes it.
#pragma once

#include <deque>

#include "platform/platform.h"

// As PeekMessage: the oldest message for `window` (for any when null) into
// `message`, removed with PM_REMOVE. Returns 1 when there was one.
int queueTake(std::deque<PlatformMessage>& queue, PlatformMessage* message,
              PlatformWindow* window, uint32_t removeFlags);
// Drops everything queued for the window: it goes with its window.
void queueDrop(std::deque<PlatformMessage>& queue, PlatformWindow* window);
// As DispatchMessage: hands the message to `procedure` when it is for
// `window`, the side's window; returns the procedure's result, else 0.
intptr_t queueDispatch(const PlatformMessage* message, PlatformWindow* window,
                       PlatformWindowProc procedure);
