#include "shadow/light.h"

#include "draw/draw.h"

const float lightJitter[12] = {0.2f,  0.5683f, -0.42342f, 0.9f,   0.843f, -0.342f,
                               0.23f, 0.56f,   -0.754f,   0.123f, -0.56f, 0.0f};

const float lightSpecularWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

Vec3 lightPassOffset(int pass) {
    return Vec3{lightJitter[pass + 1] * lightJitterScale, lightJitter[pass + 2] * lightJitterScale,
                lightJitter[pass] * lightJitterScale};
}

Vec3 lightOfPass(const Vec3& light, int pass) {
    const Vec3 offset = lightPassOffset(pass);
    return Vec3{light.x + offset.x, light.y + offset.y, light.z + offset.z};
}

void lightApply(const Vec3& light) {
    // w = 1: a point light where its marker is drawn.
    const float position[4] = {light.x, light.y, light.z, 1.0f};
    drawLightPosition(position);
}

void lightPassBegin(Occluder& occluder, const Vec3& light) {
    occluderSetLight(occluder, light);
    lightApply(light);
    drawLightSpecular(lightSpecularWhite);
}
