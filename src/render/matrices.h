#pragma once
#include <array>

// 4x4 matrices in GL column-major order.
using Matrix4 = std::array<float, 16>;

// The perspective matrix of loadPerspective: elements 0, 5, 10, 11, 14 set, the rest 0.
// f = sin(h - 90) / sin(h) with h = fovDegrees / 2 in integers (negative for usual fields
// of view, so the picture is turned by half a turn). An aspect of exactly 0 counts as 1.
Matrix4 perspectiveElements(int fovDegrees, float aspect, float zNear, float zFar);

// The basis of multLookAt: F = normalised (eye - center), X = up x F, Y = F x X (from X
// before normalising), each normalised unless of zero length.
struct LookAtBasis {
    float f[3];
    float x[3];
    float y[3];
};
LookAtBasis lookAtBasis(float eyeX, float eyeY, float eyeZ, float centerX, float centerY,
                        float centerZ, float upX, float upY, float upZ);

// Process-wide perspective matrix, zero at start; loadPerspective writes and loads it.
extern Matrix4 perspectiveMatrix;

// Replaces the current GL matrix with the perspective matrix.
void loadPerspective(int fovDegrees, float aspect, float zNear, float zFar);
// Multiplies the viewing transform onto the current GL matrix, then translates by -eye.
void multLookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ,
                float upX, float upY, float upZ);
