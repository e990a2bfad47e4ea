// How fast the complete soft-shadow frame draws with each renderer and each
// way of summing its passes, at a few poses, and where its time goes.
//
//   bench_frame [FRAMES [TEXTURE_FOLDER]]
//
// FRAMES defaults to 100; TEXTURE_FOLDER (default: the current folder) must
// hold brickblue.bmp and Ziegel1.bmp, as the build folder does. Needs an X
// display (tests/display.py gives it one).
//
// Two measurements on one 800 x 600 window with the start light:
//  1. The frame as the program draws it, each way of the table below at
//     each pose: FRAMES frames each, in five rounds that take the ways in
//     turn so that all meet the same machine, each round in a window and
//     context of its own, each frame followed by the buffer swap when the
//     window can be swapped; the clock stops only after a glFinish behind a
//     pose's last frame. The counted frame is measured twice: as it draws,
//     each pass kept to the part of the view it can change, and with every
//     pass over the whole view, as it drew before.
//  2. The counted frame rebuilt here phase by phase, in the renderer that
//     TENEBREL_GL chooses, at the first pose, with glFinish after every
//     phase, so each phase's clock covers its own drawing. The waits cost
//     pipelining, so this frame is slower; only the shares are meant to be
//     read from it.
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
#include "draw/draw.h"
#include "geometry/occluder.h"
#include "platform/platform.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "shadow/counted.h"
#include "shadow/frame.h"
#include "shadow/light.h"
#include "shadow/overlay.h"
#include "tests/gl_harness.h"
#include "tools/bench_phases.h"

