#include "draw/compose.h"

#include <cmath>

// Per channel: n.r passes in shadow, n.g showing green's colour, n.b blue's,
// and the rest the kept picture. Each pass's share is what the accumulation
// buffer adds for its colour (truncated toward zero); the sum comes back
// times 1 / 32767 and the window rounds it. The room in shadow is the lit
// texel times the tint, rounded to the window's step as its drawing would
// be.
const char* const composeFragmentBody =
    "uniform vec3 levels, green, blue;\n"
    "uniform float tint, passes, addScale, returnScale;\n"
    "vec3 share(vec3 colour) { return floor(colour * addScale); }\n"
    "void main() {\n"
    "    vec3 lit = FETCH(base).rgb;\n"
    "    vec3 n = floor(FETCH(counts).rgb * levels + 0.5);\n"
    "    vec3 dark = floor(lit * levels * tint + 0.5) / levels;\n"
    "    vec3 sum = n.r * share(dark) + (passes - n.r - n.g - n.b) * share(lit)\n"
    "        + n.g * share(green) + n.b * share(blue);\n"
    "    COLOUR_OUT = vec4(sum * returnScale, 1.0);\n"
    "}\n";

void composeUniforms(const DrawComposition& composition, const int bits[3],
                     ComposeUniform uniforms[composeUniformCount]) {
    ComposeUniform levels{"levels", 3, {}}, green{"green", 3, {}}, blue{"blue", 3, {}};
    for (int i = 0; i < 3; ++i) {
        levels.values[i] = std::round(1.0f / composeStep(bits[i]));
        green.values[i] = composition.green[i];
        blue.values[i] = composition.blue[i];
    }
    const ComposeUniform all[composeUniformCount] = {
        levels,
        green,
        blue,
        {"tint", 1, {composition.tint}},
        {"passes", 1, {static_cast<float>(drawSumPasses)}},
        {"addScale", 1, {drawSumWeight * 32767.0f}},
        {"returnScale", 1, {1.0f / 32767.0f}},
    };
    for (int i = 0; i < composeUniformCount; ++i) uniforms[i] = all[i];
}

float composeStep(int bits) {
    // A channel the driver does not describe is taken to have eight bits.
    return 1.0f / static_cast<float>((1 << (bits > 0 && bits < 16 ? bits : 8)) - 1);
}
