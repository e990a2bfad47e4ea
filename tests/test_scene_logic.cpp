// The scene's arithmetic without drawing, over the fake system layer: the
// camera's flight and mouse look, the light's keys, the Escape key, the ray
// flag, the frame-rate counter, the shadow volume's corners and the choice
// of where the passes are added.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/window_proc.h"
#include "draw/draw.h"
#include "platform_fake.h"
#include "scene/path.h"
#include "scene/scene.h"
#include "shadow/accum.h"
#include "shadow/stencil.h"
#include "shadow/volume.h"

namespace {

const float c1 = std::cos(0.1f), s1 = std::sin(0.1f), c5 = std::cos(0.5f), s5 = std::sin(0.5f);

void expectVec(Vec3 actual, Vec3 expected, float within = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, within);
    EXPECT_NEAR(actual.y, expected.y, within);
    EXPECT_NEAR(actual.z, expected.z, within);
}

// One camera frame from a pose with y up: the pitch sum before, where the
// cursor was left, the keys held and the frame's milliseconds; where eye and
// view point end, and the pitch sum after.
struct Flight {
    Vec3 eye, look;
    float pitch;
    int cursorX, cursorY;
    std::vector<int> keys;
    float ms;
    Vec3 eyeAfter, lookAfter;
    float pitchAfter;
};

const Vec3 o{0, 0, 0}, x1{1, 0, 0};
const Flight flights[] = {
    {o, x1, 0, 400, 300, {}, 100, o, x1, 0},  // the cursor at the centre: nothing happens
    {o, x1, 0, 400, 200, {}, 100, o, {c1, s1, 0}, -0.1f},       // 100 pixels up tilts up by 0.1
    {o, x1, 0, 300, 300, {'W', 'D'}, 0, o, {c1, 0, -s1}, 0},    // no time: the mouse alone turns
    {o, x1, 0, 400, 300, {'W', VK_UP}, 100, x1, {2, 0, 0}, 0},  // 100 ms: one unit, once a row
    {o, x1, 0, 400, 300, {'A'}, 100, {0, 0, -1}, {1, 0, -1}, 0},
    {o, x1, 0, 400, 300, {'W', VK_UP, 'S', VK_LEFT, 'A', VK_RIGHT}, 100, o, x1, 0},
    {o, {1, -1, 0}, 0, 400, 300, {VK_DOWN}, 141.42136f, {-1, 1, 0}, o, 0},  // along the view
    {o, {1, -1, 0}, 0, 400, 300, {'D'}, 200, {0, 0, 2}, {1, -1, 2}, 0},     // strafing keeps height
    // The pitch sum stays within [-1, 1]: at the limit a sideways turn still
    // turns; landing on it takes both turns; crossing it drops the frame's turn.
    {o, x1, 1, 300, 300, {}, 0, o, {c1, 0, -s1}, 1},
    {o, x1, 0.5f, 300, 800, {}, 0, o, {c1 * c5, -s5, -s1* c5}, 1},
    {o, x1, -0.5f, 500, -200, {}, 0, o, {c1 * c5, s5, s1* c5}, -1},
    {o, x1, 0.9f, 100, 600, {}, 0, o, x1, 1},
    {o, x1, -0.9f, 700, 0, {}, 0, o, x1, -1},
    // A quarter turn and a step right: the step goes along the frame's old right.
    {o, x1, 0, 400 - 1571, 300, {'D'}, 100, {0, 0, 1}, {cosf(1.571f), 0, 1 - sinf(1.571f)}, 0},
    // No direction (view on the eye, or along the up vector): nothing poisons the pose.
    {{1, 1, 1}, {1, 1, 1}, 0, 350, 250, {'W', 'D'}, 100, {1, 1, 1}, {1, 1, 1}, -0.05f},
    {o, {0, 1, 0}, 0, 420, 280, {'W', 'D'}, 100, {0, 1, 0}, {0, 2, 0}, -0.02f},
};

