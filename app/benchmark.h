// The benchmark: the program's own frames, flown along a fixed path for a
// number of seconds of frames shown, with the frame rate printed each second
// and a summary at the end. The time a window is minimised or hidden, and
// the making of each window, are left out: the path waits meanwhile.
#pragma once

#include <cstdint>
#include <vector>

struct Benchmark {
    // The seconds to measure; 0 when no benchmark runs.
    int32_t seconds;
    // The frames' time so far, which is the time along the path, and their
    // number.
    uint32_t shownMs;
    int32_t frames;
    // The second being measured: its time so far and its frames.
    uint32_t secondMs;
    int32_t secondFrames;
    // The time left out while the window was minimised or hidden.
    uint32_t hiddenMs;
    // Frames a second, one for each whole second measured.
    std::vector<float> rates;
    bool summarised;
    // A line could not be written to the standard output.
    bool unwritten;
};

void benchmarkStart(Benchmark& run, int32_t seconds);
// A frame is to be drawn `elapsedMs` after the last one began. That time is
// counted, unless the window is new (its making is no frame's) or was
// minimised or hidden meanwhile (it is then added to the time left out).
// Prints a line at each whole second. Returns true once every second has
// been measured: no more frames are to be drawn.
bool benchmarkFrame(Benchmark& run, uint32_t elapsedMs, bool newWindow, bool hidden);
// How far along the path the frame to be drawn is, from 0 to 1.
float benchmarkPathFraction(const Benchmark& run);
// Prints the summary, once, with the current context's renderer and size;
// `wayOfSumming` is the scene's.
void benchmarkSummary(Benchmark& run, const char* wayOfSumming);
