// Draws the program's menu icon and writes it as an RGBA PNG:
//   make_icon SIZE FILE    (SIZE in pixels, 16 to 1024)
// The picture is the program's own scene in small: a blue box on a brick
// floor, lit by a yellow light behind it to the left, casting a shadow whose
// edge grows softer the further it falls from the box. It is drawn from
// formulas at any size, so every build makes the same bytes. The PNG is
// written with stored (uncompressed) deflate blocks, which need no library.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Colour {
    float r, g, b, a;
};

struct Point {
    float x, y;
};

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothStep(float edge0, float edge1, float v) {
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// Signed distance from p to a convex polygon, its corners in either turning
// order: negative inside. Exact along the edges, which is all a shadow's
// edge needs.
float polygonDistance(const Point* corners, int count, Point p) {
    float twiceArea = 0;
    for (int i = 0; i < count; ++i) {
        Point a = corners[i], b = corners[(i + 1) % count];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    // With y down and a positive area, (ey, -ex) points out of the polygon.
    float outward = twiceArea > 0 ? 1.0f : -1.0f;
    float distance = -1e9f;
    for (int i = 0; i < count; ++i) {
        Point a = corners[i], b = corners[(i + 1) % count];
        float ex = b.x - a.x, ey = b.y - a.y;
        float length = std::sqrt(ex * ex + ey * ey);
        float d = outward * ((p.x - a.x) * ey - (p.y - a.y) * ex) / length;
        distance = std::max(distance, d);
    }
    return distance;
}

bool inside(const Point* corners, int count, Point p) {
    return polygonDistance(corners, count, p) <= 0;
}

const float HORIZON = 0.58f;         // where the back wall meets the floor
const Point LIGHT = {0.22f, 0.20f};  // the light, seen on the back wall
// The box: a front face and its back face, shifted up and to the right.
const float FRONT_LEFT = 0.36f, FRONT_RIGHT = 0.64f, FRONT_TOP = 0.50f, FRONT_BOTTOM = 0.78f;
const float DEPTH_X = 0.12f, DEPTH_Y = -0.09f;

// The colour of the scene at p (0..1 across the icon, y down), before the
// icon's rounded outline cuts it.
Colour scene(Point p) {
    float lx = p.x - LIGHT.x, ly = p.y - LIGHT.y;
    float lit = 1.0f / (1.0f + 5.0f * (lx * lx + ly * ly));

    Colour c;
    if (p.y < HORIZON) {
        Colour top = {0.10f, 0.11f, 0.18f, 1}, bottom = {0.36f, 0.30f, 0.30f, 1};
        c = mix(top, bottom, p.y / HORIZON);
    } else {
        c = {0.62f, 0.30f, 0.20f, 1};
        // Joints between the floor's brick courses, closer towards the horizon.
        float depth = (p.y - HORIZON) / (1 - HORIZON);
        float course = std::sqrt(depth) * 6.0f;
        if (course - std::floor(course) < 0.08f) c = mix(c, {0.75f, 0.70f, 0.65f, 1}, 0.5f);
    }
    c = mix(c, {1.0f, 0.95f, 0.75f, 1}, 0.35f * lit);
    c.r *= 0.55f + 0.6f * lit;
    c.g *= 0.55f + 0.6f * lit;
    c.b *= 0.55f + 0.6f * lit;

    // The shadow: the box's footprint dragged away from the light across the
    // floor and up the right, its edge widening with the distance travelled.
    const Point shadow[] = {{FRONT_LEFT, FRONT_BOTTOM},
                            {1.30f, 1.10f},
                            {1.40f, 0.40f},
                            {FRONT_RIGHT + DEPTH_X, FRONT_TOP + DEPTH_Y}};
    float travelled = std::max(0.0f, p.x - FRONT_RIGHT) + std::max(0.0f, p.y - FRONT_BOTTOM);
    float softness = 0.01f + 0.12f * travelled;
    float dark = 1.0f - smoothStep(-softness, softness, polygonDistance(shadow, 4, p));
    c = mix(c, {c.r * 0.25f, c.g * 0.25f, c.b * 0.3f, 1}, dark);

    // The light's glow and its yellow marker.
    float glow = std::sqrt(lx * lx + ly * ly);
    c = mix(c, {1.0f, 0.92f, 0.45f, 1}, 0.6f * (1.0f - smoothStep(0.0f, 0.16f, glow)));
    if (glow < 0.045f) c = {1.0f, 0.95f, 0.35f, 1};

    // The box: its front, its top and its right side (the side turned from
    // the light, so the darkest).
    const Point front[] = {{FRONT_LEFT, FRONT_TOP},
                           {FRONT_LEFT, FRONT_BOTTOM},
                           {FRONT_RIGHT, FRONT_BOTTOM},
                           {FRONT_RIGHT, FRONT_TOP}};
    const Point top[] = {{FRONT_LEFT + DEPTH_X, FRONT_TOP + DEPTH_Y},
                         {FRONT_LEFT, FRONT_TOP},
                         {FRONT_RIGHT, FRONT_TOP},
                         {FRONT_RIGHT + DEPTH_X, FRONT_TOP + DEPTH_Y}};
    const Point side[] = {{FRONT_RIGHT, FRONT_TOP},
                          {FRONT_RIGHT, FRONT_BOTTOM},
                          {FRONT_RIGHT + DEPTH_X, FRONT_BOTTOM + DEPTH_Y},
                          {FRONT_RIGHT + DEPTH_X, FRONT_TOP + DEPTH_Y}};
    if (inside(front, 4, p)) c = {0.18f, 0.34f, 0.86f, 1};
    if (inside(top, 4, p)) c = {0.50f, 0.66f, 1.00f, 1};
    if (inside(side, 4, p)) c = {0.07f, 0.14f, 0.45f, 1};
    return c;
}

// The icon: the scene inside a rounded square with a thin light rim;
// transparent outside it.
Colour icon(Point p) {
    const float inset = 0.04f, radius = 0.16f;
    float qx = std::max(std::fabs(p.x - 0.5f) - (0.5f - inset - radius), 0.0f);
    float qy = std::max(std::fabs(p.y - 0.5f) - (0.5f - inset - radius), 0.0f);
    float edge = std::sqrt(qx * qx + qy * qy) - radius;
    if (edge > 0) return {0, 0, 0, 0};
    if (edge > -0.015f) return {0.80f, 0.80f, 0.86f, 1};
    return scene(p);
}

// Averages 4 x 4 samples in each pixel, so edges are smooth at 48 pixels.
std::vector<uint8_t> drawRgba(int size) {
    const int samples = 4;
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Point p = {(x + (sx + 0.5f) / samples) / size,
                               (y + (sy + 0.5f) / samples) / size};
                    Colour c = icon(p);
                    // Sum colour weighted by coverage, so transparent samples
                    // do not darken the edge.
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            uint8_t* out = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            float n = samples * samples;
            out[0] = static_cast<uint8_t>(std::lround(255 * clamp01(a > 0 ? r / a : 0)));
            out[1] = static_cast<uint8_t>(std::lround(255 * clamp01(a > 0 ? g / a : 0)));
            out[2] = static_cast<uint8_t>(std::lround(255 * clamp01(a > 0 ? b / a : 0)));
            out[3] = static_cast<uint8_t>(std::lround(255 * clamp01(a / n)));
        }
    }
    return rgba;
}

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBig32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    putBig32(png, static_cast<uint32_t>(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBig32(png, crc32(&png[start], png.size() - start));
}

std::vector<uint8_t> encodePng(const std::vector<uint8_t>& rgba, int size) {
    // The image rows, each led by filter type 0 (none).
    std::vector<uint8_t> raw;
    const size_t rowBytes = static_cast<size_t>(size) * 4;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + y * rowBytes, rgba.begin() + (y + 1) * rowBytes);
    }
    // A zlib stream of stored blocks, at most 65535 bytes each.
    std::vector<uint8_t> zlib = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t length = std::min<size_t>(65535, raw.size() - at);
        bool last = at + length == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    putBig32(zlib, adler32(raw));

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBig32(header, static_cast<uint32_t>(size));
    putBig32(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    long size = argc == 3 ? std::strtol(argv[1], &end, 10) : 0;
    if (argc != 3 || end == argv[1] || *end != '\0' || size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: %s SIZE FILE   (SIZE in pixels, 16 to 1024)\n",
                     argc > 0 ? argv[0] : "make_icon");
        return 2;
    }
    std::vector<uint8_t> png = encodePng(drawRgba(static_cast<int>(size)), static_cast<int>(size));

    const std::string path = argv[2];
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        return 1;
    }
    bool ok = std::fwrite(png.data(), 1, png.size(), out) == png.size();
    ok = (std::fclose(out) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
        std::remove(path.c_str());
        return 1;
    }
    return 0;
}