class Scene : public ::testing::Test {
   protected:
    KeyTable keys{};
    GLWindow window{};
    void SetUp() override {
        fakeReset();
        window.keys = &keys, window.windowHandle = reinterpret_cast<PlatformWindow*>(&keys);
        sceneWindow = &window, sceneKeys = &keys;  // what sceneInit keeps, without its GL context
        isLooping = 1, showRays = 0, lightPosition = Vec3{5, 1, 5};
        fpsValue = frameCount = accumulatedPitch = 0;
        lastSampleTime = fpsClockMs = fpsLastTick = fpsClockStarted = 0;
        cameraSetPose(sceneCamera, 0, 0, 0, 1, 0, 0, 0, 1, 0);
    }
    void TearDown() override { sceneWindow = nullptr, sceneKeys = nullptr; }
    void hold(std::vector<int> held) {
        std::memset(&keys, 0, sizeof keys);
        for (int key : held) keys.entries[key] = 1;
    }
};

}  // namespace

TEST_F(Scene, CameraFlights) {
    for (const Flight& f : flights) {
        SCOPED_TRACE(&f - flights);
        fakeReset();
        Camera camera;
        cameraSetPose(camera, f.eye.x, f.eye.y, f.eye.z, f.look.x, f.look.y, f.look.z, 0, 1, 0);
        camera.speed = f.ms, accumulatedPitch = f.pitch;
        fake().cursorX = f.cursorX, fake().cursorY = f.cursorY;
        for (int key : f.keys) fake().keyHeld[key] = true;
        cameraUpdate(camera);
        expectVec(camera.position, f.eyeAfter);
        expectVec(camera.viewPoint, f.lookAfter, 1e-4f);
        EXPECT_NEAR(accumulatedPitch, f.pitchAfter, 1e-6f);
        // The cursor goes back to the centre, and is left alone there.
        const bool centred = f.cursorX == 400 && f.cursorY == 300;
        EXPECT_EQ(fake().calls, std::vector<std::string>(!centred, "SetCursorPos(400,300)"));
    }
}

TEST(Camera, TurnsAreCounterClockwiseAboutTheAxisThroughTheEye) {
    const double pi = std::acos(-1.0);  // M_PI is not standard C++: MinGW has none in this mode
    const float quarter = static_cast<float>(pi / 2), s = 1 / std::sqrt(3.0f);
    const struct {
        Vec3 eye, look, axis;
        float angle;
        Vec3 after;
    } turns[] = {
        {o, x1, {0, 1, 0}, quarter, {0, 0, -1}},
        {{1, 2, 3}, {3, 2, 3}, {0, 1, 0}, static_cast<float>(pi), {-1, 2, 3}},
        {o, {1, 2, 3}, {s, s, s}, static_cast<float>(2 * pi / 3), {3, 1, 2}},  // cycles the axes
        {o, x1, {0, 1, 0}, INFINITY, x1},  // a turn to no number is dropped
    };
    for (const auto& t : turns) {
        Camera camera;
        cameraSetPose(camera, t.eye.x, t.eye.y, t.eye.z, t.look.x, t.look.y, t.look.z, 0, 1, 0);
        cameraRotateView(camera, t.angle, t.axis.x, t.axis.y, t.axis.z);
        expectVec(camera.viewPoint, t.after);
        expectVec(camera.position, t.eye);
    }
    // Poses with a number that is not finite, and moves that overflow, are refused.
    Camera camera;
    cameraSetPose(camera, 3e38f, 0, 0, 3.1e38f, 0, 0, 0, 1, 0);
    cameraSetPose(camera, 0, 0, 0, INFINITY, 0, 0, 0, 1, 0);
    cameraAdvance(camera, 1e38f);
    expectVec(camera.position, {3e38f, 0, 0}, 0);
    // Normalising keeps the direction of finite vectors out of range.
    expectVec(vecNormalize(Vec3{3e30f, 4e30f, 0}), {0.6f, 0.8f, 0});
    expectVec(vecNormalize(Vec3{0, 3e-30f, -4e-30f}), {0, 0.6f, -0.8f});
    expectVec(vecNormalize(Vec3{1, std::nanf(""), 0}), o);
}

