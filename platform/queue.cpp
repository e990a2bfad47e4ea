#include "platform/queue.h"

#include <algorithm>

int queueTake(std::deque<PlatformMessage>& queue, PlatformMessage* message,
              PlatformWindow* window, uint32_t removeFlags) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (window != nullptr && it->window != window) continue;
        *message = *it;
        if (removeFlags & PM_REMOVE) queue.erase(it);
        return 1;
    }
    return 0;
}

void queueDrop(std::deque<PlatformMessage>& queue, PlatformWindow* window) {
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [window](const PlatformMessage& message) {
                                   return message.window == window;
                               }),
                queue.end());
}

intptr_t queueDispatch(const PlatformMessage* message, PlatformWindow* window,
                       PlatformWindowProc procedure) {
    if (message == nullptr || message->window == nullptr || message->window != window ||
        procedure == nullptr) {
        return 0;
    }
    return procedure(message->window, message->message, message->wParam, message->lParam);
}
