#include "draw/es3/matrix.h"

#include <cmath>

Matrix matrixIdentity() {
    return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix matrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix product;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            product.m[column * 4 + row] = sum;
        }
    return product;
}

Matrix matrixTranslation(float x, float y, float z) {
    Matrix translation = matrixIdentity();
    translation.m[12] = x;
    translation.m[13] = y;
    translation.m[14] = z;
    return translation;
}

Matrix matrixPerspective(double fovY, double aspect, double zNear, double zFar, bool infinite) {
    const double radians = fovY / 2.0 * 3.14159265358979323846 / 180.0;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double depth = zFar - zNear;
    Matrix perspective{};
    perspective.m[0] = static_cast<float>(cotangent / aspect);
    perspective.m[5] = static_cast<float>(cotangent);
    perspective.m[10] = infinite ? -1.0f : static_cast<float>(-(zFar + zNear) / depth);
    perspective.m[11] = -1.0f;
    perspective.m[14] = infinite ? static_cast<float>(-2.0 * zNear)
                                 : static_cast<float>(-2.0 * zNear * zFar / depth);
    return perspective;
}

namespace {

void normalize(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0f) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

Matrix matrixLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                    double centreZ, double upX, double upY, double upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    normalize(forward);
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    Matrix view = matrixIdentity();
    for (int i = 0; i < 3; ++i) {
        view.m[i * 4 + 0] = side[i];
        view.m[i * 4 + 1] = up[i];
        view.m[i * 4 + 2] = -forward[i];
    }
    return matrixMultiply(view,
                          matrixTranslation(static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                                            static_cast<float>(-eyeZ)));
}

void matrixTransform(const Matrix& matrix, const float in[4], float out[4]) {
    for (int row = 0; row < 4; ++row) {
        out[row] = matrix.m[row] * in[0] + matrix.m[4 + row] * in[1] + matrix.m[8 + row] * in[2] +
                   matrix.m[12 + row] * in[3];
    }
}

void matrixNormalTransform(const Matrix& matrix, float out[9]) {
    // a(r, c): row r, column c of the upper-left 3 x 3.
    auto a = [&](int r, int c) { return matrix.m[c * 4 + r]; };
    float cofactor[9];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cofactor[r * 3 + c] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
        }
    const float determinant = a(0, 0) * cofactor[0] + a(0, 1) * cofactor[1] + a(0, 2) * cofactor[2];
    // The inverse is the transposed cofactors over the determinant, so its
    // transpose is the cofactors themselves; out is row by row.
    for (int i = 0; i < 9; ++i) {
        out[i] = determinant != 0.0f ? cofactor[i] / determinant : (i % 4 == 0 ? 1.0f : 0.0f);
    }
}
