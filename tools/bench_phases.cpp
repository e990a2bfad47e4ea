#include "tools/bench_phases.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>

#include "draw/draw.h"
#include "scene/scene.h"
#include "shadow/counted.h"
#include "shadow/overlay.h"

namespace {

using Clock = std::chrono::steady_clock;

// The phases of the counted frame, in drawing order.
enum Phase {
    phaseBase,         // clears, camera, the room and the box once, kept
    phasePassClear,    // each pass: its light, its faces chosen
    phasePassShows,    // each pass: its marker (and rays) counted
    phasePassVolumes,  // each pass: its shadow volumes counted
    phasePassShadow,   // each pass: its shadow added to the count
    phaseCompose,      // the counts kept, the frame composed
    phaseOverlay,      // box and marker on top, frame-rate text
    phaseSwap,         // buffer swap
    phaseCount
};

const char* const phaseNames[phaseCount] = {
    "the room and the box, once",
    "passes: light, faces chosen",
    "passes: marker counted",
    "passes: shadow volumes counted",
    "passes: shadow counted, stencil cleared",
    "counts kept, frame composed",
    "box and marker on top, frame-rate text",
    "buffer swap",
};

struct PhaseClock {
    double total[phaseCount] = {};
    Clock::time_point started = Clock::now();
    // Waits for GL, then books the time since the previous mark to `phase`.
    void mark(Phase phase) {
        drawFlush();
        glFinish();
        const Clock::time_point now = Clock::now();
        total[phase] += std::chrono::duration<double, std::milli>(now - started).count();
        started = now;
    }
};

// The counted frame step by step, with the clock read after each phase.
void drawFrameInstrumented(const FrameInput& input, PhaseClock& clock) {
    clock.started = Clock::now();
    const CountedFrame frame = countedBaseDraw(input, sceneOccluder);
    clock.mark(phaseBase);
    for (int i = 0; i < frame.passes; ++i) {
        const CountedPass pass = countedPassBegin(frame, sceneOccluder, i);
        clock.mark(phasePassClear);
        countedPassShows(frame, pass, sceneOccluder);
        clock.mark(phasePassShows);
        countedPassVolumes(frame, pass, sceneOccluder);
        clock.mark(phasePassVolumes);
        countedPassShadow(frame, pass);
        clock.mark(phasePassShadow);
    }
    countedCountsKeep(frame);
    countedCompose(frame, sceneOccluder);
    clock.mark(phaseCompose);
    overlayFrameRatePrint(input.fps);
    drawFlush();
    clock.mark(phaseOverlay);
}

}  // namespace

void phasesMeasure(const FrameInput& input, int frames, double realFrameMs,
                   PlatformDeviceContext* swapTarget) {
    // The frame with a wait after every phase.
    PhaseClock clock;
    const Clock::time_point instrumentedStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        drawFrameInstrumented(input, clock);
        if (swapTarget) platformSwapBuffers(swapTarget);
        clock.mark(phaseSwap);
    }
    const double instrumentedMs =
        std::chrono::duration<double, std::milli>(Clock::now() - instrumentedStart).count();
    double booked = 0.0;
    for (double t : clock.total) booked += t;

    std::printf(
        "\nWhere the time goes (separate measurement: the same frame drawn with\n"
        "glFinish after every phase, since GL draws asynchronously; the waits make\n"
        "this frame slower, %.2f ms instead of %.2f, so read the shares):\n",
        instrumentedMs / frames, realFrameMs);
    for (int p = 0; p < phaseCount; ++p) {
        if (p == phaseSwap && !swapTarget) continue;
        std::printf("  %-40s %8.3f ms per frame %6.1f %%\n", phaseNames[p], clock.total[p] / frames,
                    100.0 * clock.total[p] / booked);
    }
}
