// How fast the complete soft-shadow frame draws with each renderer and each
// way of adding its ten passes, and where its time goes.
//
//   bench_frame [FRAMES [TEXTURE_FOLDER]]
//
// FRAMES defaults to 100; TEXTURE_FOLDER (default: the current folder) must
// hold brickblue.bmp and Ziegel1.bmp, as the build folder does. Needs an X
// display (tests/display.py gives it one).
//
// Two measurements on one 800 x 600 window, fixed camera and the start light:
//  1. sceneDraw as the program runs it: gl1 with the passes added in the
//     accumulation buffer and on the GPU, and es3 on OpenGL ES 3.0, side by
//     side: FRAMES frames each, in five rounds that take the three in turn
//     so that all meet the same machine, each round in a window and context
//     of its own, each frame followed by the buffer swap when the window can
//     be swapped; the clock stops only after a glFinish behind a round's
//     last frame.
//     Once with the real 256 x 256 textures, once with one-texel textures of
//     one colour, which make the passes cheaper and the adding weigh more.
//  2. The same frame rebuilt here phase by phase, in the renderer and way
//     that TENEBREL_GL and TENEBREL_ACCUM choose, with glFinish after every
//     phase, so each phase's clock covers its own drawing. The waits cost
//     pipelining, so this frame is slower; only the shares are meant to be
//     read from it. The rebuilt frame's picture is compared with sceneDraw's
//     first, so a change to the real frame that this copy misses shows.
// Nothing here fails on a slow machine: it prints figures.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/window.h"
#include "assets/texture.h"
#include "draw/draw.h"
#include "geometry/occluder.h"
#include "geometry/room.h"
#include "platform/platform.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "shadow/accum.h"
#include "shadow/frame.h"
#include "shadow/stencil.h"
#include "tests/gl_harness.h"
#include "tools/bmp_write.h"