TEST_F(Scene, EachLightKeyMovesItsAxisAHundredthOfAUnitPerMillisecond) {
    const struct {
        std::vector<int> keys;
        uint32_t ms;
        Vec3 after;
    } cases[] = {
        {{'I', VK_SPACE}, 250, {5, -1.5f, 5}},
        {{'K'}, 250, {5, 3.5f, 5}},
        {{'L'}, 250, {2.5f, 1, 5}},
        {{'J'}, 250, {7.5f, 1, 5}},
        {{'U'}, 250, {5, 1, 2.5f}},
        {{'O'}, 250, {5, 1, 7.5f}},
        {{'I', 'K', 'L', 'J', 'U', 'O'}, 300, {5, 1, 5}},
        {{'J'}, 0, {5, 1, 5}},
        {{'J'}, 5000, {55, 1, 5}},  // through the wall: it is unbounded
    };
    for (const auto& c : cases) {
        lightPosition = Vec3{5, 1, 5};
        hold(c.keys);
        sceneUpdate(c.ms);
        expectVec(lightPosition, c.after);
        EXPECT_EQ(showRays, keys.entries[VK_SPACE]);  // the rays show while Space is held
        EXPECT_TRUE(fake().queue.empty());            // no Escape, no quit
    }
}

TEST_F(Scene, EscapeQuitsWhileTheRestOfTheUpdateGoesOn) {
    hold({VK_ESCAPE, 'J', VK_SPACE});
    fake().keyHeld['W'] = true;
    sceneUpdate(200);
    EXPECT_EQ(fake().queue.size(), 1u);
    const PlatformMessage quit = fake().queue.at(0);
    EXPECT_TRUE(quit.message == WM_QUIT && quit.window == window.windowHandle);
    EXPECT_EQ(isLooping, 0);
    expectVec(lightPosition, {7, 1, 5});
    EXPECT_EQ(showRays, 1);
    expectVec(sceneCamera.position, {2, 0, 0});  // the frame's time went to the camera too
    EXPECT_EQ(frameCount, 1.0f);                 // the frame counted

    // Only an entry of exactly 1 is a key held; outside the window's life
    // there are no keys to read at all.
    keys.entries['J'] = 2;
    sceneUpdate(100);
    hold({'J'});
    sceneWindow = nullptr, sceneKeys = nullptr;
    sceneUpdate(100);
    expectVec(lightPosition, {7, 1, 5});
    EXPECT_EQ(sceneInit(nullptr, &keys), 0);
    EXPECT_EQ(sceneInit(&window, nullptr), 0);
}

