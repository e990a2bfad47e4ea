#include "shadow/accum.h"

#include <cstdio>
#include <cstring>

#include "draw/draw.h"
#include "platform/platform.h"
#include "shadow/frame.h"

namespace {

AccumWay wayInUse = accumWayBuffer;

// Where the window has no accumulation buffer, summing in it leaves the
// last pass alone on screen: the shadow is hard, and the user is told.
const char* bufferShortfall() {
    return drawAccumBits() > 0 ? "" : " (this window has no accumulation buffer: the shadow is hard)";
}

void warnFallback(const char* why) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "the soft shadow is summed in the accumulation buffer, not on the GPU: %s%s", why,
                  bufferShortfall());
    platformWarn(line);
}

}  // namespace

AccumWay accumWayRequested() {
    char value[16];
    const uint32_t length = platformGetEnvironmentVariable("TENEBREL_ACCUM", value, sizeof value);
    if (length == 0) return accumWayGpu;
    if (length < sizeof value && std::strcmp(value, "buffer") == 0) return accumWayBuffer;
    if (length < sizeof value && std::strcmp(value, "gpu") == 0) return accumWayGpu;
    platformWarn("TENEBREL_ACCUM takes \"buffer\" or \"gpu\"; summing on the GPU");
    return accumWayGpu;
}

AccumWay accumInit(AccumWay requested) {
    accumShutdown();
    char why[160];
    if (requested == accumWayGpu) {
        if (drawSumCreate(why, sizeof why)) return wayInUse = accumWayGpu;
        warnFallback(why);
    } else if (*bufferShortfall() != '\0') {
        platformWarn("TENEBREL_ACCUM=buffer, but this window has no accumulation buffer: the "
                     "shadow is hard");
    }
    return wayInUse = accumWayBuffer;
}

void accumShutdown() {
    if (wayInUse == accumWayGpu) drawSumDestroy();
    wayInUse = accumWayBuffer;
}

AccumWay accumWayInUse() {
    return wayInUse;
}

void accumFrameBegin() {
    char why[160];
    if (wayInUse == accumWayGpu && !drawSumFollowViewport(why, sizeof why)) {
        // A size the GPU sum cannot take: this context goes on with the
        // accumulation buffer, so the frame is never left blank.
        accumShutdown();
        warnFallback(why);
    }
    drawClear(accumClearBit());
}

unsigned int accumClearBit() {
    // Clearing the accumulation buffer is work for the processor in Mesa;
    // the GPU sum starts every pass afresh and needs no clear.
    return wayInUse == accumWayBuffer ? static_cast<unsigned int>(drawAccumBuffer) : 0u;
}

void accumPassBegin(int pass) {
    if (wayInUse == accumWayGpu) drawSumPassBegin(pass);
}

void accumPassAdd(int pass) {
    if (wayInUse == accumWayGpu) {
        drawSumPassAdd(pass);
    } else {
        drawAccumAdd(framePassWeight);
    }
}

void accumReturn() {
    if (wayInUse == accumWayGpu) {
        drawSumReturn();
    } else {
        drawAccumReturn(1.0f);
    }
}
