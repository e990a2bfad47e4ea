// What both renderers' composition shares: the fragment shader's arithmetic,
// in the GLSL that GLSL 1.20 and GLSL ES 3.00 have in common. Each renderer
// puts its own lines before it: the version, the two samplers `base` and
// `counts`, FETCH(sampler) giving the texel at the fragment's own pixel,
// and COLOUR_OUT naming the output.
#pragma once

#include "draw/draw.h"

extern const char* const composeFragmentBody;

// The uniforms it takes besides its samplers, by name, of one or three
// floats: worked out here in single precision, as the accumulation buffer
// works out its factors, for a window whose channels have `bits` bits.
struct ComposeUniform {
    const char* name;
    int size;
    float values[3];
};
constexpr int composeUniformCount = 7;
void composeUniforms(const DrawComposition& composition, const int bits[3],
                     ComposeUniform uniforms[composeUniformCount]);
// The smallest step of a channel of that many bits: 1 / 255 for eight.
float composeStep(int bits);
