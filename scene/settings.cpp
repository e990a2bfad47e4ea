#include "scene/settings.h"

#include <algorithm>

#include "platform/platform.h"

namespace {

// The presses of `key` since the last call, now taken.
int32_t taken(KeyTable& keys, int key) {
    const int32_t count = keys.presses[key];
    keys.presses[key] = 0;
    return count;
}

int stepped(int step, int32_t down, int32_t up) {
    const int64_t to = int64_t(step) + up - down;
    return static_cast<int>(std::clamp<int64_t>(to, 0, settingsStepCount - 1));
}

}  // namespace

SceneSettings settingsGiven(int passes, float lightSize) {
    SceneSettings settings;
    for (int step = 0; step < settingsStepCount; ++step) {
        if (settingsPassSteps[step] == passes) settings.passesStep = step;
        if (settingsSizeSteps[step] == lightSize) settings.sizeStep = step;
    }
    return settings;
}

void settingsApplyPresses(SceneSettings& settings, KeyTable& keys) {
    settings.passesStep =
        stepped(settings.passesStep, taken(keys, keyFewerPasses), taken(keys, keyMorePasses));
    settings.sizeStep =
        stepped(settings.sizeStep, taken(keys, keySmallerLight), taken(keys, keyLargerLight));
    // A view goes on with one press and off with the next.
    if (taken(keys, keyVolumes) % 2) settings.volumes = !settings.volumes;
    if (taken(keys, keyCounts) % 2) settings.counts = !settings.counts;
    if ((taken(keys, keyHelp) + taken(keys, VK_F1)) % 2) settings.help = !settings.help;
    // Other keys' presses are nobody's: they are let go.
    for (int32_t& count : keys.presses) count = 0;
}

bool settingsSame(const SceneSettings& a, const SceneSettings& b) {
    return a.passesStep == b.passesStep && a.sizeStep == b.sizeStep && a.volumes == b.volumes &&
           a.counts == b.counts && a.help == b.help;
}

void settingsShow(const SceneSettings& s) {
    platformSettingsShown(settingsPasses(s), settingsLightSize(s), s.volumes, s.counts, s.help);
}

int settingsPasses(const SceneSettings& settings) {
    return settingsPassSteps[settings.passesStep];
}

float settingsLightSize(const SceneSettings& settings) {
    return settingsSizeSteps[settings.sizeStep];
}
