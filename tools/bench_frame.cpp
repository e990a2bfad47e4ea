// How fast the complete soft-shadow frame draws both ways of adding its ten
// passes, and where its time goes.
//
//   bench_frame [FRAMES [TEXTURE_FOLDER]]
//
// FRAMES defaults to 100; TEXTURE_FOLDER (default: the current folder) must
// hold brickblue.bmp and Ziegel1.bmp, as the build folder does. Needs an X
// display (tests/display.py gives it one).
//
// Two measurements on one 800 x 600 window, fixed camera and the start light:
//  1. sceneDraw as the program runs it, with the passes added in the
//     accumulation buffer and on the GPU, side by side: FRAMES frames each,
//     in five alternating rounds so that both ways meet the same machine,
//     each frame followed by the buffer swap when the window can be swapped;
//     the clock stops only after a glFinish behind a round's last frame.
//     Once with the real 256 x 256 textures, once with one-texel textures of
//     one colour, which make the passes cheaper and the adding weigh more.
//  2. The same frame rebuilt here phase by phase, with glFinish after every
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
#include "assets/texture.h"

namespace {

using Clock = std::chrono::steady_clock;

const Vec3 startLight = {5.0f, 1.0f, 5.0f};
const int windowWidth = 800;
const int windowHeight = 600;
const int maxFrames = 1000000;

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
        glFinish();
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
    glStencilMask(~0u);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | accumClearBit() | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    cameraApply(sceneCamera);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    accumFrameBegin();
    if (clock) clock->mark(phaseFrameStart);

    const Vec3 saved = lightPosition;
    for (int pass = 0; pass < framePassCount; ++pass) {
        const Vec3 offset = frameJitterOffset(pass);
        lightPosition = Vec3{saved.x + offset.x, saved.y + offset.y, saved.z + offset.z};

        accumPassBegin(pass);
        glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (clock) clock->mark(phasePassClear);

        occluderSetLight(sceneOccluder, lightPosition);
        sceneLightApply();
        glLightfv(GL_LIGHT0, GL_SPECULAR, specularWhite);
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
    glFlush();
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
    glDeleteTextures(2, textureIds);
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

    if (!glHarnessOpen(windowWidth, windowHeight)) {
        std::fprintf(stderr, "bench_frame: no window with an OpenGL context (is DISPLAY set?)\n");
        glHarnessClose();
        return 1;
    }
    KeyTable keys;
    std::memset(&keys, 0, sizeof keys);
    GLWindow window;
    std::memset(&window, 0, sizeof window);
    window.keys = &keys;
    window.width = windowWidth;
    window.height = windowHeight;
    window.bitsPerPixel = 32;
    window.isVisible = 1;
    PlatformDeviceContext* swapTarget = swappableContext();
    window.deviceContext = swapTarget;
    viewportResize(windowWidth, windowHeight);
    if (sceneInit(&window, &keys) != 1) {
        std::fprintf(stderr, "bench_frame: the scene did not start\n");
        glHarnessClose();
        return 1;
    }

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLint accumBits = 0, stencilBits = 0, depthBits = 0;
    glGetIntegerv(GL_ACCUM_RED_BITS, &accumBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    std::printf("renderer: %s\n", renderer ? renderer : "(unknown)");
    std::printf("framebuffer: %dx%d, depth %d bits, stencil %d bits, accumulation %d bits per "
                "channel%s\n",
                windowWidth, windowHeight, depthBits, stencilBits, accumBits,
                accumBits == 0 ? " (none: only the GPU sum is measured)" : "");
    std::printf("frames: %d, camera (0, 3, 9.5) -> (0, -2, -10), light (5, 1, 5), "
                "buffer swap %s\n",
                frames, swapTarget ? "included" : "NOT included (window has no focus)");

    // The first frames set up textures and programs inside the driver.
    for (int i = 0; i < 3; ++i) {
        poseScene();
        sceneDraw();
        if (swapTarget) platformSwapBuffers(swapTarget);
    }
    glFinish();

    // 1. The real frame, pipelined as in the program, both ways.
    const char* const wayNames[2] = {"accumulation buffer", "GPU sum"};
    const char* const textureKinds[2] = {"256 x 256 brick textures", "one-colour textures"};
    double realFrameMs[2] = {0, 0};  // with the brick textures, each way
    for (int kind = 0; kind < 2; ++kind) {
        if (kind == 1 && !loadOneColourTextures()) break;
        double wallMs[2] = {0, 0}, cpuMs[2] = {0, 0};
        for (int round = 0; round < 5; ++round) {
            for (AccumWay way : {accumWayBuffer, accumWayGpu}) {
                if (accumInit(way) != way) continue;  // said why on stderr
                const int count = frames / 5 + (round < frames % 5);
                const std::clock_t cpuStart = std::clock();
                const Clock::time_point start = Clock::now();
                for (int i = 0; i < count; ++i) {
                    poseScene();
                    sceneDraw();
                    if (swapTarget) platformSwapBuffers(swapTarget);
                }
                glFinish();
                wallMs[way] += millisecondsSince(start);
                cpuMs[way] += 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            }
        }
        std::printf("\nsceneDraw as the program runs it, %s:\n", textureKinds[kind]);
        for (int way = 0; way < 2; ++way) {
            if (wallMs[way] == 0) continue;
            std::printf("  %-20s %6.2f frames per second, %6.2f ms per frame, %.1f cores busy\n",
                        wayNames[way], 1000.0 * frames / wallMs[way], wallMs[way] / frames,
                        cpuMs[way] / wallMs[way]);
        }
        if (kind == 0) realFrameMs[0] = wallMs[0] / frames, realFrameMs[1] = wallMs[1] / frames;
        if (wallMs[0] > 0 && wallMs[1] > 0)
            std::printf("  the GPU sum is %.2f times as fast\n", wallMs[0] / wallMs[1]);
    }
    accumInit(accumWayRequested());
    std::printf("\nthe rest uses the %s, as the program would here\n", wayNames[accumWayInUse()]);

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

    // 2. The rebuilt frame with a wait after every phase.
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
                instrumentedMs / frames, realFrameMs[accumWayInUse()]);
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

    sceneShutdown();
    glHarnessClose();
    return 0;
}
