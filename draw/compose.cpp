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

ComposeUniforms composeUniforms(const DrawComposition& composition, const float steps[3]) {
    ComposeUniforms u{};
    for (int i = 0; i < 3; ++i) {
        u.levels[i] = steps[i] > 0.0f ? std::round(1.0f / steps[i]) : 255.0f;
        u.green[i] = composition.green[i];
        u.blue[i] = composition.blue[i];
    }
    u.tint = composition.tint;
    u.passes = static_cast<float>(drawSumPasses);
    u.addScale = drawSumWeight * 32767.0f;
    u.returnScale = 1.0f / 32767.0f;
    return u;
}
