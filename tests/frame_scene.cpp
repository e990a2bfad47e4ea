#include "frame_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "draw/draw.h"
#include "gl_harness.h"
#include "scene/scene.h"
#include "shadow/accum.h"
#include "shadow/light.h"

Vec3 operator+(Vec3 a, Vec3 b) {
    return Vec3{a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, Vec3 b) {
    return Vec3{a.x * b.x, a.y * b.y, a.z * b.z};
}
Vec3 operator*(Vec3 a, float k) {
    return a * Vec3{k, k, k};
}
float& axis(Vec3& v, int i) {
    return i == 0 ? v.x : i == 1 ? v.y : v.z;
}
float axisOf(Vec3 v, int i) {
    return axis(v, i);
}
Vec3 onPlane(int fixed, float at, float u, float v) {
    Vec3 p{0, 0, 0};
    axis(p, fixed) = at, axis(p, (fixed + 1) % 3) = u, axis(p, (fixed + 2) % 3) = v;
    return p;
}
bool near(Rgb a, Rgb b) {
    return std::abs(a[0] - b[0]) <= 1 && std::abs(a[1] - b[1]) <= 1 && std::abs(a[2] - b[2]) <= 1;
}
Rgb pixelIn(const Image& rgb, size_t i) {
    return Rgb{rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
}
Rgb checkerAt(float s, float t) {
    return checker[t - std::floor(t) >= 0.5f][s - std::floor(s) >= 0.5f];
}

bool writeFlatBmp(const char* name, Rgb c) {
    char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40,
                    0,   0,   0,  1, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24};
    for (int i = 0; i < 3; ++i) bmp[54 + i] = static_cast<char>(c[2 - i]);
    return static_cast<bool>(std::ofstream(name, std::ios::binary).write(bmp, sizeof bmp).flush());
}

bool segmentHitsBox(Vec3 a, Vec3 b, Vec3 lo, Vec3 hi) {
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 3; ++i) {
        const double start = axisOf(a, i), delta = axisOf(b, i) - start;
        if (delta == 0 && (start < axisOf(lo, i) || start > axisOf(hi, i))) return false;
        const double n = (axisOf(lo, i) - start) / delta, f = (axisOf(hi, i) - start) / delta;
        t0 = std::max(t0, std::min(n, f)), t1 = std::min(t1, std::max(n, f));
    }
    return t0 <= t1;
}

Vec3 nudged(Vec3 light, int pass) {
    return light + Vec3{lightJitter[pass + 1], lightJitter[pass + 2], lightJitter[pass]} * 0.25f;
}
int shadowedPasses(Vec3 light, Vec3 point) {
    int count = 0;
    for (int pass = 0; pass < 10; ++pass) {
        // No face faces a light inside the box: nothing is shadowed then.
        const Vec3 from = nudged(light, pass);
        count += segmentHitsBox(from, point, boxLow, boxHigh) &&
                 !segmentHitsBox(from, from, boxLow, boxHigh);
    }
    return count;
}
// Each pass is stored in 8 bits before it is summed at 0.095.
Rgb roomAfter(int s) {
    Rgb sum;
    for (int c = 0; c < 3; ++c)
        sum[c] =
            std::lround(0.095 * ((10 - s) * roomColour[c] + s * std::round(roomColour[c] * 0.55)));
    return sum;
}

bool project(Vec3 p, int* x, int* y) {
    double model[16], projection[16], eye[4], clip[4];
    int viewport[4];
    drawGetMatrix(drawModelView, model), drawGetMatrix(drawProjection, projection);
    drawGetViewport(viewport);
    for (int i = 0; i < 4; ++i)
        eye[i] = model[i] * p.x + model[4 + i] * p.y + model[8 + i] * p.z + model[12 + i];
    for (int i = 0; i < 4; ++i)
        clip[i] = projection[i] * eye[0] + projection[4 + i] * eye[1] + projection[8 + i] * eye[2] +
                  projection[12 + i] * eye[3];
    if (clip[3] <= 0) return false;
    const double wx = viewport[0] + (clip[0] / clip[3] + 1) * viewport[2] / 2;
    const double wy = viewport[1] + (clip[1] / clip[3] + 1) * viewport[3] / 2,
                 wz = (clip[2] / clip[3] + 1) / 2;
    *x = static_cast<int>(std::floor(wx)), *y = static_cast<int>(std::floor(wy));
    return wz > 0 && wz < 1 && *x >= 3 && *y >= 3 && *x < 797 && *y < 597;
}

bool sceneReady() {
    static GLWindow window{};
    static KeyTable keys{};
    static PlatformPixelFormat request = windowPixelFormatRequest(32);
    static const bool ready =
        (std::getenv("TENEBREL_TEST_NO_ACCUM") == nullptr ||
         (request.accumRedBits = request.accumGreenBits = request.accumBlueBits =
              request.accumAlphaBits = request.accumBits = 0,
          true)) &&
        writeFlatBmp("brickblue.bmp", boxColour) && writeFlatBmp("Ziegel1.bmp", roomColour) &&
        glHarnessOpen(800, 600, &request, nullptr,
                      std::getenv("TENEBREL_TEST_ES3") ? drawRendererEs3 : drawRendererGl1) &&
        (window.keys = &keys, viewportResize(800, 600), true) && sceneInit(&window, &keys) == 1;
    showRays = 0, fpsValue = 0;
    return ready;
}
std::vector<FrameWay> ways() {
    std::vector<FrameWay> possible;
    if (frameWaySetUp(frameWayCounted) == frameWayCounted) possible.push_back(frameWayCounted);
    if (drawAccumBits() >= 16) possible.push_back(frameWayAccumBuffer);
    return possible;
}

Image frame(Vec3 light, Vec3 eye, Vec3 centre) {
    lightPosition = light;
    cameraSetPose(sceneCamera, eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
    return sceneDraw(), glHarnessReadRgb();
}
