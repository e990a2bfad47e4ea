// The environment, the console, and the lines for whoever started the
// program.
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

namespace {

// Output to a file or a pipe goes where the user sent it.
bool toFileOrPipe(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

// With a console attached: a character device that is still no console is
// one the user chose (NUL).
bool toOtherDevice(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) == FILE_TYPE_CHAR && !GetConsoleMode(handle, &mode);
}

void reopenOnConsole(DWORD which, FILE* stream) {
    if (!toFileOrPipe(which) && !toOtherDevice(which)) std::freopen("CONOUT$", "w", stream);
}

}  // namespace

void platformConsoleAttach() {
    // The program is a windowed one, so that Explorer opens no console with
    // it; such a program starts without one, even from a console. It takes
    // the console of the program that started it (cmd, PowerShell) where
    // there is one, and writes there what is not redirected elsewhere.
    // Started from Explorer there is none, and none is made.
    if (toFileOrPipe(STD_OUTPUT_HANDLE) && toFileOrPipe(STD_ERROR_HANDLE)) return;
    // Fails where the program has a console already (as Wine gives one to
    // a program started from a terminal), which then serves as it is.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    reopenOnConsole(STD_OUTPUT_HANDLE, stdout);
    reopenOnConsole(STD_ERROR_HANDLE, stderr);
}

int platformPrint(const char* text) {
    const bool written = std::fputs(text != nullptr ? text : "", stdout) >= 0;
    return std::fflush(stdout) == 0 && written ? 1 : 0;
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
