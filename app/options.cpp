#include "app/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "draw/draw.h"
#include "scene/settings.h"

#ifndef TENEBREL_VERSION
#define TENEBREL_VERSION "unknown"
#endif

namespace {

enum OptionId : int {
    optionHelp,
    optionVersion,
    optionWindowed,
    optionFullscreen,
    optionRenderer,
    optionSum,
    optionPasses,
    optionLightSize,
    optionBenchmark,
};

enum OptionValue : int {
    valueNone,      // --name
    valueRequired,  // --name=VALUE or --name VALUE
    valueOptional,  // --name, --name=VALUE, or --name VALUE when VALUE is no option
};

struct OptionEntry {
    OptionId id;
    const char* name;  // the long name, without its dashes
    char shortName;    // 0 when it has none
    OptionValue value;
    const char* shown;  // how --help shows it
    const char* help;   // and what --help says of it, on the same line
};

// The one list of options: the parser reads it, and --help is made from it.
const OptionEntry optionList[] = {
    {optionHelp, "help", 'h', valueNone, "-h, --help", "show this help, then end"},
    {optionVersion, "version", 0, valueNone, "    --version", "show the version, then end"},
    {optionWindowed, "windowed", 0, valueNone, "    --windowed",
     "run in a window, without the start-up question"},
    {optionFullscreen, "fullscreen", 0, valueNone, "    --fullscreen",
     "run fullscreen at 800 x 600, without the question"},
    {optionRenderer, "renderer", 0, valueRequired, "    --renderer=NAME",
     "draw with gl1 (OpenGL 1.1) or es3 (OpenGL ES 3.0)"},
    {optionSum, "sum", 0, valueRequired, "    --sum=WAY",
     "add up the ten passes: counted, or in the buffer"},
    {optionPasses, "passes", 0, valueRequired, "    --passes=N",
     "sum N passes: 1, 2, 4, 10 (at start), 16, 32, 64"},
    {optionLightSize, "light-size", 0, valueRequired, "    --light-size=X",
     "a light X times as large: 0, 0.25, 0.5, 1, 2, 3, 4"},
    {optionBenchmark, "benchmark", 0, valueOptional, "    --benchmark[=SECONDS]",
     "fly a fixed path, print the frame rate, end"},
};

const char* const helpTail =
    "\n"
    "NAME is gl1 or es3, and WAY counted (or gpu) or buffer, the accumulation\n"
    "buffer; each wins over its environment variable, TENEBREL_GL or\n"
    "TENEBREL_ACCUM. The benchmark runs in a window for SECONDS seconds of frames\n"
    "shown (10 when not given, or the next argument), prints the frame rate each\n"
    "second and a summary, and ends.\n"
    "\n"
    "Keys: the mouse turns the view; W, A, S, D or the arrows fly; J and L, K and\n"
    "I, O and U move the light along x, y and z; Space (held) shows its rays;\n"
    "V shows the shadow volumes, C how many passes leave each pixel in shadow;\n"
    "N and M step the passes, Z and X the light's size; F1 or H lists the keys;\n"
    "Escape ends the program.\n"
    "\n"
    "The textures brickblue.bmp and Ziegel1.bmp are read from the current folder;\n"
    "an installed launcher starts the program in the folder that holds them.\n";

// The values kept in the settings: one pointer for each, so that the same
// value given twice compares equal.
const char* const gl1Name = "gl1";
const char* const es3Name = "es3";
const char* const countedName = "counted";
const char* const bufferName = "buffer";

// What has been read so far, and the first thing found wrong.
struct Parse {
    Options options;
    bool given[optionBenchmark + 1];
    bool help, version;
};

bool bad(Parse& parse, const char* what) {
    if (parse.options.action != optionsBad) {
        std::snprintf(parse.options.error, sizeof parse.options.error, "%s; see 'tenebrel --help'",
                      what);
        parse.options.action = optionsBad;
    }
    return false;
}

// An argument as it may be shown in a message: quoted, cut short when long,
// with control characters (which a terminal would act on) as '?'.
std::string quoted(const char* text) {
    std::string shown = "'";
    for (const char* c = text; *c != '\0' && c - text < 60; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        shown += byte < 0x20 || byte == 0x7F ? '?' : *c;
    }
    return shown + (std::strlen(text) > 60 ? "...'" : "'");
}

// An argument that is no option, where only options are taken.
bool stray(Parse& parse, const char* argument) {
    const std::string what =
        "unexpected argument " + quoted(argument) + ": tenebrel takes options only";
    return bad(parse, what.c_str());
}

// The same option again must say the same.
template <typename T>
bool setOnce(Parse& parse, const OptionEntry& entry, T* setting, T value) {
    if (parse.given[entry.id] && *setting != value) {
        const std::string what =
            std::string("--") + entry.name + " is given twice, with two values";
        return bad(parse, what.c_str());
    }
    parse.given[entry.id] = true;
    *setting = value;
    return true;
}

// A whole number of seconds within the benchmark's bounds, or -1.
int32_t secondsOf(const char* text) {
    if (*text == '\0' || std::strlen(text) > 6) return -1;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < '0' || *c > '9') return -1;
    const long seconds = std::strtol(text, nullptr, 10);
    return seconds >= 1 && seconds <= optionsBenchmarkMost ? static_cast<int32_t>(seconds) : -1;
}

