// The application shell against the fake system layer: start-up question,
// window creation and its failures, the pump, the toggle and the window
// procedure. The scene hooks here only record what the shell asks of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/window.h"
#include "app/window_proc.h"
#include "platform_fake.h"

namespace {

struct SceneRecord {
    std::vector<std::string> calls;
    std::vector<uint32_t> elapsed;
    int32_t initResult = 1;
    GLWindow* window = nullptr;
    KeyTable* keys = nullptr;
    std::vector<GLWindow*> windowsSeen;
    std::vector<KeyTable*> keysSeen;
    std::vector<int32_t> modesSeen;  // isFullScreen at each sceneInit
};

SceneRecord scene;

void pressKey(int code, uint32_t message = WM_KEYDOWN) {
    platformPostMessage(fake().window, message, static_cast<uintptr_t>(code), 0);
}

// Ends the program after `frames` frames by closing the window.
void closeAfterFrames(int frames) {
    fake().onSwap = [frames](int frame) {
        if (frame + 1 == frames) platformPostMessage(fake().window, WM_CLOSE, 0, 0);
    };
}

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        fakeReset();
        scene = SceneRecord();
        isLooping = 0;
        fullScreenRequested = 0;
    }
};

}  // namespace

int32_t sceneInit(GLWindow* window, KeyTable* keys) {
    scene.calls.push_back("init");
    scene.window = window;
    scene.keys = keys;
    scene.windowsSeen.push_back(window);
    scene.keysSeen.push_back(keys);
    scene.modesSeen.push_back(window->isFullScreen);
    return scene.initResult;
}

void sceneUpdate(uint32_t elapsedMs) {
    scene.calls.push_back("update");
    scene.elapsed.push_back(elapsedMs);
}

void sceneDraw() {
    scene.calls.push_back("draw");
}

void sceneShutdown() {
    scene.calls.push_back("shutdown");
}

