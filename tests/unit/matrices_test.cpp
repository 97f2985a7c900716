#include <gtest/gtest.h>

#include <cmath>

#include "render/matrices.h"
#include "render/scalar.h"

TEST(Matrices, SceneViewPerspectiveIsTurnedHalfATurn) {
    const Matrix4 m = perspectiveElements(45, 1.33f, 0.0f, 10.0f);
    EXPECT_NEAR(m[0], -1.86097f, 1e-5f);
    EXPECT_NEAR(m[5], -2.47509f, 1e-5f);
    EXPECT_EQ(m[10], -1.0f);
    EXPECT_EQ(m[11], -1.0f);
    EXPECT_EQ(m[14], 0.0f);
    EXPECT_TRUE(std::signbit(m[14]));
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) EXPECT_EQ(m[size_t(i)], 0.0f) << i;
    // An odd field of view loses its half degree; a zero aspect counts as 1.
    EXPECT_EQ(perspectiveElements(44, 1.33f, 0, 10), m);
    EXPECT_EQ(perspectiveElements(45, 0.0f, 0, 10)[0], m[5]);
}

TEST(Matrices, LookAtBasisAndZeroLengthVectors) {
    const LookAtBasis b = lookAtBasis(0, 0, 0, 0, 0, 10, 0, 1, 0);
    EXPECT_FLOAT_EQ(b.f[2], -1.0f);
    EXPECT_FLOAT_EQ(b.x[0], -1.0f);
    EXPECT_FLOAT_EQ(b.y[1], 1.0f);
    EXPECT_EQ(b.f[0] + b.f[1] + b.x[1] + b.x[2] + b.y[0] + b.y[2], 0.0f);
    // Eye on the centre: every vector has zero length and stays unnormalised, no NaN.
    const LookAtBasis z = lookAtBasis(1, 2, 3, 1, 2, 3, 0, 1, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(z.f[i], 0.0f);
        EXPECT_EQ(z.x[i], 0.0f);
        EXPECT_EQ(z.y[i], 0.0f);
    }
}

TEST(Scalars, SineOfWholeDegreesInSinglePrecision) {
    EXPECT_EQ(sinDegrees(0), 0.0f);
    EXPECT_NEAR(sinDegrees(90), 1.0f, 1e-6f);
    EXPECT_NEAR(sinDegrees(22), 0.374606f, 1e-6f);
    EXPECT_NEAR(sinDegrees(-68), -0.927184f, 1e-6f);
    EXPECT_EQ(sqrtFloat(16.0f), 4.0f);
}
