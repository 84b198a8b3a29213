#include <gtest/gtest.h>

#include <cmath>

#include "vectorMath.h"

namespace {

void expectVec(vec3 v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(VectorMath, NormalizeGivesUnitLengthAndZeroBecomesUp)
{
    vec3 v = {0, 0, 0};
    vec_normalize(&v);
    expectVec(v, 0, 0, 1);

    v = {3, 0, 4};
    vec_normalize(&v);
    expectVec(v, 0.6f, 0, 0.8f);

    v = {0, 0, -5};
    vec_normalize(&v);
    expectVec(v, 0, 0, -1);
}

TEST(VectorMath, TinyVectorsAreNotTakenForZero)
{
    // 1e-30 squared underflows in float; the length must still come out nonzero.
    vec3 v = {1e-30f, 0, 0};
    EXPECT_GT(vec_mag(v), 0.0f);
    vec_normalize(&v);
    expectVec(v, 1, 0, 0);
}

TEST(VectorMath, NotANumberIsDividedNotReplaced)
{
    vec3 v = {NAN, 0, 0};
    vec_normalize(&v);
    EXPECT_TRUE(std::isnan(v.x));
    EXPECT_TRUE(std::isnan(v.z));
}

TEST(VectorMath, BetweenPointsAndSubtractRunOppositeWays)
{
    vec3 a = {1, 2, 3}, b = {4, 6, 8};
    expectVec(vec_between_points(a, b), 3, 4, 5);
    expectVec(vec_subtract(a, b), -3, -4, -5);
}

TEST(VectorMath, CrossProductIsRightHanded)
{
    vec3 x = {1, 0, 0}, y = {0, 1, 0};
    expectVec(vec_cross(x, y), 0, 0, 1);
    expectVec(vec_cross(y, x), 0, 0, -1);
    expectVec(vec_cross(vec3{0, 0, 1}, x), 0, 1, 0);
}

TEST(VectorMath, LengthsProductsSumsAndScaling)
{
    EXPECT_FLOAT_EQ(vec_mag(vec3{3, 4, 0}), 5);
    EXPECT_FLOAT_EQ(vec_mag_squared(vec3{3, 4, 0}), 25);
    expectVec(vec_scalar_multiple(vec3{1, -2, 3}, -2), -2, 4, -6);
    EXPECT_EQ(vec_dot(vec3{1, 2, 0}, vec3{-2, 1, 5}), 0.0f);
    EXPECT_FLOAT_EQ(vec_dot(vec3{1, 2, 3}, vec3{4, 5, 6}), 32);
    expectVec(vec_add(vec3{1, 2, 3}, vec3{-1, 0.5f, 4}), 0, 2.5f, 7);
}

}  // namespace