namespace {

using Clock = std::chrono::steady_clock;

const Vec3 startLight = {5.0f, 1.0f, 5.0f};
const int windowWidth = 800;
const int windowHeight = 600;
const int maxFrames = 1000000;

// Waits until everything asked has been drawn.
void finish() {
    drawFlush();
    glFinish();
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void poseScene() {
    cameraSetPose(sceneCamera, 0.0f, 3.0f, 9.5f, 0.0f, -2.0f, -10.0f, 0.0f, 1.0f, 0.0f);
    // Every frame from the same light: sceneDraw may leave it a last bit off.
    lightPosition = startLight;
    showRays = 0;
    fpsValue = 60.0f;  // some digits to draw, as in a running program
}

// The phases of the rebuilt frame, in drawing order.
enum Phase {
    phaseFrameStart,    // clears of all buffers, camera
    phasePassClear,     // colour, depth and stencil cleared in each pass
    phasePassScene,     // light state, box and room at full brightness
    phasePassShadows,   // face choice, volumes counted, room darkened
    phasePassBoxAgain,  // box drawn over its own shadow
    phaseAccumAdd,      // each pass added (glAccum, or the last pass's copy)
    phaseAccumReturn,   // the sum returned (glAccum, or the summing shader)
    phaseOverlay,       // box on top of the sum, frame-rate text
    phaseSwap,          // buffer swap
    phaseCount
};

const char* const phaseNames[phaseCount] = {
    "frame start: clears, camera",
    "passes: colour/depth/stencil clears",
    "passes: light, box and room",
    "passes: shadow volumes, darkened room",
    "passes: box drawn again",
    "adding each pass",
    "returning the sum",
    "box on the sum, frame-rate text",
    "buffer swap",
};

struct PhaseClock {
    double total[phaseCount] = {};
    Clock::time_point started = Clock::now();
    // Waits for GL, then books the time since the previous mark to `phase`.
    void mark(Phase phase) {
        finish();
        const Clock::time_point now = Clock::now();
        total[phase] += std::chrono::duration<double, std::milli>(now - started).count();
        started = now;
    }
};

// sceneDraw's frame step by step, with the clock read after each phase. It
// must stay the same drawing as shadow/frame.cpp; the picture check below
// says when it is not.
void drawFrameInstrumented(PhaseClock* clock) {
    if (clock) clock->started = Clock::now();
    drawStencilMask(~0u);
    drawClear(drawColourBuffer | drawStencilBuffer | accumClearBit() | drawDepthBuffer);
    drawLoadIdentity();
    cameraApply(sceneCamera);
    drawDepthFunc(drawLessOrEqual);
    drawDepthMask(1);
    accumFrameBegin();
    if (clock) clock->mark(phaseFrameStart);

    const Vec3 saved = lightPosition;
    for (int pass = 0; pass < framePassCount; ++pass) {
        const Vec3 offset = frameJitterOffset(pass);
        lightPosition = Vec3{saved.x + offset.x, saved.y + offset.y, saved.z + offset.z};

        accumPassBegin(pass);
        drawClear(drawColourBuffer | drawStencilBuffer | drawDepthBuffer);
        if (clock) clock->mark(phasePassClear);

        occluderSetLight(sceneOccluder, lightPosition);
        sceneLightApply();
        drawLightSpecular(specularWhite);
        occluderDraw(sceneOccluder);
        roomDrawTinted(1.0f);
        if (clock) clock->mark(phasePassScene);

        occluderCastShadows(sceneOccluder, showRays);
        if (clock) clock->mark(phasePassShadows);

        occluderDraw(sceneOccluder);
        if (clock) clock->mark(phasePassBoxAgain);

        accumPassAdd(pass);
        if (clock) clock->mark(phaseAccumAdd);

        lightPosition.x -= offset.x;
        lightPosition.y -= offset.y;
        lightPosition.z -= offset.z;
    }
    accumReturn();
    if (clock) clock->mark(phaseAccumReturn);

    occluderDraw(sceneOccluder);
    frameRatePrint();
    drawFlush();
    if (clock) clock->mark(phaseOverlay);
}

// The scene's two textures replaced by one texel each, of the bricks'
// usual colours, made in a folder of their own.
bool loadOneColourTextures() {
    std::error_code error;
    const std::filesystem::path home = std::filesystem::current_path(error);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(error) / "tenebrel-bench-textures";
    std::filesystem::create_directories(folder, error);
    const bool written =
        bmpWriteFile((folder / "brickblue.bmp").string(), bmpWrite(bmpWritePicture({{0x2850DC}}))) &&
        bmpWriteFile((folder / "Ziegel1.bmp").string(), bmpWrite(bmpWritePicture({{0xC8783C}})));
    std::filesystem::current_path(folder, error);
    for (uint32_t& texture : textureIds) drawTextureDelete(texture), texture = 0;
    const bool loaded = written && !error && textureLoad(textureIds, "brickblue.bmp", 0) &&
                        textureLoad(textureIds, "Ziegel1.bmp", 1);
    std::filesystem::current_path(home, error);
    std::filesystem::remove_all(folder, error);
    if (!loaded) std::fprintf(stderr, "bench_frame: the one-colour textures could not be made\n");
    return loaded;
}

bool parseFrames(const char* text, int* frames) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > maxFrames) return false;
    *frames = static_cast<int>(value);
    return true;
}

void usage() {
    std::fprintf(stderr,
                 "usage: bench_frame [FRAMES [TEXTURE_FOLDER]]\n"
                 "  FRAMES: 1 to %d, default 100\n"
                 "  TEXTURE_FOLDER: holds brickblue.bmp and Ziegel1.bmp (default: .)\n",
                 maxFrames);
}

// The window to swap: the harness's, once the window system has given it the
// keyboard focus. Without a focus (some servers never give one) the frames
// are measured without the swap, and the output says so.
PlatformDeviceContext* swappableContext() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        PlatformMessage message;
        while (platformPeekMessage(&message, nullptr, PM_REMOVE)) {
        }
        if (PlatformWindow* window = platformGetFocus()) return platformGetDC(window);
        const Clock::time_point start = Clock::now();
        while (millisecondsSince(start) < 10.0) {
        }
    }
    return nullptr;
}

