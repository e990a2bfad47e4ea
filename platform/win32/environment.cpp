// The environment and the warning line.
#include <cstdio>

#include "platform/win32/internal.h"

uint32_t platformGetEnvironmentVariable(const char* name, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (name == nullptr) return 0;
    const DWORD length = GetEnvironmentVariableA(name, buffer, size);
    // Too long for the buffer, the system answers with the size it needs,
    // zero byte included; the caller is to see no part of the value.
    if (length == 0 || length >= size) buffer[0] = '\0';
    return length;
}

void platformWarn(const char* line) {
    const char* text = line != nullptr ? line : "";
    std::fprintf(stderr, "tenebrel: %s\n", text);
    std::fflush(stderr);
    // A program without a console is heard by a debugger.
    char debugLine[512];
    std::snprintf(debugLine, sizeof debugLine, "tenebrel: %s\n", text);
    OutputDebugStringA(debugLine);
}
