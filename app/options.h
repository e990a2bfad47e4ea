// The command line: the options, their help and the version, read into one
// record of settings that the rest of the program is handed.
#pragma once

#include <cstdint>

// What the user asked for on the command line. Each setting left unset is
// null or negative: the environment (TENEBREL_GL, TENEBREL_ACCUM) or the
// start-up question decides it then, as before there were options.
struct Settings {
    // "gl1" or "es3", a renderer this build has; null when not given.
    const char* renderer;
    // "counted" or "buffer": the ten passes counted, or added up in the
    // accumulation buffer; null when not given.
    const char* sum;
    // 1 fullscreen, 0 windowed, -1 ask the start-up question.
    int32_t fullScreen;
    // The benchmark's length in seconds of frames shown; 0 when no
    // benchmark runs.
    int32_t benchmarkSeconds;
    // The passes the frame sums and the light's size, where given: one of
    // the steps their keys go through; -1 when not given.
    int32_t passes;
    float lightSize;
};

enum OptionsAction : int {
    optionsRun = 0,  // run the program with the settings
    optionsHelp,     // print optionsHelpText() and end with 0
    optionsVersion,  // print optionsVersionText() and end with 0
    optionsBad,      // print `error` on stderr and end with 2
};

struct Options {
    OptionsAction action;
    Settings settings;
    // When bad: one line naming what is wrong, pointing to --help.
    char error[240];
};

// The benchmark's length when --benchmark gives none, and the longest.
constexpr int32_t optionsBenchmarkDefault = 10;
constexpr int32_t optionsBenchmarkMost = 86400;

// Reads argv[1] to argv[argc - 1]. Never touches the display, the files or
// the environment.
Options optionsParse(int argc, const char* const* argv);
// The text of --help and of --version, each ending with a newline.
const char* optionsHelpText();
const char* optionsVersionText();
