#include "platform/box.h"

#include <cstdio>

BoxText boxEcho(const char* text, const char* caption) {
    const BoxText words{text != nullptr ? text : "", caption != nullptr ? caption : ""};
    std::fprintf(stderr, "%s: %s\n", words.caption, words.text);
    std::fflush(stderr);
    return words;
}