// A plain decimal number (digits with at most one point, nothing else), or
// -1.
double numberOf(const char* text) {
    int digits = 0, points = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '.')
            ++points;
        else if (*c >= '0' && *c <= '9')
            ++digits;
        else
            return -1;
    }
    return digits > 0 && digits <= 6 && points <= 1 ? std::strtod(text, nullptr) : -1;
}

bool optionApply(Parse& parse, const OptionEntry& entry, const char* value) {
    Settings& settings = parse.options.settings;
    std::string what;
    switch (entry.id) {
    case optionHelp: return parse.help = true;
    case optionVersion: return parse.version = true;
    case optionWindowed: return setOnce<int32_t>(parse, entry, &settings.fullScreen, 0);
    case optionFullscreen: return setOnce<int32_t>(parse, entry, &settings.fullScreen, 1);
    case optionRenderer: {
        const bool gl1 = std::strcmp(value, "gl1") == 0, es3 = std::strcmp(value, "es3") == 0;
        if (!gl1 && !es3) {
            what = quoted(value) + " is no renderer: --renderer takes gl1 or es3";
        } else if (!drawRendererBuilt(gl1 ? drawRendererGl1 : drawRendererEs3)) {
            what = std::string("this build has no ") + value + " renderer";
        } else {
            return setOnce<const char*>(parse, entry, &settings.renderer, gl1 ? gl1Name : es3Name);
        }
        return bad(parse, what.c_str());
    }
    case optionSum: {
        // "gpu" is what TENEBREL_ACCUM has always called counting.
        const bool counted = std::strcmp(value, "counted") == 0 || std::strcmp(value, "gpu") == 0;
        if (!counted && std::strcmp(value, "buffer") != 0) {
            what = quoted(value) + " is no way of adding up: --sum takes counted or buffer";
            return bad(parse, what.c_str());
        }
        return setOnce<const char*>(parse, entry, &settings.sum,
                                    counted ? countedName : bufferName);
    }
    case optionPasses:
    case optionLightSize: {
        // A plain number (digits, at most one point), one of the steps the
        // keys go through.
        const bool passes = entry.id == optionPasses;
        const double number = numberOf(value);
        for (int step = 0; step < settingsStepCount; ++step) {
            if (passes && number == settingsPassSteps[step])
                return setOnce<int32_t>(parse, entry, &settings.passes, settingsPassSteps[step]);
            if (!passes && number == static_cast<double>(settingsSizeSteps[step]))
                return setOnce<float>(parse, entry, &settings.lightSize, settingsSizeSteps[step]);
        }
        what = quoted(value) + (passes ? " is no number of passes --passes takes"
                                       : " is no size --light-size takes");
        return bad(parse, what.c_str());
    }
    case optionBenchmark: {
        const int32_t seconds = value != nullptr ? secondsOf(value) : optionsBenchmarkDefault;
        if (seconds < 0) {
            what = quoted(value) + " is no number of seconds from 1 to " +
                   std::to_string(optionsBenchmarkMost) + " for --benchmark";
            return bad(parse, what.c_str());
        }
        return setOnce<int32_t>(parse, entry, &settings.benchmarkSeconds, seconds);
    }
    }
    return false;
}

