#include "shadow/light.h"

#include <cmath>

#include "draw/draw.h"

const float lightJitter[12] = {0.2f,  0.5683f, -0.42342f, 0.9f,   0.843f, -0.342f,
                               0.23f, 0.56f,   -0.754f,   0.123f, -0.56f, 0.0f};

const float lightSpecularWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

namespace {

Vec3 tableOffset(int pass) {
    return Vec3{lightJitter[pass + 1] * lightJitterScale, lightJitter[pass + 2] * lightJitterScale,
                lightJitter[pass] * lightJitterScale};
}

// The radius of the ball the ten offsets span: the farthest from the light.
double jitterRadius() {
    double most = 0;
    for (int pass = 0; pass < lightPassCount; ++pass) {
        const Vec3 o = tableOffset(pass);
        most =
            std::fmax(most, std::sqrt(double(o.x) * o.x + double(o.y) * o.y + double(o.z) * o.z));
    }
    return most;
}

// Point `index` of `count` spread evenly through the unit ball: its
// direction on a spherical Fibonacci lattice, its distance from the centre
// by the base-2 radical inverse of its index, cube-rooted so that the
// points fill the ball's volume evenly rather than crowd its middle.
Vec3 ballPoint(int index, int count) {
    const double pi = 3.14159265358979323846;
    const double z = 1 - (2 * index + 1) / double(count);
    const double around = index * pi * (3 - std::sqrt(5.0));
    const double across = std::sqrt(std::fmax(0.0, 1 - z * z));
    double inverse = 0, digit = 0.5;
    for (int bits = index + 1; bits > 0; bits >>= 1, digit /= 2) inverse += (bits & 1) * digit;
    const double radius = std::cbrt(inverse);
    return Vec3{float(radius * across * std::cos(around)),
                float(radius * across * std::sin(around)), float(radius * z)};
}

}  // namespace

Vec3 lightPassOffset(int pass, int passes, float size) {
    if (passes <= 1) return Vec3{0.0f, 0.0f, 0.0f};
    if (passes == lightPassCount) {
        const Vec3 o = tableOffset(pass);
        return Vec3{o.x * size, o.y * size, o.z * size};
    }
    static const double radius = jitterRadius();
    const Vec3 p = ballPoint(pass, passes);
    const float scale = float(radius) * size;
    return Vec3{p.x * scale, p.y * scale, p.z * scale};
}

Vec3 lightOfPass(const Vec3& light, int pass, int passes, float size) {
    const Vec3 offset = lightPassOffset(pass, passes, size);
    return Vec3{light.x + offset.x, light.y + offset.y, light.z + offset.z};
}

float lightPassWeight(int passes) {
    // Ten keep the weight they have always had, to the last bit.
    return passes == lightPassCount ? 0.095f : 0.95f / static_cast<float>(passes);
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
