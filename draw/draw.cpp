// The vocabulary's calls, each handed to the renderer in use, and the choice
// of renderer for each window.
#include "draw/draw.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "draw/backend.h"
#include "platform/platform.h"

#ifndef TENEBREL_DRAW_GL1
const DrawBackend* const drawGl1Backend = nullptr;
#endif
#ifndef TENEBREL_DRAW_ES3
const DrawBackend* const drawEs3Backend = nullptr;
#endif

namespace {

// What each renderer draws in, and what it is called.
struct Renderer {
    const char* name;
    PlatformGLKind context;
    const char* contextName;
};

const Renderer renderers[] = {
    {"gl1", platformGLDesktop, "OpenGL"},
    {"es3", platformGLES3, "OpenGL ES 3.0"},
};

const DrawBackend* backendOf(DrawRenderer renderer) {
    return renderer == drawRendererEs3 ? drawEs3Backend : drawGl1Backend;
}

// The build's own renderer: gl1 where it is there (the desktop), else es3.
DrawRenderer defaultRenderer() {
    return drawGl1Backend != nullptr ? drawRendererGl1 : drawRendererEs3;
}

DrawRenderer inUse = defaultRenderer();
const DrawBackend* backend = backendOf(inUse);

}  // namespace

void drawExplain(char* why, int whySize, const char* reason) {
    if (why != nullptr && whySize > 0)
        std::snprintf(why, static_cast<size_t>(whySize), "%s", reason);
}

DrawRenderer drawRendererRequested(const char* option) {
    char value[16], line[160];
    const uint32_t length =
        option != nullptr ? static_cast<uint32_t>(std::snprintf(value, sizeof value, "%s", option))
                          : platformGetEnvironmentVariable("TENEBREL_GL", value, sizeof value);
    const DrawRenderer fallback = defaultRenderer();
    const char* fallbackName = renderers[fallback].name;
    if (length == 0) return fallback;
    for (DrawRenderer renderer : {drawRendererGl1, drawRendererEs3}) {
        if (length >= sizeof value || std::strcmp(value, renderers[renderer].name) != 0) continue;
        if (drawRendererBuilt(renderer)) return renderer;
        std::snprintf(line, sizeof line,
                      "TENEBREL_GL=%s, but this build has no %s renderer; "
                      "drawing with %s",
                      value, value, fallbackName);
        platformWarn(line);
        return fallback;
    }
    std::snprintf(line, sizeof line, "TENEBREL_GL takes \"gl1\" or \"es3\"; drawing with %s",
                  fallbackName);
    platformWarn(line);
    return fallback;
}

int drawRendererBuilt(DrawRenderer renderer) {
    return backendOf(renderer) != nullptr ? 1 : 0;
}

int drawContextPrepare(DrawRenderer renderer, char* why, int whySize) {
    if (!drawRendererBuilt(renderer))
        return drawExplain(why, whySize, "this build has no such renderer"), 0;
    if (platformSetGLKind(renderers[renderer].context)) return 1;
    char reason[96];
    std::snprintf(reason, sizeof reason, "the window system makes no %s context",
                  renderers[renderer].contextName);
    drawExplain(why, whySize, reason);
    return 0;
}

int drawStart(DrawRenderer renderer, char* why, int whySize) {
    const DrawBackend* starting = backendOf(renderer);
    if (starting == nullptr) return drawExplain(why, whySize, "this build has no such renderer"), 0;
    if (!starting->Start(why, whySize)) return 0;
    inUse = renderer;
    backend = starting;
    return 1;
}

int drawFallBack(DrawRenderer* renderer, const char* why) {
    // OpenGL ES gives way to the desktop's GL; nothing comes after that.
    if (*renderer != drawRendererEs3 || !drawRendererBuilt(drawRendererGl1)) return 0;
    char line[240];
    std::snprintf(line, sizeof line, "%s cannot be had (%s): drawing with %s",
                  renderers[*renderer].contextName, why, renderers[drawRendererGl1].name);
    platformWarn(line);
    *renderer = drawRendererGl1;
    return 1;
}

void drawStop() {
    backend->Stop();
}

DrawRenderer drawRendererInUse() {
    return inUse;
}

// Every other call: drawName(parameters) is the renderer's Name(arguments).
#define DRAW_FORWARD(result, name, parameters, arguments) \
    result draw##name parameters {                        \
        return backend->name arguments;                   \
    }
DRAW_CALLS(DRAW_FORWARD)
#undef DRAW_FORWARD