// The ways a frame is drawn and its passes added, in the order they are
// compared: each is measured against the one before.
struct Way {
    const char* name;
    DrawRenderer renderer;
    AccumWay sum;
};
const Way ways[] = {
    {"gl1, accumulation buffer", drawRendererGl1, accumWayBuffer},
    {"gl1, GPU sum", drawRendererGl1, accumWayGpu},
    {"es3 (OpenGL ES 3.0)", drawRendererEs3, accumWayGpu},
};
const int wayCount = 3;
const char* const textureKinds[] = {"256 x 256 brick textures", "one-colour textures"};
const int kindCount = 2;

KeyTable keys;
GLWindow window;
PlatformDeviceContext* swapTarget = nullptr;

// A window with a context of the kind and the scene in it; 0 after saying
// why it could not. `swapped` turns false for good when a window cannot be
// swapped.
bool openScene(DrawRenderer renderer, bool oneColour, bool* swapped) {
    if (!glHarnessOpen(windowWidth, windowHeight, nullptr, nullptr, renderer)) {
        std::fprintf(stderr, "bench_frame: no window with an OpenGL%s context (is DISPLAY set?)\n",
                     renderer == drawRendererEs3 ? " ES 3.0" : "");
        glHarnessClose();
        return false;
    }
    std::memset(&keys, 0, sizeof keys);
    std::memset(&window, 0, sizeof window);
    window.keys = &keys;
    window.width = windowWidth;
    window.height = windowHeight;
    window.bitsPerPixel = 32;
    window.isVisible = 1;
    swapTarget = swappableContext();
    *swapped = *swapped && swapTarget != nullptr;
    window.deviceContext = swapTarget;
    viewportResize(windowWidth, windowHeight);
    if (sceneInit(&window, &keys) != 1 || (oneColour && !loadOneColourTextures())) {
        std::fprintf(stderr, "bench_frame: the scene did not start\n");
        glHarnessClose();
        return false;
    }
    return true;
}

void closeScene() {
    sceneShutdown();
    glHarnessClose(true);
}

void drawOneFrame() {
    poseScene();
    sceneDraw();
    if (swapTarget) platformSwapBuffers(swapTarget);
}

