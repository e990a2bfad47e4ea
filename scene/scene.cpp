#include "scene/scene.h"

#include "assets/font.h"
#include "assets/texture.h"
#include "draw/draw.h"
#include "platform/platform.h"
#include "shadow/frame.h"
#include "shadow/light.h"
#include "shadow/stencil.h"

Vec3 lightPosition = {5.0f, 1.0f, 5.0f};
uint8_t showRays = 0;
float fpsValue = 0.0f;
float frameCount = 0.0f;
uint64_t lastSampleTime = 0;
uint64_t fpsClockMs = 0;
uint32_t fpsLastTick = 0;
int32_t fpsClockStarted = 0;
GLWindow* sceneWindow = nullptr;
KeyTable* sceneKeys = nullptr;
Camera sceneCamera;
const float sceneClearColour[4] = {0.0f, 0.0f, 1.0f, 0.9f};
Occluder sceneOccluder;
SceneSettings sceneSettings;
SceneSettings sceneSettingsGiven;

namespace {

const float lightUnitsPerMillisecond = 0.01f;

// Key codes of the light controls, by the axis and way they move it.
enum : int {
    keyLightYMinus = 'I',
    keyLightYPlus = 'K',
    keyLightXMinus = 'L',
    keyLightXPlus = 'J',
    keyLightZMinus = 'U',
    keyLightZPlus = 'O',
};

bool keyDown(int virtualKey) {
    return sceneKeys->entries[virtualKey] == 1;
}

}  // namespace

int32_t sceneInit(GLWindow* window, KeyTable* keys) {
    // Without the shell's records there is no context to set up and no keys
    // to read; the shell treats 0 as "scene not ready" and ends the program.
    if (window == nullptr || keys == nullptr) return 0;
    sceneWindow = window;
    sceneKeys = keys;

    fontBuild();

    drawEnable(drawTexturing);
    // Without its textures the scene has nothing to show: the shell ends the
    // program through its usual teardown, which gives the desktop its mode
    // back.
    if (!textureLoad(textureIds, "brickblue.bmp", 0) ||
        !textureLoad(textureIds, "Ziegel1.bmp", 1)) {
        return 0;
    }
    shadowDepthClampDetect();
    frameWaySetUp(frameWayRequested(window->settings != nullptr ? window->settings->sum : nullptr));

    // The GL defaults stay: back faces culled, counter-clockwise in front.
    drawEnable(drawCulling);

    drawClearColor(sceneClearColour[0], sceneClearColour[1], sceneClearColour[2],
                   sceneClearColour[3]);
    drawClearDepth(1.0);
    drawClearStencil(0);
    drawDepthFunc(drawLessOrEqual);
    drawEnable(drawDepthTest);

    drawEnable(drawLighting);
    drawEnable(drawLight0);
    lightApply(lightPosition);

    drawSmoothShading();
    drawNicestPerspective();
    drawTextureModulates();

    occluderInit(sceneOccluder);
    // The command line's settings are taken with the first window; later
    // windows keep what the keys have set since, as they keep the light.
    static bool settingsTaken = false;
    if (!settingsTaken && window->settings != nullptr) {
        sceneSettings = sceneSettingsGiven =
            settingsGiven(window->settings->passes, window->settings->lightSize);
    }
    settingsTaken = true;
    settingsShow(sceneSettings);
    // The light, the ray flag, the frame rate and the accumulated pitch
    // carry over from an earlier window; only the pose starts afresh.
    cameraSetPose(sceneCamera, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    return 1;
}

void sceneDraw() {
    // The frame is drawn from the scene's values; only the box's faces take
    // each pass's light.
    FrameInput input{sceneCamera, lightPosition, showRays, fpsValue};
    input.passes = settingsPasses(sceneSettings);
    input.lightSize = settingsLightSize(sceneSettings);
    input.showVolumes = sceneSettings.volumes;
    input.showCounts = sceneSettings.counts;
    input.showHelp = sceneSettings.help;
    frameDraw(input, sceneOccluder);
}

void sceneUpdate(uint32_t elapsedMs) {
    fpsSample();

    // Outside sceneInit..sceneShutdown there is no key table to read; the
    // frame is still counted and the camera still follows the mouse.
    if (sceneKeys != nullptr) {
        // The rest of the update still runs: the quit takes effect when the
        // shell's pump takes the message.
        if (keyDown(VK_ESCAPE) && sceneWindow != nullptr) appRequestQuit(sceneWindow);

        float step = static_cast<float>(elapsedMs) * lightUnitsPerMillisecond;
        if (keyDown(keyLightYMinus)) lightPosition.y -= step;
        if (keyDown(keyLightYPlus)) lightPosition.y += step;
        if (keyDown(keyLightXMinus)) lightPosition.x -= step;
        if (keyDown(keyLightXPlus)) lightPosition.x += step;
        if (keyDown(keyLightZMinus)) lightPosition.z -= step;
        if (keyDown(keyLightZPlus)) lightPosition.z += step;

        if (sceneKeys->entries[VK_SPACE] == 1) showRays = 1;
        if (sceneKeys->entries[VK_SPACE] == 0) showRays = 0;

        const SceneSettings before = sceneSettings;
        settingsApplyPresses(sceneSettings, *sceneKeys);
        if (!settingsSame(before, sceneSettings)) settingsShow(sceneSettings);
    }

    sceneCamera.speed = static_cast<float>(elapsedMs);
    // The pointer is the program's only while its window has the focus. A
    // new window, or one with the focus back, first has the pointer put at
    // the centre, so wherever it was turns nothing.
    bool look = true;
    if (sceneWindow != nullptr && sceneWindow->focusLost) {
        look = false;
    } else if (sceneWindow != nullptr && sceneWindow->pointerToCentre) {
        platformSetCursorPos(cameraCursorCentreX, cameraCursorCentreY);
        sceneWindow->pointerToCentre = 0;
        look = false;
    }
    cameraUpdate(sceneCamera, look);
}

const char* sceneSumName() {
    return frameWayInUse() == frameWayCounted ? "counted" : "accumulation buffer";
}

void sceneShutdown() {
    fontDelete();
    // What the frame's way made belongs to this context, which ends next.
    frameWayRelease();
    // The textures end with the rendering context the shell destroys next.
    sceneWindow = nullptr;
    sceneKeys = nullptr;
}

float fpsSample() {
    // Whole milliseconds, summed from unsigned tick differences: exact however
    // long the program or the machine has run, across the counter's wrap too.
    const uint32_t tick = platformGetTickCount();
    if (!fpsClockStarted) {
        fpsClockStarted = 1;
        fpsLastTick = tick;
    }
    fpsClockMs += tick - fpsLastTick;
    fpsLastTick = tick;
    frameCount += 1.0f;
    if (fpsClockMs - lastSampleTime > 1000) {
        lastSampleTime = fpsClockMs;
        fpsValue = frameCount;
        frameCount = 0.0f;
    }
    return fpsValue;
}
