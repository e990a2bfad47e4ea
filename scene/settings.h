// What the user can change of how the frame shows its method: how many
// passes it sums, how large the light is, and what is drawn over the
// picture (the shadow volumes, the count of passes in shadow, the keys).
// Each key steps its setting once a press, however long it is held or
// however quickly pressed again; the settings outlive a window, as the
// light does.
#pragma once

#include <cstdint>

#include "app/window.h"

// The steps the keys go through; the fourth of each is where they start.
constexpr int settingsPassSteps[] = {1, 2, 4, 10, 16, 32, 64};
constexpr float settingsSizeSteps[] = {0.0f, 0.25f, 0.5f, 1.0f, 2.0f, 3.0f, 4.0f};
constexpr int settingsStepCount = 7;
constexpr int settingsStartStep = 3;

// The keys, by virtual-key code.
enum : int {
    keyFewerPasses = 'N',
    keyMorePasses = 'M',
    keySmallerLight = 'Z',
    keyLargerLight = 'X',
    keyVolumes = 'V',
    keyCounts = 'C',
    keyHelp = 'H',
};

struct SceneSettings {
    int passesStep = settingsStartStep;  // into settingsPassSteps
    int sizeStep = settingsStartStep;    // into settingsSizeSteps
    bool volumes = false;
    bool counts = false;
    bool help = false;
};

// The settings at start: the steps of `passes` and `lightSize` where they
// are among them (the command line's), the usual start elsewhere.
SceneSettings settingsGiven(int passes, float lightSize);
// Takes every press since the last call out of the key table, each a step.
void settingsApplyPresses(SceneSettings& settings, KeyTable& keys);
bool settingsSame(const SceneSettings& a, const SceneSettings& b);
// Tells the system what they are, for a panel beside the window.
void settingsShow(const SceneSettings& settings);
int settingsPasses(const SceneSettings& settings);
float settingsLightSize(const SceneSettings& settings);
