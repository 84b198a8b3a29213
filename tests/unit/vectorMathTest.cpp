#include <gtest/gtest.h>

#include "vectorMath.h"

namespace
{

void expectVec(vec3 v, vec3 e)
{
    EXPECT_FLOAT_EQ(v.x, e.x);
    EXPECT_FLOAT_EQ(v.y, e.y);
    EXPECT_FLOAT_EQ(v.z, e.z);
}

TEST(VectorMath, NormalizeGivesUnitLengthAndZeroBecomesUp)
{
    // 1e-30 squared underflows in float; its length must still come out nonzero.
    const vec3 cases[][2] = {{{0, 0, 0}, {0, 0, 1}},
                             {{3, 0, 4}, {0.6f, 0, 0.8f}},
                             {{0, 0, -5}, {0, 0, -1}},
                             {{1e-30f, 0, 0}, {1, 0, 0}}};
    for (const auto &c : cases) {
        vec3 v = c[0];
        vec_normalize(&v);
        expectVec(v, c[1]);
    }
    EXPECT_GT(vec_mag(vec3{1e-30f, 0, 0}), 0.0f);
}

TEST(VectorMath, OperationsAndTheirOrientation)
{
    vec3 a = {1, 2, 3}, b = {4, 6, 8}, x = {1, 0, 0}, y = {0, 1, 0};
    expectVec(vec_between_points(a, b), {3, 4, 5}); // from a to b
    expectVec(vec_subtract(a, b), {-3, -4, -5});
    expectVec(vec_cross(x, y), {0, 0, 1}); // right-handed
    expectVec(vec_cross(y, x), {0, 0, -1});
    expectVec(vec_cross(vec3{0, 0, 1}, x), {0, 1, 0});
    EXPECT_FLOAT_EQ(vec_mag(vec3{3, 4, 0}), 5);
    EXPECT_FLOAT_EQ(vec_mag_squared(vec3{3, 4, 0}), 25);
    EXPECT_FLOAT_EQ(vec_dot(a, vec3{4, 5, 6}), 32);
    expectVec(vec_scalar_multiple(vec3{1, -2, 3}, -2), {-2, 4, -6});
    expectVec(vec_add(a, vec3{-1, 0.5f, 4}), {0, 2.5f, 7});
}

} // namespace