// ------------------------------------------------------------ start-up
TEST_F(Shell, AnsweringNoRunsWindowedWithAClientAreaOf800x600) {
    fake().boxAnswers = {IDNO};
    closeAfterFrames(3);
    EXPECT_EQ(appRun(nullptr), 0);

    ASSERT_GE(fake().boxes.size(), 1u);
    const FakeBox& question = fake().boxes[0];
    EXPECT_EQ(question.text, "Would You Like To Run In Fullscreen Mode?");
    EXPECT_EQ(question.caption, "Start FullScreen?");
    EXPECT_EQ(question.style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_EQ(fake().boxes.size(), 1u);

    ASSERT_EQ(fake().windows.size(), 1u);
    const FakeWindowRecord& made = fake().windows[0];
    EXPECT_EQ(made.title, "Tenebrel");
    EXPECT_EQ(made.className, "OpenGL");
    EXPECT_EQ(made.style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(made.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(made.x, 0);
    EXPECT_EQ(made.y, 0);
    // The fake's frame is 4 + 4 wide and 24 + 4 high.
    EXPECT_EQ(made.width, 808);
    EXPECT_EQ(made.height, 628);
    EXPECT_EQ(fakeCount("ChangeDisplaySettings"), 0);
    EXPECT_EQ(fakeCount("ShowCursor"), 0);

    // The framebuffer asked for: double-buffered RGBA with depth, stencil and
    // accumulation buffers.
    ASSERT_EQ(fake().pixelRequests.size(), 1u);
    const PlatformPixelFormat& request = fake().pixelRequests[0];
    EXPECT_EQ(request.flags, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
    EXPECT_EQ(request.colorBits, 32);
    EXPECT_EQ(request.depthBits, 16);
    EXPECT_EQ(request.stencilBits, 1);
    EXPECT_EQ(request.accumRedBits, 16);
    EXPECT_EQ(request.accumAlphaBits, 16);

    const PlatformWindowClass& windowClass = fake().registeredClass;
    EXPECT_EQ(windowClass.style, CS_HREDRAW | CS_VREDRAW | CS_OWNDC);
    EXPECT_EQ(windowClass.windowProc, &windowMessageHandler);
    EXPECT_NE(windowClass.cursor, nullptr);
    EXPECT_EQ(fakeCount("UnregisterClass"), 1);
}

TEST_F(Shell, YesOrAFailedBoxRunsFullscreenAndRestoresTheDisplayAtTheEnd) {
    for (int answer : {static_cast<int>(IDYES), 0}) {
        fakeReset();
        scene = SceneRecord();
        fake().boxAnswers = {answer};
        closeAfterFrames(1);
        EXPECT_EQ(appRun(nullptr), 0);
        ASSERT_EQ(fake().windows.size(), 1u);
        EXPECT_EQ(fake().windows[0].style, WS_POPUP);
        EXPECT_EQ(fake().windows[0].exStyle, WS_EX_APPWINDOW | WS_EX_TOPMOST);
        EXPECT_EQ(fake().windows[0].width, 800);
        EXPECT_EQ(fake().windows[0].height, 600);
        EXPECT_EQ(fakeFind("ChangeDisplaySettings(800x600x32)"), fakeFind("ChangeDisplaySettings"));
        // Hidden for the window's life, shown again after the mode is back.
        const int hide = fakeFind("ShowCursor(0)");
        const int destroy = fakeFind("DestroyWindow");
        const int restore = fakeFind("ChangeDisplaySettings(null)");
        const int show = fakeFind("ShowCursor(1)");
        EXPECT_LT(hide, fakeFind("CreateWindow"));
        EXPECT_LT(destroy, restore);
        EXPECT_LT(restore, show);
        EXPECT_EQ(fake().cursorShown, 0);
        EXPECT_EQ(fake().boxes.size(), 1u);
    }
}

TEST_F(Shell, ARefusedModeWarnsOnceAndRunsInAFrameOfTheRequestedOuterSize) {
    fake().boxAnswers = {IDYES};
    fake().displayModeRefused = true;
    closeAfterFrames(1);
    EXPECT_EQ(appRun(nullptr), 0);
    ASSERT_EQ(fake().boxes.size(), 2u);
    EXPECT_EQ(fake().boxes[1].text, "Mode Switch Failed.\nRunning In Windowed Mode.");
    EXPECT_EQ(fake().boxes[1].caption, "Error");
    EXPECT_EQ(fake().boxes[1].style, MB_ICONWARNING);
    EXPECT_EQ(fake().boxes[1].owner, nullptr);
    ASSERT_EQ(fake().windows.size(), 1u);
    EXPECT_EQ(fake().windows[0].style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(fake().windows[0].width, 800);
    EXPECT_EQ(fake().windows[0].height, 600);
    EXPECT_EQ(fakeCount("AdjustWindowRect"), 0);
    EXPECT_EQ(fakeCount("ShowCursor"), 0);
    // The program never switched, so it has nothing to switch back.
    EXPECT_EQ(fakeCount("ChangeDisplaySettings(null)"), 0);
}

TEST_F(Shell, ARegistrationFailureShowsBothBoxesAndExitsWithMinusOne) {
    fake().boxAnswers = {IDNO};
    fake().registerFails = true;
    EXPECT_EQ(appRun(nullptr), -1);
    ASSERT_EQ(fake().boxes.size(), 3u);
    EXPECT_EQ(fake().boxes[1].text, "RegisterClassEx Failed!");
    EXPECT_EQ(fake().boxes[2].text, "Error Registering Window Class!");
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(fake().boxes[i].caption, "Error");
        EXPECT_EQ(fake().boxes[i].style, MB_ICONWARNING);
        EXPECT_EQ(fake().boxes[i].owner, nullptr);
    }
    EXPECT_EQ(fakeCount("CreateWindow"), 0);
    EXPECT_EQ(fakeCount("UnregisterClass"), 0);
    EXPECT_TRUE(scene.calls.empty());
}

// ------------------------------------------------------------ creation failures
TEST_F(Shell, EachCreationFailureReleasesWhatItMadeInReverseOrder) {
    struct Case {
        const char* name;
        bool FakePlatform::*flag;
        std::vector<std::string> tail;  // the calls from CreateWindow on
    };
    const std::vector<Case> cases = {
        {"window", &FakePlatform::createWindowFails, {"CreateWindow"}},
        {"device context", &FakePlatform::getDCFails, {"CreateWindow", "GetDC", "DestroyWindow"}},
        {"pixel format",
         &FakePlatform::choosePixelFormatFails,
         {"CreateWindow", "GetDC", "ChoosePixelFormat", "ReleaseDC", "DestroyWindow"}},
        {"setting the format",
         &FakePlatform::setPixelFormatFails,
         {"CreateWindow", "GetDC", "ChoosePixelFormat", "SetPixelFormat", "ReleaseDC",
          "DestroyWindow"}},
        {"context",
         &FakePlatform::createContextFails,
         {"CreateWindow", "GetDC", "ChoosePixelFormat", "SetPixelFormat", "CreateContext",
          "ReleaseDC", "DestroyWindow"}},
        {"making it current",
         &FakePlatform::makeCurrentFails,
         {"CreateWindow", "GetDC", "ChoosePixelFormat", "SetPixelFormat", "CreateContext",
          "MakeCurrent", "DeleteContext", "ReleaseDC", "DestroyWindow"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakeReset();
        scene = SceneRecord();
        fake().boxAnswers = {IDNO};
        fake().*(c.flag) = true;
        EXPECT_EQ(appRun(nullptr), 0);

        const int start = fakeFind("CreateWindow");
        ASSERT_GE(start, 0);
        std::vector<std::string> tail;
        for (size_t i = start; i < fake().calls.size(); ++i) {
            const std::string& call = fake().calls[i];
            if (call.rfind("MessageBox", 0) == 0) break;
            if (call.rfind("AdjustWindowRect", 0) == 0) continue;
            tail.push_back(call);
        }
        EXPECT_EQ(tail, c.tail);
        ASSERT_EQ(fake().boxes.size(), 2u);
        EXPECT_EQ(fake().boxes[1].text, "Error Creating OpenGL Window");
        EXPECT_EQ(fake().boxes[1].caption, "Error");
        EXPECT_EQ(fake().boxes[1].style, MB_ICONWARNING);
        EXPECT_EQ(fake().boxes[1].owner, nullptr);
        EXPECT_TRUE(scene.calls.empty()) << "no scene hook runs for a window never made";
        EXPECT_EQ(isLooping, 0);
        EXPECT_EQ(fakeCount("UnregisterClass"), 1);
    }
}

TEST_F(Shell, AFailedSceneDrawsNoFrameButIsShutDownOnce) {
    fake().boxAnswers = {IDNO};
    scene.initResult = 0;
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(scene.calls, (std::vector<std::string>{"init", "shutdown"}));
    EXPECT_EQ(fakeCount("SwapBuffers"), 0);
    EXPECT_EQ(fakeCount("DestroyWindow"), 1);
    EXPECT_EQ(fakeCount("CreateWindow"), 1);
}

// ------------------------------------------------------------ pump
TEST_F(Shell, FramesRunUpdateDrawSwapWithTheTicksBetweenThem) {
    fake().boxAnswers = {IDNO};
    fake().tickStep = 7;
    closeAfterFrames(3);
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(scene.calls, (std::vector<std::string>{"init", "update", "draw", "update", "draw",
                                                     "update", "draw", "shutdown"}));
    // One tick is read when the window is made, then one per frame.
    EXPECT_EQ(scene.elapsed, (std::vector<uint32_t>{7, 7, 7}));
    EXPECT_EQ(fakeCount("SwapBuffers"), 3);
}

TEST_F(Shell, TheTickDifferenceIsTrueAcrossTheCounterWrapping) {
    fake().boxAnswers = {IDNO};
    fake().tick = 0xFFFFFFF0u;
    fake().tickStep = 10;
    closeAfterFrames(3);
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(scene.elapsed, (std::vector<uint32_t>{10, 10, 10}));
}

TEST_F(Shell, WhileMinimisedNoFrameRunsAndTheFirstFrameAfterGetsTheWholeTime) {
    fake().boxAnswers = {IDNO};
    fake().tickStep = 5;
    int waits = 0;
    fake().onSwap = [](int frame) {
        if (frame == 0) platformPostMessage(fake().window, WM_SIZE, SIZE_MINIMIZED, 0);
        if (frame == 1) platformPostMessage(fake().window, WM_CLOSE, 0, 0);
    };
    fake().onWait = [&waits]() {
        ++waits;
        // Time passes while minimised; the program must not look at it.
        fake().tick += 60000;
        if (waits == 3) {
            platformPostMessage(fake().window, WM_SIZE, SIZE_RESTORED, 800 | (600 << 16));
        } else {
            platformPostMessage(fake().window, 0x0200 /* a mouse move */, 0, 0);
        }
    };
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(fakeCount("WaitMessage"), 3);
    EXPECT_EQ(fakeCount("SwapBuffers"), 2);
    ASSERT_EQ(scene.elapsed.size(), 2u);
    EXPECT_EQ(scene.elapsed[0], 5u);
    EXPECT_EQ(scene.elapsed[1], 5u + 3u * 60000u);
}

TEST_F(Shell, AQuitWhileMinimisedEndsThePumpAtOnce) {
    fake().boxAnswers = {IDNO};
    fake().onSwap = [](int frame) {
        if (frame == 0) platformPostMessage(fake().window, WM_SIZE, SIZE_MINIMIZED, 0);
    };
    fake().onWait = []() { platformPostMessage(fake().window, WM_CLOSE, 0, 0); };
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(fakeCount("WaitMessage"), 1);
    EXPECT_EQ(fakeCount("SwapBuffers"), 1);
    EXPECT_EQ(scene.calls.back(), "shutdown");
}

TEST_F(Shell, ClosingTheWindowEndsTheProgramAfterShutdownAndDestroy) {
    fake().boxAnswers = {IDNO};
    closeAfterFrames(1);
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(isLooping, 0);
    EXPECT_EQ(scene.calls.back(), "shutdown");
    // The procedure consumed WM_CLOSE: the default handling (which would
    // destroy the window) never saw it, and the shell destroyed it once.
    EXPECT_EQ(fakeCount("DefWindowProc(0x10,"), 0);
    EXPECT_EQ(fakeCount("DestroyWindow"), 1);
    EXPECT_LT(fakeFind("MakeCurrent(null)"), fakeFind("DeleteContext"));
    EXPECT_LT(fakeFind("DeleteContext"), fakeFind("ReleaseDC"));
    EXPECT_LT(fakeFind("ReleaseDC"), fakeFind("DestroyWindow"));
}

// ------------------------------------------------------------ the toggle
TEST_F(Shell, TheToggleRemakesTheWindowInTheOtherModeWithTheSameRecords) {
    fake().boxAnswers = {IDNO};
    fake().onSwap = [](int frame) {
        if (frame == 0) {
            // A key held across the toggle reads as released afterwards.
            pressKey('J');
            platformPostMessage(fake().window, WM_TOGGLE_FULLSCREEN, 0, 0);
        }
        if (frame == 1) {
            EXPECT_EQ(scene.keys->entries['J'], 0);
            platformPostMessage(fake().window, WM_TOGGLE_FULLSCREEN, 0, 0);
        }
        if (frame == 2) platformPostMessage(fake().window, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(appRun(nullptr), 0);
    EXPECT_EQ(scene.modesSeen, (std::vector<int32_t>{0, 1, 0}));
    ASSERT_EQ(scene.windowsSeen.size(), 3u);
    EXPECT_EQ(scene.windowsSeen[0], scene.windowsSeen[1]);
    EXPECT_EQ(scene.windowsSeen[1], scene.windowsSeen[2]);
    EXPECT_EQ(scene.keysSeen[0], scene.keysSeen[2]);
    EXPECT_EQ(fakeCount("CreateWindow"), 3);
    EXPECT_EQ(fakeCount("DestroyWindow"), 3);
    ASSERT_EQ(fake().windows.size(), 3u);
    EXPECT_EQ(fake().windows[0].style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(fake().windows[1].style, WS_POPUP);
    EXPECT_EQ(fake().windows[2].style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(fakeCount("ChangeDisplaySettings(null)"), 1);
    EXPECT_EQ(fake().cursorShown, 0);
    EXPECT_EQ(scene.calls, (std::vector<std::string>{"init", "update", "draw", "shutdown", "init",
                                                     "update", "draw", "shutdown", "init",
                                                     "update", "draw", "shutdown"}));
}

TEST_F(Shell, AfterARefusedSwitchTheToggleStillAsksForWindowed) {
    fake().boxAnswers = {IDYES};
    fake().displayModeRefused = true;
    fake().onSwap = [](int frame) {
        if (frame == 0) platformPostMessage(fake().window, WM_TOGGLE_FULLSCREEN, 0, 0);
        if (frame == 1) platformPostMessage(fake().window, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(appRun(nullptr), 0);
    // One warning only: the second window was asked for windowed.
    EXPECT_EQ(fake().boxes.size(), 2u);
    EXPECT_EQ(fakeCount("ChangeDisplaySettings"), 1);
    EXPECT_EQ(scene.modesSeen, (std::vector<int32_t>{0, 0}));
}

// ------------------------------------------------------------ the window procedure
class WindowProcedure : public Shell {
protected:
    GLWindow window{};
    KeyTable keys{};
    PlatformWindow* handle = nullptr;

    void SetUp() override {
        Shell::SetUp();
        window.keys = &keys;
        PlatformWindowClass windowClass{};
        windowClass.windowProc = windowMessageHandler;
        windowClass.className = "OpenGL";
        platformRegisterClass(&windowClass);
        PlatformPixelFormat format{};
        handle = platformCreateWindow(0, "OpenGL", "t", 0, 0, 0, 10, 10, nullptr, &window, &format);
        fake().calls.clear();
    }
    intptr_t send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
        return windowMessageHandler(handle, message, wParam, lParam);
    }
};

TEST_F(WindowProcedure, KeysSetAndClearTheirEntriesOnly) {
    EXPECT_EQ(send(WM_KEYDOWN, 'J'), 0);
    EXPECT_EQ(send(WM_KEYDOWN, 'J'), 0);  // repeats keep it down
    EXPECT_EQ(keys.entries['J'], 1);
    EXPECT_EQ(send(WM_KEYDOWN, 255), 0);
    EXPECT_EQ(keys.entries[255], 1);
    EXPECT_EQ(send(WM_KEYUP, 'J'), 0);
    EXPECT_EQ(keys.entries['J'], 0);
    EXPECT_EQ(fakeCount("DefWindowProc"), 0);

    // Codes past the table, and the system's keys, leave the table alone and
    // get the default handling.
    KeyTable before = keys;
    EXPECT_EQ(send(WM_KEYDOWN, 256), 77);
    EXPECT_EQ(send(WM_KEYUP, 0x10000), 77);
    EXPECT_EQ(send(WM_KEYDOWN, static_cast<uintptr_t>(-1)), 77);
    EXPECT_EQ(send(WM_SYSKEYDOWN, 'J'), 77);
    EXPECT_EQ(send(WM_SYSKEYDOWN, VK_F10), 77);
    EXPECT_EQ(send(WM_SYSKEYUP, 255), 77);
    EXPECT_EQ(0, memcmp(&before, &keys, sizeof keys));
}

TEST_F(WindowProcedure, ScreenSaverAndMonitorPowerAreSwallowedOnlyAsExactValues) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(fakeCount("DefWindowProc"), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE | 1), 77);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER | 2), 77);
    EXPECT_EQ(send(WM_SYSCOMMAND, 0xF060 /* close */), 77);
    EXPECT_EQ(fakeCount("DefWindowProc"), 3);
}

TEST_F(WindowProcedure, SizeMessagesFollowVisibility) {
    window.isVisible = 1;
    EXPECT_EQ(send(WM_SIZE, SIZE_MINIMIZED), 0);
    EXPECT_EQ(window.isVisible, 0);
    EXPECT_EQ(send(WM_SIZE, SIZE_MAXIMIZED, 1024 | (768 << 16)), 0);
    EXPECT_EQ(window.isVisible, 1);
    window.isVisible = 0;
    EXPECT_EQ(send(WM_SIZE, SIZE_RESTORED, 800 | (0 << 16)), 0);  // a height of 0
    EXPECT_EQ(window.isVisible, 1);
    EXPECT_EQ(send(WM_SIZE, SIZE_MAXSHOW), 77);
    EXPECT_EQ(send(WM_SIZE, SIZE_MAXHIDE), 77);
    EXPECT_EQ(window.isVisible, 1);
}

TEST_F(WindowProcedure, MessagesBeforeCreationAreHarmless) {
    // A window whose record was never stored: every message is survivable.
    fake().windowUserData = nullptr;
    EXPECT_EQ(send(WM_SIZE, SIZE_RESTORED, 800 | (600 << 16)), 0);
    EXPECT_EQ(send(WM_SIZE, SIZE_MINIMIZED), 0);
    EXPECT_EQ(send(WM_KEYDOWN, 'A'), 0);
    EXPECT_EQ(send(WM_CLOSE, 0), 0);
    EXPECT_EQ(keys.entries['A'], 0);
}

TEST_F(WindowProcedure, TheToggleFlipsTheModeAndPostsQuitWithoutEndingTheLoop) {
    isLooping = 1;
    fullScreenRequested = 0;
    EXPECT_EQ(send(WM_TOGGLE_FULLSCREEN, 0), 77);  // then default handling
    EXPECT_EQ(fullScreenRequested, 1);
    EXPECT_EQ(isLooping, 1);
    ASSERT_EQ(fake().queue.size(), 1u);
    EXPECT_EQ(fake().queue[0].message, WM_QUIT);
    EXPECT_EQ(fake().queue[0].window, handle);
    send(WM_TOGGLE_FULLSCREEN, 0);
    EXPECT_EQ(fullScreenRequested, 0);

    EXPECT_EQ(send(WM_CLOSE, 0), 0);
    EXPECT_EQ(isLooping, 0);
}

TEST(WindowDestroy, AnEmptyRecordOnlyRestoresTheDisplayWhenFullscreen) {
    fakeReset();
    GLWindow window{};
    window.isFullScreen = 1;
    windowDestroy(&window);
    EXPECT_EQ(fake().calls,
              (std::vector<std::string>{"ChangeDisplaySettings(null)", "ShowCursor(1)"}));
    fakeReset();
    window.isFullScreen = 0;
    windowDestroy(&window);
    EXPECT_TRUE(fake().calls.empty());
}
