// The application shell against the fake system layer, as one table: what
// the user answers and what the system refuses, the messages that arrive
// between frames, and what comes of them: the exit status, the boxes, and
// the trace of system calls and scene hooks in order. A new case is a row.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/window_proc.h"
#include "draw/draw.h"
#include "platform_fake.h"

namespace {

// Queued for the live window after the frame of that index (0 = first) has
// been swapped, or, with a negative index, at that WaitMessage (-1 = first).
struct Event {
    int at;
    uint32_t message;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// The trace holds every call, boxes included, each followed by a space;
// waitMs is the time passing at each wait.
struct Row {
    const char* name;
    std::vector<int> answers;
    std::vector<Event> events;
    std::string trace;
    int status = 0;
    bool FakePlatform::*fails = nullptr;
    uint32_t tick = 1000000, tickStep = 16, waitMs = 0;
    int32_t sceneReady = 1;
    const char* gl = nullptr;  // TENEBREL_GL
    Settings settings = {nullptr, nullptr, -1, 0, -1, -1.0f};
    std::string printed = "";  // on stdout, but for the driver's names and the window's size
};

std::string warning(const std::string& text) {
    return "MessageBox(" + text + "|Error|0x30) ";
}

// The pieces of a trace. The scene hooks below add "init(w)" or "init(f)"
// by the window's mode, "update(ms,held keys)", "draw" and "shutdown".
const std::string pixels = ",0x25/32/16/8/16/16) ";
const std::string context = "GetDC ChoosePixelFormat SetPixelFormat CreateContext ";
const std::string made = context + "MakeCurrent ShowWindow(1) ";
const std::string windowClass = "CreateWindow(OpenGL,Tenebrel,0x40000,0xCF0000,";
const std::string desktop = "SetGLKind(0) ";
const std::string windowed =
    "AdjustWindowRect " + desktop + windowClass + "808x628" + pixels + made + "init(w) ";
const std::string full = "ChangeDisplaySettings(800x600x32) ShowCursor(0) " + desktop +
                         "CreateWindow(OpenGL,Tenebrel,0x40008,0x80000000,800x600" + pixels + made +
                         "init(f) ";
const std::string refused = "ChangeDisplaySettings(800x600x32) " +
                            warning("Mode Switch Failed.\nRunning In Windowed Mode.") + desktop +
                            windowClass + "800x600" + pixels + made + "init(w) ";
const std::string frame = "update(16) draw SwapBuffers ";
const std::string release = "shutdown MakeCurrent(null) DeleteContext ReleaseDC DestroyWindow ";
const std::string closed = "PostMessage(0x12) " + release;
const std::string toggled = "PostMessage(0x12) DefWindowProc(0x401,0x0) " + release;
const std::string restored = "ChangeDisplaySettings(null) ShowCursor(1) ";
const std::string start =
    "MessageBox(Would You Like To Run In Fullscreen Mode?|Start FullScreen?|0x24) RegisterClass ";
const std::string end = "UnregisterClass ";
const std::string creating =
    start + "AdjustWindowRect " + desktop + windowClass + "808x628" + pixels;

// A windowed run of one frame, then `rest`, then closed.
std::string windowedRun(const std::string& rest) {
    return start + windowed + frame + rest + closed + end;
}

// A row run with the start-up question answered on the command line.
Row answered(Row row, int32_t fullScreen) {
    row.settings.fullScreen = fullScreen;
    return row;
}

// "update(100) pose(...) draw SwapBuffers" for frames 1 to count - 1 of a
// path of `seconds`, 100 ms each.
std::string poses(int count, int seconds) {
    std::string frames;
    char frame[64];
    for (int i = 1; i < count; ++i) {
        const float fraction = static_cast<float>(i * 100) / static_cast<float>(seconds * 1000);
        std::snprintf(frame, sizeof frame, "update(100) pose(%.2f) draw SwapBuffers ",
                      static_cast<double>(fraction));
        frames += frame;
    }
    return frames;
}

// A benchmark of `seconds` at ten frames a second, with `events`: its
// window's first frame, then `frames`, and its lines after the first.
Row benchmarked(const char* name, int32_t seconds, std::vector<Event> events,
                const std::string& frames, const std::string& lines) {
    Row row{name,
            {},
            events,
            "RegisterClass " + windowed + "update(100) pose(0.00) draw SwapBuffers " + frames +
                closed + end};
    row.tickStep = 100, row.waitMs = 60000, row.settings = {nullptr, nullptr, 0, seconds, -1, -1.0f};
    row.printed = "benchmark: " + std::to_string(seconds) +
                  " seconds along a fixed path through the room\n" + lines;
    return row;
}

// A window whose making fails at `flag`, after the calls in `tail`.
Row failing(const char* name, bool FakePlatform::*flag, const std::string& tail) {
    const std::string trace = creating + tail + warning("Error Creating OpenGL Window") + end;
    return Row{name, {IDNO}, {}, trace, 1, flag};
}

const Row rows[] = {
    {"NoGivesAWindowWithAClientAreaOf800x600", {IDNO}, {{1, WM_CLOSE}}, windowedRun(frame)},
    {"YesGivesFullscreenAndTheDisplayBackAtTheEnd",
     {IDYES},
     {{0, WM_CLOSE}},
     start + full + frame + closed + restored + end},
    {"AFailedBoxCountsAsYes", {0}, {{0, WM_CLOSE}}, start + full + frame + closed + restored + end},
    // The outer size stays the one asked for; the toggle then asks for a window again.
    {"ARefusedModeWarnsOnceAndRunsInAWindow",
     {IDYES},
     {{0, WM_TOGGLE_FULLSCREEN}, {1, WM_CLOSE}},
     start + refused + frame + toggled + windowed + frame + closed + end,
     0,
     &FakePlatform::displayModeRefused},
    {"NoWindowClassExitsWithMinusOne",
     {IDNO},
     {},
     start + warning("RegisterClassEx Failed!") + warning("Error Registering Window Class!"),
     -1,
     &FakePlatform::registerFails},
    failing("NoWindow", &FakePlatform::createWindowFails, ""),
    failing("NoDeviceContext", &FakePlatform::getDCFails, "GetDC DestroyWindow "),
    failing("NoPixelFormat", &FakePlatform::choosePixelFormatFails,
            "GetDC ChoosePixelFormat ReleaseDC DestroyWindow "),
    failing("PixelFormatNotSet", &FakePlatform::setPixelFormatFails,
            "GetDC ChoosePixelFormat SetPixelFormat ReleaseDC DestroyWindow "),
    failing("NoContext", &FakePlatform::createContextFails, context + "ReleaseDC DestroyWindow "),
    failing("ContextNotCurrent", &FakePlatform::makeCurrentFails,
            context + "MakeCurrent DeleteContext ReleaseDC DestroyWindow "),
    // A failed start gives the display and the cursor back, and says so in its status.
    {"AFailedFullscreenWindowGivesTheDisplayBack",
     {IDYES},
     {},
     start + "ChangeDisplaySettings(800x600x32) ShowCursor(0) " + desktop +
         "CreateWindow(OpenGL,Tenebrel,0x40008,"
         "0x80000000,800x600" +
         pixels + warning("Error Creating OpenGL Window") + restored + end,
     1,
     &FakePlatform::createWindowFails},
    {"AFailedSceneDrawsNothingAndEnds",
     {IDNO},
     {},
     start + windowed + closed + end,
     1,
     nullptr,
     1000000,
     16,
     0,
     0},
    {"TicksAcrossTheCounterWrap",
     {IDNO},
     {{1, WM_CLOSE}},
     start + windowed + "update(10) draw SwapBuffers update(10) draw SwapBuffers " + closed + end,
     0,
     nullptr,
     0xFFFFFFF0u,
     10},
    {"AQuitWhileMinimisedEndsAtOnce",
     {IDNO},
     {{0, WM_SIZE, SIZE_MINIMIZED}, {-1, WM_CLOSE}},
     windowedRun("WaitMessage ")},
    // Minimised, the shell waits for messages; time passes meanwhile, and the
    // first frame after gets all of it. Maximised or restored (even to a
    // height of 0) shows the window again.
    {"SizeMessagesFollowVisibility",
     {IDNO},
     {{0, WM_SIZE, SIZE_MINIMIZED},
      {-1, 0x200},
      {-2, WM_SIZE, SIZE_MAXIMIZED, 1024 | (768 << 16)},
      {1, WM_SIZE, SIZE_MAXSHOW},
      {1, WM_SIZE, SIZE_MAXHIDE},
      {1, WM_SIZE, SIZE_MINIMIZED},
      {-3, WM_SIZE, SIZE_RESTORED, 800},
      {2, WM_CLOSE}},
     start + windowed +
         "update(5) draw SwapBuffers WaitMessage DefWindowProc(0x200,0x0) "
         "WaitMessage update(120005) draw SwapBuffers DefWindowProc(0x5,0x3) "
         "DefWindowProc(0x5,0x4) WaitMessage update(60005) draw SwapBuffers " +
         closed + end,
     0,
     nullptr,
     1000000,
     5,
     60000},
    // The key held across the toggle reads as released in the new window.
    {"TheToggleRemakesTheWindowInTheOtherMode",
     {IDNO},
     {{0, WM_KEYDOWN, 'J'}, {0, WM_TOGGLE_FULLSCREEN}, {1, WM_TOGGLE_FULLSCREEN}, {2, WM_CLOSE}},
     start + windowed + frame + toggled + full + frame + toggled + restored + windowed + frame +
         closed + end},
    // Repeats keep a key down (J is 74, held is 1); codes past the table and
    // keys pressed with Alt go to the default handling and leave the table
    // alone, but a key let go with Alt held is let go. Losing the focus lets
    // every key go: their key-ups would reach another window.
    // The screen saver and monitor power are kept away, by exact value only.
    {"KeysAndSystemCommands",
     {IDNO},
     {{0, WM_KEYDOWN, 'J'},
      {0, WM_KEYDOWN, 'J'},
      {0, WM_KEYDOWN, 255},
      {1, WM_KEYUP, 'J'},
      {1, WM_KEYDOWN, 256},
      {1, WM_KEYUP, 0x10000},
      {1, WM_SYSKEYDOWN, 'A'},
      {1, WM_KEYDOWN, static_cast<uintptr_t>(-1)},
      {1, WM_SYSCOMMAND, SC_SCREENSAVE},
      {1, WM_SYSCOMMAND, SC_MONITORPOWER},
      {1, WM_SYSCOMMAND, SC_SCREENSAVE | 1},
      {1, WM_SYSCOMMAND, SC_MONITORPOWER | 2},
      {2, WM_SYSKEYUP, 255},
      {2, WM_KEYDOWN, 'J'},
      {2, WM_KEYDOWN, 'L'},
      {3, WM_KILLFOCUS},
      {4, WM_CLOSE}},
     windowedRun("update(16,74=1,255=1) draw SwapBuffers DefWindowProc(0x100,0x100) "
                 "DefWindowProc(0x101,0x10000) DefWindowProc(0x104,0x41) "
                 "DefWindowProc(0x100,0xFFFFFFFF) DefWindowProc(0x112,0xF141) "
                 "DefWindowProc(0x112,0xF172) update(16,255=1) draw SwapBuffers "
                 "DefWindowProc(0x105,0xFF) update(16,74=1,76=1) draw SwapBuffers "
                 "update(16) draw SwapBuffers ")},
    // OpenGL ES asked for: where the system makes none, or its context is
    // not ES 3.0 (this fake's has no GL at all), one line says so and the
    // window is made again for desktop GL.
    {"Es3RefusedDrawsWithGl1",
     {IDNO},
     {{0, WM_CLOSE}},
     start + "AdjustWindowRect SetGLKind(1) SetGLKind(0) " + windowClass + "808x628" + pixels +
         made + "init(w) " + frame + closed + end,
     0,
     &FakePlatform::es3Refused,
     1000000,
     16,
     0,
     1,
     "es3"},
    {"Es3WithoutAnEs3ContextDrawsWithGl1",
     {IDNO},
     {{0, WM_CLOSE}},
     creating.substr(0, creating.find(desktop)) + "SetGLKind(1) " + windowClass + "808x628" +
         pixels + context +
         "MakeCurrent MakeCurrent(null) DeleteContext ReleaseDC DestroyWindow SetGLKind(0) " +
         windowClass + "808x628" + pixels + made + "init(w) " + frame + closed + end,
     0,
     nullptr,
     1000000,
     16,
     0,
     1,
     "es3"},
    // The answer given ahead: no question.
    answered({"WindowedAsksNothing",
              {},
              {{0, WM_CLOSE}},
              "RegisterClass " + windowed + frame + closed + end},
             0),
    answered({"FullscreenAsksNothing",
              {},
              {{0, WM_CLOSE}},
              "RegisterClass " + full + frame + closed + restored + end},
             1),
    // The path is set after each update; the window's first frame (its
    // making) is not counted. Done, it draws no more.
    benchmarked("TheBenchmarkMeasuresEachSecondThenEnds", 2, {}, poses(20, 2) + "update(100) ",
                "second 1: 10.0 frames a second\nsecond 2: 10.0 frames a second\n"
                "summary: 20 frames in 2.0 s\n"
                "frames a second: minimum 10.0, median 10.0, maximum 10.0\n"
                "renderer: gl1\nway of summing: counted\n"),
    // Minimised, the path waits: the time until it shows again is left out.
    benchmarked("TheBenchmarkLeavesOutTheTimeMinimised", 10,
                {{1, WM_SIZE, SIZE_MINIMIZED}, {-1, WM_SIZE, SIZE_RESTORED}, {3, WM_CLOSE}},
                poses(2, 10) + "WaitMessage update(60100) pose(0.01) draw SwapBuffers "
                               "update(100) pose(0.02) draw SwapBuffers ",
                "ended early: 0 of 10 seconds measured\nsummary: 2 frames in 0.2 s\n"
                "renderer: gl1\nway of summing: counted\n"
                "left out: 60.1 s while the window was minimised or hidden\n"),
};

class Shell : public ::testing::TestWithParam<Row> {};

KeyTable* firstKeys = nullptr;
GLWindow* firstWindow = nullptr;
int32_t sceneReady = 1;

}  // namespace

int32_t sceneInit(GLWindow* window, KeyTable* keys) {
    // The records keep their addresses for the whole run, across windows.
    if (firstWindow == nullptr) firstWindow = window, firstKeys = keys;
    EXPECT_TRUE(window == firstWindow && keys == firstKeys);
    fake().calls.push_back(window->isFullScreen ? "init(f)" : "init(w)");
    return sceneReady;
}

void sceneUpdate(uint32_t elapsedMs) {
    std::string held;
    for (int key = 0; key < 256; ++key) {
        const int32_t entry = firstKeys->entries[key];
        if (entry != 0) held += "," + std::to_string(key) + "=" + std::to_string(entry);
    }
    fake().calls.push_back("update(" + std::to_string(elapsedMs) + held + ")");
}

void sceneDraw() {
    fake().calls.push_back("draw");
}

void sceneShutdown() {
    fake().calls.push_back("shutdown");
}

void scenePathPose(float fraction) {
    char pose[32];
    std::snprintf(pose, sizeof pose, "pose(%.2f)", static_cast<double>(fraction));
    fake().calls.push_back(pose);
}

const char* sceneSumName() {
    return "counted";
}

TEST_P(Shell, Run) {
    const Row& row = GetParam();
    fakeReset();
    firstWindow = nullptr, firstKeys = nullptr, sceneReady = row.sceneReady;
    fake().boxAnswers = row.answers, fake().tick = row.tick, fake().tickStep = row.tickStep;
    if (row.fails != nullptr) fake().*row.fails = true;
    int waits = 0;
    fake().onSwap = [&row](int at) {
        for (const Event& e : row.events) {
            if (e.at == at) fake().queue.push_back({fake().window, e.message, e.wParam, e.lParam});
        }
    };
    fake().onWait = [&]() { fake().tick += row.waitMs, fake().onSwap(-++waits); };

    if (row.gl != nullptr && !drawRendererBuilt(drawRendererEs3))
        GTEST_SKIP() << "no es3 in this build";
    if (row.gl != nullptr)
        fakeSetVariable("TENEBREL_GL", row.gl), ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(appRun(nullptr, row.settings), row.status);
    // The driver's names and the drawing area's size are the system's.
    std::string printed = ::testing::internal::GetCapturedStdout();
    for (const char* line : {"GL vendor: ", "GL renderer: ", "window: "}) {
        const size_t at = printed.find(line);
        if (at != std::string::npos) printed.erase(at, printed.find('\n', at) + 1 - at);
    }
    EXPECT_EQ(printed, row.printed);
    if (row.gl != nullptr) {
        fakeSetVariable("TENEBREL_GL", nullptr);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("OpenGL ES 3.0 cannot be had ("), std::string::npos) << said;
        EXPECT_NE(said.find("): drawing with gl1\n"), std::string::npos) << said;
    }
    std::string trace;
    for (const std::string& call : fake().calls) trace += call + " ";
    EXPECT_EQ(trace, row.trace);
}

INSTANTIATE_TEST_SUITE_P(Table, Shell, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

TEST(WindowProcedure, MessagesToAWindowWithoutItsRecordAreHarmless) {
    const std::pair<uint32_t, uintptr_t> messages[] = {
        {WM_SIZE, SIZE_RESTORED}, {WM_SIZE, SIZE_MINIMIZED}, {WM_KEYDOWN, 'A'}, {WM_CLOSE, 0}};
    for (auto m : messages) EXPECT_EQ(windowMessageHandler(nullptr, m.first, m.second, 800), 0);
}
