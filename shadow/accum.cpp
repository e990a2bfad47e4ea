#include "shadow/accum.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "shadow/accum_gpu.h"
#include "shadow/frame.h"

namespace {

AccumWay wayInUse = accumWayBuffer;

void warnFallback(const char* why) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "the soft shadow is summed in the accumulation buffer, not on the GPU: %s", why);
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
        if (accumGpuCreate(why, sizeof why)) return wayInUse = accumWayGpu;
        warnFallback(why);
    }
    return wayInUse = accumWayBuffer;
}

void accumShutdown() {
    if (wayInUse == accumWayGpu) accumGpuDestroy();
    wayInUse = accumWayBuffer;
}

AccumWay accumWayInUse() {
    return wayInUse;
}

void accumFrameBegin() {
    char why[160];
    if (wayInUse == accumWayGpu && !accumGpuFollowViewport(why, sizeof why)) {
        // A size the GPU sum cannot take: this context goes on with the
        // accumulation buffer, so the frame is never left blank.
        accumShutdown();
        warnFallback(why);
    }
    glClear(accumClearBit());
}

unsigned int accumClearBit() {
    // Clearing the accumulation buffer is work for the processor in Mesa;
    // the GPU sum starts every pass afresh and needs no clear.
    return wayInUse == accumWayBuffer ? GL_ACCUM_BUFFER_BIT : 0;
}

void accumPassBegin(int pass) {
    if (wayInUse == accumWayGpu) accumGpuPassBegin(pass);
}

void accumPassAdd(int pass) {
    if (wayInUse == accumWayGpu) {
        accumGpuPassAdd(pass);
    } else {
        glAccum(GL_ACCUM, framePassWeight);
    }
}

void accumReturn() {
    if (wayInUse == accumWayGpu) {
        accumGpuReturn();
    } else {
        glAccum(GL_RETURN, 1.0f);
    }
}
