#include "shadow/frame.h"

#include <cstdio>
#include <cstring>

#include "draw/draw.h"
#include "platform/platform.h"
#include "shadow/accum.h"
#include "shadow/counted.h"
#include "shadow/overlay.h"

namespace {

FrameWay wayInUse = frameWayAccumBuffer;
// Whether the user has been told that the count view cannot be shown.
bool toldNoCounts = false;

// Where the window has no accumulation buffer, summing in it leaves the
// last pass alone on screen: the shadow is hard, and the user is told.
const char* bufferShortfall() {
    return accumBufferPresent() ? ""
                                : " (this window has no accumulation buffer: the shadow is hard)";
}

void warnFallback(const char* why) {
    char line[400];
    std::snprintf(line, sizeof line,
                  "the soft shadow is summed in the accumulation buffer, not on the GPU: %s%s", why,
                  bufferShortfall());
    platformWarn(line);
}

}  // namespace

FrameWay frameWayRequested(const char* option) {
    char value[16];
    const uint32_t length =
        option != nullptr ? static_cast<uint32_t>(std::snprintf(value, sizeof value, "%s", option))
                          : platformGetEnvironmentVariable("TENEBREL_ACCUM", value, sizeof value);
    if (length == 0) return frameWayCounted;
    if (length < sizeof value && std::strcmp(value, "buffer") == 0) return frameWayAccumBuffer;
    if (length < sizeof value &&
        (std::strcmp(value, "gpu") == 0 || std::strcmp(value, "counted") == 0))
        return frameWayCounted;
    platformWarn("TENEBREL_ACCUM takes \"buffer\" or \"counted\"; summing on the GPU");
    return frameWayCounted;
}

FrameWay frameWaySetUp(FrameWay requested) {
    frameWayRelease();
    char why[240];
    if (requested == frameWayCounted) {
        if (countedSetUp(why, sizeof why)) return wayInUse = frameWayCounted;
        warnFallback(why);
    } else if (!accumBufferPresent()) {
        platformWarn(
            "the accumulation buffer is asked for, but this window has none: the shadow is "
            "hard");
    }
    return wayInUse = frameWayAccumBuffer;
}

void frameWayRelease() {
    if (wayInUse == frameWayCounted) countedRelease();
    wayInUse = frameWayAccumBuffer;
}

FrameWay frameWayInUse() {
    return wayInUse;
}

void frameDraw(const FrameInput& input, Occluder& occluder) {
    // Counting follows the viewport's size; where it cannot, this context
    // goes on with the accumulation buffer, so the frame is never left blank.
    char why[240];
    if (wayInUse == frameWayCounted && !countedFollowViewport(why, sizeof why)) {
        frameWayRelease();
        warnFallback(why);
    }
    const bool counted = wayInUse == frameWayCounted;
    if (counted) {
        countedFrameDraw(input, occluder);
    } else {
        accumFrameDraw(input, occluder);
    }
    const int passes = counted ? countedPasses(input.passes) : input.passes;
    if (input.showVolumes) overlayVolumesDraw(occluder, input.light);
    if (input.showCounts && counted) overlayLegendDraw(passes);
    if (input.showCounts && !counted && !toldNoCounts) {
        platformWarn(
            "the count of passes in shadow is shown only where the passes are counted, not "
            "summed in the accumulation buffer");
        toldNoCounts = true;
    }
    if (input.showHelp) overlayHelpDraw(passes, input.lightSize);
    overlayFrameRatePrint(input.fps);
    drawFlush();
}
