#include "render/matrices.h"

#include <GL/gl.h>

#include "render/scalar.h"

Matrix4 perspectiveMatrix{};

Matrix4 perspectiveElements(int fovDegrees, float aspect, float zNear, float zFar) {
    const int h = fovDegrees / 2;
    const float f = 1.0f / (sinDegrees(h) / sinDegrees(h - 90));
    if (aspect == 0.0f) aspect = 1.0f;
    Matrix4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zNear + zFar) / (zNear - zFar);
    m[11] = -1.0f;
    m[14] = 2.0f * zNear * zFar / (zNear - zFar);
    return m;
}

namespace {

float length3(const float v[3]) { return sqrtFloat(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

void normaliseUnlessZero(float v[3]) {
    const float len = length3(v);
    if (len != 0.0f) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

}  // namespace

LookAtBasis lookAtBasis(float eyeX, float eyeY, float eyeZ, float centerX, float centerY,
                        float centerZ, float upX, float upY, float upZ) {
    LookAtBasis b{};
    b.f[0] = eyeX - centerX;
    b.f[1] = eyeY - centerY;
    b.f[2] = eyeZ - centerZ;
    normaliseUnlessZero(b.f);
    const float* F = b.f;
    b.x[0] = upY * F[2] - upZ * F[1];
    b.x[1] = upZ * F[0] - upX * F[2];
    b.x[2] = upX * F[1] - upY * F[0];
    const float* X = b.x;
    b.y[0] = F[1] * X[2] - F[2] * X[1];
    b.y[1] = F[2] * X[0] - F[0] * X[2];
    b.y[2] = F[0] * X[1] - F[1] * X[0];
    normaliseUnlessZero(b.x);
    normaliseUnlessZero(b.y);
    return b;
}

void loadPerspective(int fovDegrees, float aspect, float zNear, float zFar) {
    perspectiveMatrix = perspectiveElements(fovDegrees, aspect, zNear, zFar);
    glLoadMatrixf(perspectiveMatrix.data());
}

void multLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                float upX, float upY, float upZ) {
    const LookAtBasis b = lookAtBasis(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
    const float m[16] = {b.x[0], b.y[0], b.f[0], 0, b.x[1], b.y[1], b.f[1], 0,
                         b.x[2], b.y[2], b.f[2], 0, 0,      0,      0,      1};
    glMultMatrixf(m);
    glTranslatef(-eyeX, -eyeY, -eyeZ);
}
