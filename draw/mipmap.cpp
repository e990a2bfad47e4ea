#include "draw/mipmap.h"

#include <algorithm>
#include <cmath>

int mipmapNearestPower(int side) {
    int power = 1;
    while (side > 1) {
        if (side == 3) return power * 4;
        side >>= 1;
        power *= 2;
    }
    return power;
}

void mipmapFittedSize(int* width, int* height, int largest) {
    *width = mipmapNearestPower(*width);
    *height = mipmapNearestPower(*height);
    while (largest > 0 && *width > largest) *width >>= 1;
    while (largest > 0 && *height > largest) *height >>= 1;
}

void mipmapScale(const uint8_t* from, int width, int height, uint8_t* to, int newWidth,
                 int newHeight) {
    // Each new texel averages a box one new texel wide, or one old texel
    // where the picture grows, around its centre; past an edge the picture
    // repeats, as the texture will.
    const double stepX = static_cast<double>(width) / newWidth;
    const double stepY = static_cast<double>(height) / newHeight;
    const double halfX = std::max(stepX, 1.0) / 2, halfY = std::max(stepY, 1.0) / 2;
    for (int y = 0; y < newHeight; ++y) {
        const double top = stepY * (y + 0.5) - halfY, bottom = stepY * (y + 0.5) + halfY;
        for (int x = 0; x < newWidth; ++x) {
            const double left = stepX * (x + 0.5) - halfX, right = stepX * (x + 0.5) + halfX;
            double sum[3] = {0, 0, 0}, area = 0;
            for (int row = static_cast<int>(std::floor(top)); row < bottom; ++row) {
                const double tall = std::min<double>(row + 1, bottom) - std::max<double>(row, top);
                const int wrappedRow = (row % height + height) % height;
                for (int column = static_cast<int>(std::floor(left)); column < right; ++column) {
                    const double share = tall * (std::min<double>(column + 1, right) -
                                                 std::max<double>(column, left));
                    const int wrappedColumn = (column % width + width) % width;
                    const uint8_t* texel =
                        from + (static_cast<size_t>(wrappedRow) * width + wrappedColumn) * 3;
                    for (int c = 0; c < 3; ++c) sum[c] += share * texel[c];
                    area += share;
                }
            }
            uint8_t* out = to + (static_cast<size_t>(y) * newWidth + x) * 3;
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(sum[c] / area + 0.5);
        }
    }
}

std::vector<uint8_t> mipmapHalve(const uint8_t* level, int width, int height) {
    const int newWidth = std::max(width / 2, 1), newHeight = std::max(height / 2, 1);
    std::vector<uint8_t> next(static_cast<size_t>(newWidth) * newHeight * 3);
    // Along a side of 1 only two texels meet.
    const int stepX = width > 1 ? 1 : 0, stepY = height > 1 ? 1 : 0;
    const int count = (stepX + 1) * (stepY + 1);
    for (int y = 0; y < newHeight; ++y)
        for (int x = 0; x < newWidth; ++x)
            for (int c = 0; c < 3; ++c) {
                auto at = [&](int dx, int dy) {
                    return level[((static_cast<size_t>(y) * (stepY + 1) + dy) * width +
                                  x * (stepX + 1) + dx) *
                                     3 +
                                 c];
                };
                const int sum = at(0, 0) + at(stepX, 0) + at(0, stepY) + at(stepX, stepY);
                // Four texels round to the nearest; two, each counted twice
                // above, round down.
                next[(static_cast<size_t>(y) * newWidth + x) * 3 + c] =
                    static_cast<uint8_t>(count == 4 ? (sum + 2) / 4 : sum / 4);
            }
    return next;
}