TEST_F(Scene, EachMethodKeyStepsItsSettingOncePerPress) {
    PlatformPixelFormat format{};
    PlatformWindow* handle =
        platformCreateWindow(0, "c", "t", 0, 0, 0, 8, 8, nullptr, nullptr, &format);
    platformSetWindowUserData(handle, &window);
    auto send = [&](uint32_t message, int key) { windowMessageHandler(handle, message, key, 0); };
    // The keys that reach the window before a frame: a code alone is pressed
    // and let go; `held` keeps it down, repeating, over the frame; `alt` is
    // pressed with Alt. Then what the frame shows: passes, light size,
    // volumes, counts, help.
    const int held = 0x1000, alt = 0x2000;
    const struct {
        std::vector<int> keys;
        std::vector<float> shown;
    } frames[] = {
        {{}, {10, 1, 0, 0, 0}},
        {{'M', 'M'}, {32, 1, 0, 0, 0}},    // pressed twice between two frames: two steps
        {{held + 'M'}, {64, 1, 0, 0, 0}},  // held and repeating: one
        {{'M'}, {64, 1, 0, 0, 0}},         // no further than the last
        {{'N', 'N', 'N', 'N', 'N', 'N', 'N'}, {1, 1, 0, 0, 0}},
        {{'X', 'X'}, {1, 3, 0, 0, 0}},
        {{'Z', 'Z', 'Z', 'Z', 'Z', 'Z'}, {1, 0, 0, 0, 0}},
        {{'V', 'C', 'H'}, {1, 0, 1, 1, 1}},
        {{'V', VK_F1, 'C', 'C'}, {1, 0, 0, 1, 0}},
        {{alt + 'V', alt + 'M', alt + 'X'}, {1, 0, 0, 1, 0}},  // the system's keys
    };
    sceneSettings = SceneSettings{};
    for (const auto& frame : frames) {
        for (int key : frame.keys) {
            const int code = key & 0xFF;
            if (key & alt) send(WM_SYSKEYDOWN, code), send(WM_SYSKEYUP, code);
            if (key & held) send(WM_KEYDOWN, code), send(WM_KEYDOWN, code), send(WM_KEYDOWN, code);
            if (!(key & (alt | held))) send(WM_KEYDOWN, code), send(WM_KEYUP, code);
        }
        fake().settingsShown.clear();
        sceneUpdate(16);
        for (int key : frame.keys)
            if (key & held) send(WM_KEYUP, key & 0xFF);
        const SceneSettings& s = sceneSettings;
        const std::vector<float> shown = {float(settingsPasses(s)), settingsLightSize(s),
                                          float(s.volumes), float(s.counts), float(s.help)};
        EXPECT_EQ(shown, frame.shown) << &frame - frames;
        // The system hears of every change, and of nothing else.
        EXPECT_EQ(fake().settingsShown,
                  frame.keys.empty() || &frame - frames == 3 || &frame - frames == 9
                      ? std::vector<float>{}
                      : frame.shown);
    }
    // A benchmark holds the settings it was given, and says so when a key
    // stepped them.
    fake().settingsShown.clear();
    scenePathPose(0.5f);
    EXPECT_EQ(fake().settingsShown, (std::vector<float>{10, 1, 0, 0, 0}));
    sceneSettings = SceneSettings{};
}

TEST_F(Scene, TheFrameRateIsPublishedAfterMoreThanASecond) {
    // The tick of each frame, and the rate shown after it: counted from the
    // first frame, to the millisecond after ten days of uptime and across the
    // counter's wrap.
    const struct {
        uint32_t tick;
        float shown;
    } samples[] = {
        {864000000, 0},   {864001000, 0}, {864001001, 3},  // exactly a second is not more than one
        {4294967000u, 1}, {500, 1},       {704, 1},       {705, 3},
    };
    for (const auto& s : samples) {
        fake().tick = s.tick;
        EXPECT_EQ(fpsSample(), s.shown) << s.tick;
    }
}

TEST_F(Scene, ThePointerIsTheProgramsOnlyWhileItHasTheFocus) {
    fake().cursorX = 900, fake().cursorY = 700;
    // Without the focus the pointer is left where it is, and the view stays.
    window.focusLost = 1;
    sceneUpdate(16);
    // The first frame of a window, or with the focus back, centres the
    // pointer and turns nothing; the frames after it follow the mouse again.
    window.focusLost = 0, window.pointerToCentre = 1;
    sceneUpdate(16);
    expectVec(sceneCamera.viewPoint, x1);
    EXPECT_EQ(accumulatedPitch, 0.0f);
    EXPECT_EQ(window.pointerToCentre, 0);
    EXPECT_EQ(fake().calls, std::vector<std::string>{"SetCursorPos(400,300)"});
    fake().cursorX = 300, fake().cursorY = 300;
    sceneUpdate(0);
    expectVec(sceneCamera.viewPoint, {c1, 0, -s1});
}

