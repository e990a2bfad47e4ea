// What both renderers' composition shares: the fragment shader's arithmetic,
// in the GLSL that GLSL 1.20 and GLSL ES 3.00 have in common. Each renderer
// puts its own lines before it: the version, the two samplers `base` and
// `counts`, FETCH(sampler) giving the texel at the fragment's own pixel,
// and COLOUR_OUT naming the output.
#pragma once

#include "draw/draw.h"

extern const char* const composeFragmentBody;

// The uniforms it takes, worked out here in single precision as the
// accumulation buffer works out its factors; `levels` is the window's
// largest value of each channel (255 for eight bits).
struct ComposeUniforms {
    float levels[3];
    float tint, passes, addScale, returnScale;
    float green[3], blue[3];
};
ComposeUniforms composeUniforms(const DrawComposition& composition, const float steps[3]);
