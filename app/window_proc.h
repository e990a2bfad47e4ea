// The window procedure: key table, visibility, resizing, closing and the
// display-mode toggle.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The message that asks for the window to be made again in the other mode.
enum : uint32_t { WM_TOGGLE_FULLSCREEN = WM_USER + 1 };

intptr_t windowMessageHandler(PlatformWindow* window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam);