TEST(ShadowVolume, CornersExtrudeAHundredTimesTheirDistanceFromTheLight) {
    Occluder occluder{};
    occluderInit(occluder);
    shadowVolumeExtrude(occluder.faces[0]);  // the top, from the start light (5, 1, 5)
    const Vec3 far[4] = {
        {-695, 101, -295}, {-695, -299, -295}, {-295, -299, -295}, {-295, 101, -295}};
    for (int i = 0; i < 4; ++i) expectVec(occluder.faces[0].extruded[i], far[i], 0);

    // The faces that face the light cast, and only they get their volume rebuilt.
    const struct {
        Vec3 light;
        std::vector<int> casting;
    } cases[] = {
        {{5, 1, 5}, {0, 4}}, {{0, 2, 5}, {0, 1}},  // in the plane of face 1: it casts
        {{2, 0, 5}, {0}},    {{0, 0, 1}, {}},     {{3, 3, 3}, {0, 1, 4}}, {{-3, -3, -1}, {2, 3, 5}},
    };
    for (const auto& c : cases) {
        occluderInit(occluder);
        occluderSetLight(occluder, c.light);
        for (OccluderFace& face : occluder.faces) face.castsShadow = 7;
        occluderCastShadows(occluder, 0);  // no context: the drawing goes nowhere
        std::vector<int> casting;
        for (int i = 0; i < 6; ++i) {
            const Vec3 e = occluder.faces[i].extruded[3];
            if (occluder.faces[i].castsShadow != 0) casting.push_back(i);  // no stale flag
            EXPECT_EQ(e.x != 0 || e.y != 0 || e.z != 0, occluder.faces[i].castsShadow == 1) << i;
        }
        EXPECT_EQ(casting, c.casting);
    }
}

TEST(Settings, EachVariableChoosesOnlyByItsExactNameAndTheOptionWins) {
    // variable, value (null: unset), the choice, whether a warning is
    // printed, and the option's value (null: not given)
    const struct {
        const char* name;
        const char* value;
        int chosen;
        bool warns;
        const char* option = nullptr;
    } rows[] = {
        {"TENEBREL_ACCUM", nullptr, frameWayCounted, false},
        {"TENEBREL_ACCUM", "", frameWayCounted, false},
        {"TENEBREL_ACCUM", "gpu", frameWayCounted, false},
        {"TENEBREL_ACCUM", "buffer", frameWayAccumBuffer, false},
        {"TENEBREL_ACCUM", "Buffer", frameWayCounted, true},
        {"TENEBREL_ACCUM", "buffer ", frameWayCounted, true},
        {"TENEBREL_ACCUM", "bufferbufferbufferbuffer", frameWayCounted, true},
        {"TENEBREL_GL", nullptr, drawRendererGl1, false},
        {"TENEBREL_GL", "gl1", drawRendererGl1, false},
        {"TENEBREL_GL", "es3", drawRendererEs3, false},
        {"TENEBREL_GL", "ES3", drawRendererGl1, true},
        {"TENEBREL_GL", "es3 ", drawRendererGl1, true},
        {"TENEBREL_GL", "es3es3es3es3es3es3", drawRendererGl1, true},
        {"TENEBREL_ACCUM", "counted", frameWayCounted, false},
        {"TENEBREL_ACCUM", "buffer", frameWayCounted, false, "counted"},
        {"TENEBREL_ACCUM", "bogus", frameWayAccumBuffer, false, "buffer"},
        {"TENEBREL_GL", "es3", drawRendererGl1, false, "gl1"},
        {"TENEBREL_GL", "bogus", drawRendererEs3, false, "es3"},
    };
    for (const auto& row : rows) {
        fakeSetVariable(row.name, row.value);
        ::testing::internal::CaptureStderr();
        const bool accum = std::string(row.name) == "TENEBREL_ACCUM";
        // A build without es3 (Windows) draws with gl1, and says so.
        const bool lacking =
            row.chosen == drawRendererEs3 && !accum && !drawRendererBuilt(drawRendererEs3);
        EXPECT_EQ(accum ? static_cast<int>(frameWayRequested(row.option))
                        : static_cast<int>(drawRendererRequested(row.option)),
                  lacking ? drawRendererGl1 : row.chosen)
            << row.name << "=" << (row.value ? row.value : "(unset)");
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find(std::string(row.name) + " takes \"") != std::string::npos, row.warns)
            << said;
        EXPECT_EQ(
            said.find("this build has no es3 renderer; drawing with gl1") != std::string::npos,
            lacking)
            << said;
        fakeSetVariable(row.name, nullptr);
    }
}
