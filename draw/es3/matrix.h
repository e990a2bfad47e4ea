// 4 x 4 matrices as GL keeps them: sixteen floats, column by column, for
// the renderers that have no matrix stack of GL's own.
#pragma once

struct Matrix {
    float m[16];
};

Matrix matrixIdentity();
// a x b: b applied first.
Matrix matrixMultiply(const Matrix& a, const Matrix& b);
Matrix matrixTranslation(float x, float y, float z);
// As gluPerspective makes it, worked out in double precision; with
// `infinite`, the far plane is taken to infinity, so that nothing beyond it
// is clipped.
Matrix matrixPerspective(double fovY, double aspect, double zNear, double zFar, bool infinite);
// As gluLookAt makes it, in single precision: the eye at the origin looking
// down -z, with the translation to the eye applied first.
Matrix matrixLookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                    double centreZ, double upX, double upY, double upZ);
// The point (x, y, z, w) through the matrix.
void matrixTransform(const Matrix& matrix, const float in[4], float out[4]);
// The transpose of the inverse of the upper-left 3 x 3, which carries
// normals; a singular matrix gives the identity.
void matrixNormalTransform(const Matrix& matrix, float out[9]);
