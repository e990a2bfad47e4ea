// The environment, the console, and the lines for whoever started the
// program, over the C library.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

uint32_t platformGetEnvironmentVariable(const char* name, char* buffer, uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (name == nullptr) return 0;
    const char* value = std::getenv(name);
    if (value == nullptr) return 0;
    const size_t length = std::strlen(value);
    if (length >= size) return static_cast<uint32_t>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<uint32_t>(length);
}

void platformWarn(const char* line) {
    std::fprintf(stderr, "tenebrel: %s\n", line != nullptr ? line : "");
    std::fflush(stderr);
}

void platformConsoleAttach() {
    // A POSIX program has its standard output and error from its start.
}

int platformPrint(const char* text) {
    const bool written = std::fputs(text != nullptr ? text : "", stdout) >= 0;
    return std::fflush(stdout) == 0 && written ? 1 : 0;
}
