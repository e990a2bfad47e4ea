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
#include "shadow/counted.h"
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
        finish();
        const Clock::time_point now = Clock::now();
        total[phase] += std::chrono::duration<double, std::milli>(now - started).count();
        started = now;
    }
};

// sceneDraw's counted frame step by step, with the clock read after each
// phase.
void drawFrameInstrumented(PhaseClock& clock) {
    clock.started = Clock::now();
    accumFrameBegin();
    countedBaseDraw();
    clock.mark(phaseBase);
    const Vec3 saved = lightPosition;
    for (int pass = 0; pass < framePassCount; ++pass) {
        countedPassBegin(pass, saved);
        clock.mark(phasePassClear);
        countedPassShows();
        clock.mark(phasePassShows);
        countedPassVolumes();
        clock.mark(phasePassVolumes);
        countedPassShadow(pass);
        countedPassEnd(pass);
        clock.mark(phasePassShadow);
    }
    countedCountsKeep();
    drawCompose();
    clock.mark(phaseCompose);
    countedOverlay();
    clock.mark(phaseOverlay);
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
        bmpWriteFile((folder / "brickblue.bmp").string(),
                     bmpWrite(bmpWritePicture({{0x2850DC}}))) &&
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
        while (platformPeekMessage(&message, nullptr, PM_REMOVE)) {}
        if (PlatformWindow* window = platformGetFocus()) return platformGetDC(window);
        const Clock::time_point start = Clock::now();
        while (millisecondsSince(start) < 10.0) {}
    }
    return nullptr;
}

// The ways a frame is drawn and its passes added, each measured against the
// first, the frame as the accumulation buffer sums it.
struct Way {
    const char* name;
    DrawRenderer renderer;
    AccumWay sum;
    ShadowVolumes volumes;
};
const Way ways[] = {
    {"gl1, accumulation buffer", drawRendererGl1, accumWayBuffer, shadowVolumesPerFace},
    {"gl1, counted, face volumes", drawRendererGl1, accumWayCounted, shadowVolumesPerFace},
    {"gl1, counted", drawRendererGl1, accumWayCounted, shadowVolumesSilhouette},
    {"es3, counted, face volumes", drawRendererEs3, accumWayCounted, shadowVolumesPerFace},
    {"es3, counted", drawRendererEs3, accumWayCounted, shadowVolumesSilhouette},
};
const int wayCount = sizeof ways / sizeof ways[0];
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
                countedVolumes = ways[way].volumes;
                if (accumInit(ways[way].sum) == ways[way].sum) {  // else it said why
                    if (round == 0 && kind == 0) describeContext(ways[way].name, frames);
                    for (int i = 0; i < 3; ++i) drawOneFrame();  // programs and textures settle
                    finish();
                    const std::clock_t cpuStart = std::clock();
                    const Clock::time_point start = Clock::now();
                    for (int i = 0; i < count; ++i) drawOneFrame();
                    finish();
                    frameMs[kind][way] += millisecondsSince(start);
                    cpuMs[kind][way] +=
                        1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
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
            if (frameMs[kind][way] > 0 && frameMs[kind][0] > 0)
                std::printf("  %-28s %6.2f times as fast as %s\n", ways[way].name,
                            frameMs[kind][0] / frameMs[kind][way], ways[0].name);
        if (frameMs[kind][2] > 0 && frameMs[kind][4] > 0)
            std::printf("  es3, counted, is %.2f times as fast as gl1, counted\n",
                        frameMs[kind][2] / frameMs[kind][4]);
    }
    countedVolumes = shadowVolumesSilhouette;

    // 2. Where the time goes in the counted frame, with the renderer that
    // TENEBREL_GL chooses.
    const Way& chosen = ways[drawRendererRequested(nullptr) == drawRendererEs3 ? 4 : 2];
    if (!openScene(chosen.renderer, false, &swapped)) return 1;
    if (accumInit(accumWayCounted) != accumWayCounted) return closeScene(), 1;
    std::printf("\nthe rest uses %s\n", chosen.name);
    const double realFrameMs = frameMs[0][&chosen - ways] / frames;

    // The frame with a wait after every phase.
    PhaseClock clock;
    const Clock::time_point instrumentedStart = Clock::now();
    for (int i = 0; i < frames; ++i) {
        poseScene();
        drawFrameInstrumented(clock);
        if (swapTarget) platformSwapBuffers(swapTarget);
        clock.mark(phaseSwap);
    }
    const double instrumentedMs = millisecondsSince(instrumentedStart);
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

    closeScene();
    return 0;
}
