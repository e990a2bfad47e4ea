#include "app/benchmark.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "draw/draw.h"
#include "platform/platform.h"

namespace {

void say(Benchmark& run, const char* format, ...) __attribute__((format(printf, 2, 3)));

// One line to standard output: the benchmark's figures are what the user
// asked the program for, not warnings.
void say(Benchmark& run, const char* format, ...) {
    char line[400];
    va_list values;
    va_start(values, format);
    std::vsnprintf(line, sizeof line - 1, format, values);
    va_end(values);
    std::strcat(line, "\n");
    if (!platformPrint(line)) run.unwritten = true;
}

float median(std::vector<float> rates) {
    std::sort(rates.begin(), rates.end());
    const size_t middle = rates.size() / 2;
    return rates.size() % 2 == 1 ? rates[middle] : (rates[middle - 1] + rates[middle]) / 2.0f;
}

}  // namespace

void benchmarkStart(Benchmark& run, int32_t seconds) {
    run = Benchmark{};
    run.seconds = seconds;
    run.rates.reserve(static_cast<size_t>(seconds > 0 ? seconds : 0));
    say(run, "benchmark: %d second%s along a fixed path through the room", seconds,
        seconds == 1 ? "" : "s");
}

bool benchmarkFrame(Benchmark& run, uint32_t elapsedMs, bool newWindow, bool hidden) {
    const bool done = static_cast<int32_t>(run.rates.size()) >= run.seconds;
    if (done || newWindow || hidden) {
        if (hidden && !done) run.hiddenMs += elapsedMs;
        return done;
    }
    run.shownMs += elapsedMs;
    run.secondMs += elapsedMs;
    ++run.frames;
    ++run.secondFrames;
    if (run.secondMs < 1000) return false;
    const float rate =
        1000.0f * static_cast<float>(run.secondFrames) / static_cast<float>(run.secondMs);
    run.rates.push_back(rate);
    say(run, "second %d: %.1f frames a second", static_cast<int>(run.rates.size()),
        static_cast<double>(rate));
    run.secondMs = 0;
    run.secondFrames = 0;
    return static_cast<int32_t>(run.rates.size()) >= run.seconds;
}

float benchmarkPathFraction(const Benchmark& run) {
    if (run.seconds <= 0) return 0.0f;
    const float fraction =
        static_cast<float>(run.shownMs) / (1000.0f * static_cast<float>(run.seconds));
    return std::min(fraction, 1.0f);
}

void benchmarkSummary(Benchmark& run, const char* wayOfSumming) {
    if (run.summarised) return;
    run.summarised = true;
    const int measured = static_cast<int>(run.rates.size());
    if (measured < run.seconds)
        say(run, "ended early: %d of %d seconds measured", measured, run.seconds);
    say(run, "summary: %d frames in %.1f s", run.frames, static_cast<double>(run.shownMs) / 1000.0);
    if (measured > 0) {
        say(run, "frames a second: minimum %.1f, median %.1f, maximum %.1f",
            static_cast<double>(*std::min_element(run.rates.begin(), run.rates.end())),
            static_cast<double>(median(run.rates)),
            static_cast<double>(*std::max_element(run.rates.begin(), run.rates.end())));
    }
    say(run, "renderer: %s", drawRendererInUse() == drawRendererEs3 ? "es3" : "gl1");
    say(run, "way of summing: %s", wayOfSumming);
    say(run, "GL vendor: %s", drawDriverString(drawDriverVendor));
    say(run, "GL renderer: %s", drawDriverString(drawDriverRenderer));
    int viewport[4] = {0, 0, 0, 0};
    drawGetViewport(viewport);
    say(run, "window: %d x %d", viewport[2], viewport[3]);
    if (run.hiddenMs > 0) {
        say(run, "left out: %.1f s while the window was minimised or hidden",
            static_cast<double>(run.hiddenMs) / 1000.0);
    }
}