void describeContext(const char* name, int frames) {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLint stencilBits = 0, depthBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    std::printf("%s: %s, %dx%d, depth %d bits, stencil %d bits, accumulation %d bits per channel\n",
                name, renderer ? renderer : "(unknown renderer)", windowWidth, windowHeight,
                depthBits, stencilBits, drawAccumBits());
    if (name == ways[0].name) {
        std::printf("frames: %d each way, camera (0, 3, 9.5) -> (0, -2, -10), light (5, 1, 5)\n",
                    frames);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 100;
    if (argc > 3 || (argc >= 2 && !parseFrames(argv[1], &frames))) {
        usage();
        return 2;
    }
    if (argc == 3) {
        std::error_code error;
        std::filesystem::current_path(argv[2], error);
        if (error) {
            std::fprintf(stderr, "bench_frame: cannot enter %s: %s\n", argv[2],
                         error.message().c_str());
            return 1;
        }
    }
    // The scene ends the whole process when a texture is missing, so look
    // first and say which one.
    for (const char* name : {"brickblue.bmp", "Ziegel1.bmp"}) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error)) {
            std::fprintf(stderr,
                         "bench_frame: %s is not in %s (run from the build folder, or name "
                         "the folder that holds the textures)\n",
                         name, std::filesystem::current_path(error).c_str());
            return 1;
        }
    }

    // 1. The real frame, pipelined as in the program, each way: FRAMES
    // frames each, in five rounds that take the ways in turn, each round in
    // a window and context of its own.
    double frameMs[kindCount][wayCount] = {}, cpuMs[kindCount][wayCount] = {};
    bool swapped = true;
    for (int kind = 0; kind < kindCount; ++kind)
        for (int round = 0; round < 5; ++round)
            for (int way = 0; way < wayCount; ++way) {
                const int count = frames / 5 + (round < frames % 5);
                if (!openScene(ways[way].renderer, kind == 1, &swapped)) return 1;
                if (accumInit(ways[way].sum) == ways[way].sum) {  // else it said why
                    if (round == 0 && kind == 0) describeContext(ways[way].name, frames);
                    for (int i = 0; i < 3; ++i) drawOneFrame();  // programs and textures settle
                    finish();
                    const std::clock_t cpuStart = std::clock();
                    const Clock::time_point start = Clock::now();
                    for (int i = 0; i < count; ++i) drawOneFrame();
                    finish();
                    frameMs[kind][way] += millisecondsSince(start);
                    cpuMs[kind][way] += 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
                }
                closeScene();
            }
    for (int kind = 0; kind < kindCount; ++kind) {
        std::printf("\nsceneDraw as the program runs it, %s%s:\n", textureKinds[kind],
                    swapped ? "" : " (NO buffer swap: a window had no focus)");
        for (int way = 0; way < wayCount; ++way) {
            if (frameMs[kind][way] == 0) continue;
            std::printf("  %-28s %6.2f frames per second, %6.2f ms per frame, %.1f cores busy\n",
                        ways[way].name, 1000.0 * frames / frameMs[kind][way],
                        frameMs[kind][way] / frames, cpuMs[kind][way] / frameMs[kind][way]);
        }
        for (int way = 1; way < wayCount; ++way)
            if (frameMs[kind][way] > 0 && frameMs[kind][way - 1] > 0)
                std::printf("  %s is %.2f times as fast as %s\n", ways[way].name,
                            frameMs[kind][way - 1] / frameMs[kind][way], ways[way - 1].name);
    }

    // 2. Where the time goes, in the renderer and way the program would take.
    const Way& chosen = ways[drawRendererRequested() == drawRendererEs3 ? 2 : 1];
    if (!openScene(chosen.renderer, false, &swapped)) return 1;
    const AccumWay way = accumInit(accumWayRequested());
    std::printf("\nthe rest uses %s with the %s, as the program would here\n", chosen.name,
                way == accumWayGpu ? "GPU sum" : "accumulation buffer");
    const double realFrameMs = frameMs[0][way == accumWayGpu ? &chosen - ways : 0] / frames;

    // The rebuilt frame must draw what sceneDraw draws.
    poseScene();
    sceneDraw();
    const std::vector<uint8_t> real = glHarnessReadRgb();
    poseScene();
    drawFrameInstrumented(nullptr);
    const std::vector<uint8_t> rebuilt = glHarnessReadRgb();
    size_t differing = 0;
    for (size_t i = 0; i < real.size() && i < rebuilt.size(); ++i) {
        if (real[i] != rebuilt[i]) ++differing;
    }
    const bool same = real.size() == rebuilt.size() && differing == 0;
    if (swapTarget) platformSwapBuffers(swapTarget);

    // The rebuilt frame with a wait after every phase.
    PhaseClock clock;
    const Clock::time_point instrumentedStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        poseScene();
        drawFrameInstrumented(&clock);
        if (swapTarget) platformSwapBuffers(swapTarget);
        clock.mark(phaseSwap);
    }
    const double instrumentedMs = millisecondsSince(instrumentedStart);
    double booked = 0.0;
    for (double t : clock.total) booked += t;

    std::printf("\nWhere the time goes (separate measurement: the same frame rebuilt with\n"
                "glFinish after every phase, since GL draws asynchronously; the waits make\n"
                "this frame slower, %.2f ms instead of %.2f, so read the shares):\n",
                instrumentedMs / frames, realFrameMs);
    if (!same) {
        std::printf("  WARNING: the rebuilt frame's picture differs from sceneDraw's in %zu of "
                    "%zu bytes; shadow/frame.cpp has changed and this copy needs updating\n",
                    differing, real.size());
    }
    for (int p = 0; p < phaseCount; ++p) {
        if (p == phaseSwap && !swapTarget) continue;
        std::printf("  %-40s %8.3f ms per frame %6.1f %%\n", phaseNames[p], clock.total[p] / frames,
                    100.0 * clock.total[p] / booked);
    }
    const double passes = clock.total[phasePassClear] + clock.total[phasePassScene] +
                          clock.total[phasePassShadows] + clock.total[phasePassBoxAgain];
    const double accum = clock.total[phaseAccumAdd] + clock.total[phaseAccumReturn];
    const double rest = booked - passes - accum;
    std::printf("  summary: drawing in the ten passes %.1f %%, adding them up %.1f %%, "
                "everything else %.1f %%\n",
                100.0 * passes / booked, 100.0 * accum / booked, 100.0 * rest / booked);

    closeScene();
    return 0;
}
