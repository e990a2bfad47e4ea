#include "app/app.h"

#include <cstring>

#include "app/benchmark.h"
#include "app/window_proc.h"
#include "draw/draw.h"

int32_t isLooping = 0;
int32_t fullScreenRequested = 0;

namespace {

const char* const windowClassName = "OpenGL";
const char* const windowTitle = "Tenebrel";

// The message record of the pump; only its message field is examined.
PlatformMessage pumpMessage;

// The benchmark, when one runs: it spans every window the program makes.
Benchmark benchmark;

// Takes the window's messages and draws frames until a quit message
// arrives. Blocks while the window is minimised.
void appPump(GLWindow* window) {
    bool newWindow = true;
    int32_t timesHidden = window->timesHidden;
    for (;;) {
        if (platformPeekMessage(&pumpMessage, window->windowHandle, PM_REMOVE)) {
            if (pumpMessage.message == WM_QUIT) return;
            platformDispatchMessage(&pumpMessage);
        } else if (window->isVisible) {
            const uint32_t now = platformGetTickCount();
            // Unsigned: a counter that wrapped since the last frame still
            // gives the true small difference.
            const uint32_t elapsed = now - window->lastTickCount;
            sceneUpdate(elapsed);
            window->lastTickCount = now;
            if (benchmark.seconds > 0) {
                const bool hidden = window->timesHidden != timesHidden;
                timesHidden = window->timesHidden;
                if (benchmarkFrame(benchmark, elapsed, newWindow, hidden)) {
                    // Measured to the end: said while the context is there.
                    benchmarkSummary(benchmark, sceneSumName());
                    appRequestQuit(window);
                    continue;
                }
                scenePathPose(benchmarkPathFraction(benchmark));
            }
            newWindow = false;
            sceneDraw();
            platformSwapBuffers(window->deviceContext);
        } else {
            platformWaitMessage();
        }
    }
}

}  // namespace

int windowClassRegister(Application* application) {
    PlatformWindowClass windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.size = 48;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.windowProc = windowMessageHandler;
    windowClass.instance = application->instance;
    windowClass.cursor = platformLoadArrowCursor();
    windowClass.background = 12;
    windowClass.className = application->className;
    if (platformRegisterClass(&windowClass) == 0) {
        platformMessageBox(nullptr, "RegisterClassEx Failed!", "Error", MB_ICONWARNING);
        return 0;
    }
    return 1;
}

void appRequestQuit(GLWindow* window) {
    platformPostMessage(window->windowHandle, WM_QUIT, 0, 0);
    isLooping = 0;
}

int32_t appMain(void* instance, int argc, const char* const* argv) {
    // Read once, and kept for the whole run: the windows point to it.
    static Options options;
    options = optionsParse(argc, argv);
    const char* answer = nullptr;
    switch (options.action) {
    case optionsHelp: answer = optionsHelpText(); break;
    case optionsVersion: answer = optionsVersionText(); break;
    case optionsBad: platformWarn(options.error); return 2;
    case optionsRun: return appRun(instance, options.settings);
    }
    // An answer that never reached its reader is no success.
    if (platformPrint(answer)) return 0;
    platformWarn("the answer could not be written to the standard output");
    return 1;
}

int32_t appRun(void* instance, const Settings& settings) {
    // Both records and the key table keep their addresses for the whole run,
    // so the scene may hold on to them across window re-creation.
    static Application application;
    static GLWindow window;
    static KeyTable keys;

    application.instance = instance;
    application.className = windowClassName;

    std::memset(&window, 0, sizeof window);
    std::memset(&keys, 0, sizeof keys);
    window.keys = &keys;
    window.application = &application;
    window.title = windowTitle;
    window.width = 800;
    window.height = 600;
    window.bitsPerPixel = 32;
    window.isFullScreen = 1;
    window.renderer = drawRendererRequested(settings.renderer);
    window.settings = &settings;

    // The answer may be given ahead, on the command line.
    if (settings.fullScreen >= 0) {
        window.isFullScreen = settings.fullScreen;
    } else if (platformMessageBox(nullptr, "Would You Like To Run In Fullscreen Mode?",
                                  "Start FullScreen?", MB_YESNO | MB_ICONQUESTION) == IDNO) {
        window.isFullScreen = 0;
    }
    benchmark = Benchmark{};
    if (settings.benchmarkSeconds > 0) benchmarkStart(benchmark, settings.benchmarkSeconds);

    if (!windowClassRegister(&application)) {
        platformMessageBox(nullptr, "Error Registering Window Class!", "Error", MB_ICONWARNING);
        return -1;
    }

    isLooping = 1;
    fullScreenRequested = window.isFullScreen;
    int32_t status = 0;

    while (isLooping) {
        window.isFullScreen = fullScreenRequested;
        if (windowCreate(&window) != 1) {
            platformMessageBox(nullptr, "Error Creating OpenGL Window", "Error", MB_ICONWARNING);
            // Gives back the display mode and the cursor a switch had taken.
            windowDestroy(&window);
            status = 1;
            isLooping = 0;
            break;
        }
        if (sceneInit(&window, &keys)) {
            appPump(&window);
            // Ended before the benchmark had measured it all (Escape, the
            // window closed): what was measured, said while the context is
            // there.
            if (benchmark.seconds > 0 && !isLooping) benchmarkSummary(benchmark, sceneSumName());
        } else {
            // A texture that would not load: its box has been shown.
            appRequestQuit(&window);
            status = 1;
        }
        sceneShutdown();
        windowDestroy(&window);
    }

    platformUnregisterClass(application.className, application.instance);
    // Figures that never reached their reader make no finished benchmark.
    if (benchmark.unwritten) {
        platformWarn("the benchmark's lines could not be written to the standard output");
        if (status == 0) status = 1;
    }
    return status;
}
