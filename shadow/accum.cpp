#include "shadow/accum.h"

#include <cstdio>
#include <cstring>

#include "draw/draw.h"
#include "geometry/occluder.h"
#include "platform/platform.h"
#include "shadow/counted.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

AccumWay wayInUse = accumWayBuffer;

// Where the window has no accumulation buffer, summing in it leaves the
// last pass alone on screen: the shadow is hard, and the user is told.
const char* bufferShortfall() {
    return drawAccumBits() > 0 ? ""
                               : " (this window has no accumulation buffer: the shadow is hard)";
}

void warnFallback(const char* why) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "the soft shadow is summed in the accumulation buffer, not on the GPU: %s%s", why,
                  bufferShortfall());
    platformWarn(line);
}

}  // namespace

AccumWay accumWayRequested(const char* option) {
    char value[16];
    const uint32_t length =
        option != nullptr ? static_cast<uint32_t>(std::snprintf(value, sizeof value, "%s", option))
                          : platformGetEnvironmentVariable("TENEBREL_ACCUM", value, sizeof value);
    if (length == 0) return accumWayCounted;
    if (length < sizeof value && std::strcmp(value, "buffer") == 0) return accumWayBuffer;
    if (length < sizeof value &&
        (std::strcmp(value, "gpu") == 0 || std::strcmp(value, "counted") == 0))
        return accumWayCounted;
    platformWarn("TENEBREL_ACCUM takes \"buffer\" or \"counted\"; summing on the GPU");
    return accumWayCounted;
}

AccumWay accumInit(AccumWay requested) {
    accumShutdown();
    char why[160];
    if (requested == accumWayCounted) {
        // What a pass counted in shadow, under its marker and under its
        // rays shows.
        DrawComposition composition{shadowTint, {}, {}};
        for (int i = 0; i < 3; ++i) {
            composition.green[i] = occluderMarkerColour[i];
            composition.blue[i] = shadowRayColour[i];
        }
        if (drawComposeCreate(&composition, why, sizeof why)) {
            drawColourSteps(countedSteps);
            return wayInUse = accumWayCounted;
        }
        warnFallback(why);
    } else if (*bufferShortfall() != '\0') {
        platformWarn(
            "the accumulation buffer is asked for, but this window has none: the shadow is "
            "hard");
    }
    return wayInUse = accumWayBuffer;
}

void accumShutdown() {
    if (wayInUse == accumWayCounted) drawComposeDestroy();
    wayInUse = accumWayBuffer;
}

AccumWay accumWayInUse() {
    return wayInUse;
}

void accumFrameBegin() {
    char why[160];
    if (wayInUse == accumWayCounted && !drawComposeFollowViewport(why, sizeof why)) {
        accumShutdown();
        warnFallback(why);
    }
}
