// The command line as one table: each good option's settings, and each bad
// input's one line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "draw/draw.h"

namespace {

struct Case {
    std::vector<const char*> arguments;
    OptionsAction action;
    // What the options set, when good: renderer, sum, fullScreen, benchmark.
    const char* renderer;
    const char* sum;
    int32_t fullScreen, benchmarkSeconds;
    // When bad: the line, without its pointer to --help.
    std::string error;
};

Case good(std::vector<const char*> arguments, const char* renderer, const char* sum,
          int32_t fullScreen, int32_t benchmarkSeconds, OptionsAction action = optionsRun) {
    return Case{arguments, action, renderer, sum, fullScreen, benchmarkSeconds, ""};
}

Case bad(std::vector<const char*> arguments, const std::string& error) {
    return Case{arguments, optionsBad, nullptr, nullptr, -1, 0, error};
}

const std::string longArgument(100, 'a');

const Case cases[] = {
    good({}, nullptr, nullptr, -1, 0),
    good({"--windowed"}, nullptr, nullptr, 0, 0),
    good({"--fullscreen", "--fullscreen"}, nullptr, nullptr, 1, 0),
    good({"--renderer=gl1"}, "gl1", nullptr, -1, 0),
    good({"--renderer", "gl1", "--windowed"}, "gl1", nullptr, 0, 0),
    good({"--sum=buffer"}, nullptr, "buffer", -1, 0),
    // TENEBREL_ACCUM's word for counting is the same value.
    good({"--sum", "gpu", "--sum=counted"}, nullptr, "counted", -1, 0),
    // The benchmark runs in a window, whatever the question would have said.
    good({"--benchmark"}, nullptr, nullptr, 0, 10),
    good({"--benchmark=2", "--windowed"}, nullptr, nullptr, 0, 2),
    good({"--benchmark", "86400"}, nullptr, nullptr, 0, 86400),
    good({"--benchmark", "--windowed", "--benchmark=10"}, nullptr, nullptr, 0, 10),
    good(
        {
            "--",
        },
        nullptr, nullptr, -1, 0),
    good({"-h"}, nullptr, nullptr, -1, 0, optionsHelp),
    good({"--version", "--help"}, nullptr, nullptr, -1, 0, optionsHelp),
    good({"--version", "--windowed"}, nullptr, nullptr, 0, 0, optionsVersion),
    bad({"--bogus"}, "unknown option '--bogus'"),
    bad({"--bogus", "--help"}, "unknown option '--bogus'"),
    bad({"-x"}, "unknown option '-x'"),
    bad({"-hh"}, "unknown option '-hh'"),
    bad({"--Windowed"}, "unknown option '--Windowed'"),
    bad({"--win"}, "unknown option '--win'"),
    bad({"stray"}, "unexpected argument 'stray': tenebrel takes options only"),
    bad({"-"}, "unexpected argument '-': tenebrel takes options only"),
    bad({"--", "--windowed"}, "unexpected argument '--windowed': tenebrel takes options only"),
    bad({"--windowed=yes"}, "--windowed takes no value"),
    bad({"--help=me"}, "--help takes no value"),
    bad({"--renderer"}, "--renderer needs a value"),
    bad({"--sum"}, "--sum needs a value"),
    bad({"--renderer=vulkan"}, "'vulkan' is no renderer: --renderer takes gl1 or es3"),
    bad({"--renderer="}, "'' is no renderer: --renderer takes gl1 or es3"),
    bad({"--renderer", "GL1"}, "'GL1' is no renderer: --renderer takes gl1 or es3"),
    bad({"--sum=gpu "}, "'gpu ' is no way of adding up: --sum takes counted or buffer"),
    bad({"--benchmark=-3"}, "'-3' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark=abc"}, "'abc' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark="}, "'' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark", "0"}, "'0' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark=86401"}, "'86401' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark=99999999999"},
        "'99999999999' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark=2.5"}, "'2.5' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark", "+2"}, "'+2' is no number of seconds from 1 to 86400 for --benchmark"),
    bad({"--benchmark=2", "--benchmark"}, "--benchmark is given twice, with two values"),
    bad({"--sum=counted", "--sum=buffer"}, "--sum is given twice, with two values"),
    bad({"--windowed", "--fullscreen"}, "--windowed and --fullscreen are given together"),
    bad({"--fullscreen", "--benchmark"}, "--benchmark runs in a window, not --fullscreen"),
    // What would steer a terminal is not echoed to it; a long argument is cut.
    bad({"--\x1b[2J\n"}, "unknown option '--?[2J?'"),
    bad({longArgument.c_str()},
        "unexpected argument '" + longArgument.substr(0, 60) + "...': tenebrel takes options only"),
};

class CommandLine : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(CommandLine, Parse) {
    const Case& c = GetParam();
    std::vector<const char*> argv = {"tenebrel"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    const Options read = optionsParse(static_cast<int>(argv.size()), argv.data());
    ASSERT_EQ(read.action, c.action) << read.error;
    if (c.action == optionsBad) {
        EXPECT_EQ(read.error, c.error + "; see 'tenebrel --help'");
        return;
    }
    const Settings& s = read.settings;
    EXPECT_STREQ(s.renderer, c.renderer);
    EXPECT_STREQ(s.sum, c.sum);
    EXPECT_EQ(s.fullScreen, c.fullScreen);
    EXPECT_EQ(s.benchmarkSeconds, c.benchmarkSeconds);
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLine, ::testing::ValuesIn(cases));

TEST(CommandLine, PassesAndLightSizeAreAmongTheirKeysSteps) {
    // arguments; the passes and size set (-1 when not), or the error
    const struct {
        std::vector<const char*> arguments;
        int32_t passes;
        float size;
        std::string error;
    } rows[] = {
        {{}, -1, -1, ""},
        {{"--passes=64", "--light-size", "0"}, 64, 0, ""},
        {{"--passes", "1", "--passes=01", "--light-size=0.250"}, 1, 0.25f, ""},
        {{"--light-size=4.", "--light-size=4"}, -1, 4, ""},
        {{"--passes=7"}, 0, 0, "'7' is no number of passes --passes takes"},
        {{"--passes=1e1"}, 0, 0, "'1e1' is no number of passes --passes takes"},
        {{"--passes=-10"}, 0, 0, "'-10' is no number of passes --passes takes"},
        {{"--light-size=5"}, 0, 0, "'5' is no size --light-size takes"},
        {{"--light-size=.."}, 0, 0, "'..' is no size --light-size takes"},
        {{"--light-size"}, 0, 0, "--light-size needs a value"},
        {{"--passes=10", "--passes=16"}, 0, 0, "--passes is given twice, with two values"},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv = {"tenebrel"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        const Options read = optionsParse(static_cast<int>(argv.size()), argv.data());
        if (!row.error.empty()) {
            EXPECT_EQ(read.error, row.error + "; see 'tenebrel --help'");
            continue;
        }
        EXPECT_EQ(read.action, optionsRun) << read.error;
        EXPECT_TRUE(read.settings.passes == row.passes && read.settings.lightSize == row.size)
            << row.arguments.size();
    }
}

TEST(CommandLine, Es3WhereTheBuildHasIt) {
    const char* argv[] = {"tenebrel", "--renderer=es3"};
    const Options read = optionsParse(2, argv);
    if (drawRendererBuilt(drawRendererEs3)) {
        EXPECT_EQ(read.action, optionsRun);
        EXPECT_STREQ(read.settings.renderer, "es3");
    } else {
        EXPECT_STREQ(read.error, "this build has no es3 renderer; see 'tenebrel --help'");
    }
}