const OptionEntry* entryNamed(const char* name, size_t length) {
    for (const OptionEntry& entry : optionList) {
        if (std::strlen(entry.name) == length && std::strncmp(entry.name, name, length) == 0)
            return &entry;
    }
    return nullptr;
}

const OptionEntry* entryShort(char shortName) {
    for (const OptionEntry& entry : optionList)
        if (entry.shortName != 0 && entry.shortName == shortName) return &entry;
    return nullptr;
}

// One argument, and the next where it is the option's value; returns how
// many it took.
int optionRead(Parse& parse, const char* argument, const char* next) {
    const OptionEntry* entry = nullptr;
    const char* value = nullptr;
    if (std::strncmp(argument, "--", 2) == 0) {
        const char* equals = std::strchr(argument, '=');
        const char* name = argument + 2;
        entry = entryNamed(
            name, equals != nullptr ? static_cast<size_t>(equals - name) : std::strlen(name));
        if (equals != nullptr) value = equals + 1;
    } else if (argument[0] == '-' && argument[1] != '\0') {
        entry = argument[2] == '\0' ? entryShort(argument[1]) : nullptr;
    } else {
        return stray(parse, argument), 1;
    }
    if (entry == nullptr) {
        const std::string what = "unknown option " + quoted(argument);
        return bad(parse, what.c_str()), 1;
    }
    const std::string dashed = std::string("--") + entry->name;
    if (entry->value == valueNone && value != nullptr) {
        return bad(parse, (dashed + " takes no value").c_str()), 1;
    }
    int taken = 1;
    if (value == nullptr && next != nullptr &&
        (entry->value == valueRequired || (entry->value == valueOptional && next[0] != '-'))) {
        value = next;
        taken = 2;
    }
    if (entry->value == valueRequired && value == nullptr) {
        return bad(parse, (dashed + " needs a value").c_str()), 1;
    }
    optionApply(parse, *entry, value);
    return taken;
}

}  // namespace

Options optionsParse(int argc, const char* const* argv) {
    Parse parse{};
    Settings& settings = parse.options.settings;
    settings = Settings{nullptr, nullptr, -1, 0, -1, -1.0f};
    parse.options.action = optionsRun;
    bool optionsEnded = false;
    for (int i = 1; i < argc && parse.options.action != optionsBad; ++i) {
        const char* argument = argv[i] != nullptr ? argv[i] : "";
        if (!optionsEnded && std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (optionsEnded) {
            stray(parse, argument);
        } else {
            i += optionRead(parse, argument, i + 1 < argc ? argv[i + 1] : nullptr) - 1;
        }
    }
    if (parse.given[optionWindowed] && parse.given[optionFullscreen]) {
        bad(parse, "--windowed and --fullscreen are given together");
    }
    if (settings.benchmarkSeconds > 0) {
        // The benchmark's figures are a window's, 800 x 600, on every side.
        if (settings.fullScreen == 1) bad(parse, "--benchmark runs in a window, not --fullscreen");
        settings.fullScreen = 0;
    }
    if (parse.options.action == optionsRun && parse.help) parse.options.action = optionsHelp;
    if (parse.options.action == optionsRun && parse.version) parse.options.action = optionsVersion;
    return parse.options;
}

const char* optionsHelpText() {
    static std::string text;
    if (text.empty()) {
        text =
            "Usage: tenebrel [OPTION]...\n"
            "A brick room with a box whose soft shadow falls from a light you move.\n"
            "Without options it asks whether to run fullscreen, then opens its window.\n\n";
        for (const OptionEntry& entry : optionList) {
            std::string line = std::string("  ") + entry.shown;
            // The descriptions in one column, clear of the longest option.
            line.resize(line.size() + 2 > 29 ? line.size() + 2 : 29, ' ');
            text += line + entry.help + "\n";
        }
        text += helpTail;
    }
    return text.c_str();
}

const char* optionsVersionText() {
    return "tenebrel " TENEBREL_VERSION ", free software under the MIT licence\n";
}