namespace {

using Clock = std::chrono::steady_clock;

const Vec3 startLight = {5.0f, 1.0f, 5.0f};
const int windowWidth = 800;
const int windowHeight = 600;
const int maxFrames = 1000000;

// Where the camera stands and looks.
struct Pose {
    const char* name;
    Vec3 eye, centre;
};
const Pose poses[] = {
    {"the start", {0, 0, 0}, {1, 0, 0}},
    {"turned to the back wall", {0, 0, 0}, {0, 0, -1}},
    {"from the open front", {0, 3, 9.5f}, {0, -2, -10}},
};
const int poseCount = sizeof poses / sizeof poses[0];

// The ways a frame is drawn and its passes summed.
struct Way {
    const char* name;
    DrawRenderer renderer;
    FrameWay sum;
    bool wholeView;
};
const Way ways[] = {
    {"gl1, accumulation buffer", drawRendererGl1, frameWayAccumBuffer, false},
    {"gl1, counted, whole view", drawRendererGl1, frameWayCounted, true},
    {"gl1, counted", drawRendererGl1, frameWayCounted, false},
    {"es3, counted, whole view", drawRendererEs3, frameWayCounted, true},
    {"es3, counted", drawRendererEs3, frameWayCounted, false},
};
const int wayCount = sizeof ways / sizeof ways[0];

// Waits until everything asked has been drawn.
void finish() {
    drawFlush();
    glFinish();
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

FrameInput inputAt(const Pose& pose, bool wholeView) {
    Camera camera;
    cameraSetPose(camera, pose.eye.x, pose.eye.y, pose.eye.z, pose.centre.x, pose.centre.y,
                  pose.centre.z, 0.0f, 1.0f, 0.0f);
    // Some digits to draw, as in a running program.
    FrameInput input{camera, startLight, 0, 60.0f};
    input.wholeView = wholeView;
    return input;
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

KeyTable keys;
GLWindow window;
PlatformDeviceContext* swapTarget = nullptr;

// A window with a context of the kind and the scene in it; 0 after saying
// why it could not. `swapped` turns false for good when a window cannot be
// swapped.
bool openScene(DrawRenderer renderer, bool* swapped) {
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
    if (sceneInit(&window, &keys) != 1) {
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

void drawOneFrame(const FrameInput& input) {
    frameDraw(input, sceneOccluder);
    if (swapTarget) platformSwapBuffers(swapTarget);
}

// Adds the time `count` frames take, and the processor's, after three that
// let programs and textures settle.
void framesTime(const FrameInput& input, int count, double* ms, double* cpuMs) {
    for (int i = 0; i < 3; ++i) drawOneFrame(input);
    finish();
    const std::clock_t cpuStart = std::clock();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i) drawOneFrame(input);
    finish();
    *ms += millisecondsSince(start);
    *cpuMs += 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
}

void describeContext(const char* name) {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    GLint stencilBits = 0, depthBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    std::printf("%s: %s, %dx%d, depth %d bits, stencil %d bits, accumulation %d bits per channel\n",
                name, renderer ? renderer : "(unknown renderer)", windowWidth, windowHeight,
                depthBits, stencilBits, drawAccumBits());
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

    // 1. The real frame, pipelined as in the program, each way at each pose.
    double frameMs[wayCount][poseCount] = {}, cpuMs[wayCount][poseCount] = {};
    bool swapped = true;
    for (int round = 0; round < 5; ++round)
        for (int way = 0; way < wayCount; ++way) {
            const int count = frames / 5 + (round < frames % 5);
            if (!openScene(ways[way].renderer, &swapped)) return 1;
            if (frameWaySetUp(ways[way].sum) == ways[way].sum) {  // else it said why
                if (round == 0) describeContext(ways[way].name);
                for (int pose = 0; pose < poseCount; ++pose) {
                    const FrameInput input = inputAt(poses[pose], ways[way].wholeView);
                    framesTime(input, count, &frameMs[way][pose], &cpuMs[way][pose]);
                }
            }
            closeScene();
        }
    std::printf("\nframes per second, %d frames each way at each pose, light (5, 1, 5)%s:\n",
                frames, swapped ? "" : " (NO buffer swap: a window had no focus)");
    std::printf("  %-26s", "");
    for (const Pose& pose : poses) std::printf(" %24s", pose.name);
    std::printf("\n");
    for (int way = 0; way < wayCount; ++way) {
        std::printf("  %-26s", ways[way].name);
        for (int pose = 0; pose < poseCount; ++pose)
            if (frameMs[way][pose] > 0)
                std::printf(" %10.2f (%4.1f cores)", 1000.0 * frames / frameMs[way][pose],
                            cpuMs[way][pose] / frameMs[way][pose]);
            else
                std::printf(" %24s", "-");
        std::printf("\n");
    }
    // Each counted way against the one before it (the whole view's), and
    // against the accumulation buffer.
    for (int way = 2; way < wayCount; way += 2) {
        std::printf("  %-26s", (std::string(ways[way].renderer == drawRendererEs3 ? "es3" : "gl1") +
                                ", kept to each reach")
                                   .c_str());
        for (int pose = 0; pose < poseCount; ++pose)
            if (frameMs[way][pose] > 0 && frameMs[way - 1][pose] > 0)
                std::printf(" %13.2f x whole", frameMs[way - 1][pose] / frameMs[way][pose]);
        std::printf("\n");
    }
    std::printf("  %-26s", "gl1, counted");
    for (int pose = 0; pose < poseCount; ++pose)
        if (frameMs[2][pose] > 0 && frameMs[0][pose] > 0)
            std::printf(" %12.2f x buffer", frameMs[0][pose] / frameMs[2][pose]);
    std::printf("\n");

    // 1b. The counted frame with fewer and more passes, both renderers, at
    // the pose from the open front, in rounds as above.
    const int passCounts[] = {1, 10, 32, 64};
    const DrawRenderer renderers[] = {drawRendererGl1, drawRendererEs3};
    double passMs[2][4] = {};
    for (int round = 0; round < 5; ++round)
        for (int r = 0; r < 2; ++r) {
            const int count = frames / 5 + (round < frames % 5);
            if (!openScene(renderers[r], &swapped)) return 1;
            if (frameWaySetUp(frameWayCounted) == frameWayCounted)
                for (int p = 0; p < 4; ++p) {
                    FrameInput input = inputAt(poses[2], false);
                    input.passes = passCounts[p];
                    double cpu = 0;
                    framesTime(input, count, &passMs[r][p], &cpu);
                }
            closeScene();
        }
    std::printf("\nframes per second, counted, %s, by the number of passes:\n", poses[2].name);
    std::printf("  %-26s", "");
    for (int passes : passCounts) std::printf(" %10d passes", passes);
    std::printf("  64 against 10\n");
    for (int r = 0; r < 2; ++r) {
        std::printf("  %-26s", r == 0 ? "gl1" : "es3");
        for (int p = 0; p < 4; ++p)
            std::printf(" %17.2f", passMs[r][p] > 0 ? 1000.0 * frames / passMs[r][p] : 0.0);
        if (passMs[r][3] > 0) std::printf(" %14.2f", passMs[r][1] / passMs[r][3]);
        std::printf("\n");
    }

    // 2. Where the time goes in the counted frame, with the renderer that
    // TENEBREL_GL chooses.
    const Way& chosen = ways[drawRendererRequested(nullptr) == drawRendererEs3 ? 4 : 2];
    if (!openScene(chosen.renderer, &swapped)) return 1;
    if (frameWaySetUp(frameWayCounted) != frameWayCounted) return closeScene(), 1;
    const int pose = 2;
    std::printf("\nthe rest uses %s, %s\n", chosen.name, poses[pose].name);
    const double realFrameMs = frameMs[&chosen - ways][pose] / frames;
    const FrameInput input = inputAt(poses[pose], false);

    phasesMeasure(input, frames, realFrameMs, swapTarget);
    closeScene();
    return 0;
}
