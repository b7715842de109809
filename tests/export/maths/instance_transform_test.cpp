// Tests of the instance transform against its worked values, to the bit.
#include "export/maths/instance_transform.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/model_builder.hpp"

namespace kon2x::test {
namespace {

InstanceRecord instance(int x, int y, int z, double rx, double ry, double rz, float sx = 1, float sy = 1,
                        float sz = 1) {
    return instance_of(sx, sy, sz, rx, ry, rz, x, y, z);
}

TEST(TransformPoint, ReproducesTheWorkedValues) {
    const float residue = static_cast<float>(std::cos(90 * 0.017453292519943295) * 100);
    const struct {
        InstanceRecord instance;
        Vec3f input, expected;
    } rows[] = {
        {instance(0, 0, 0, 0, 0, 0), {1, -2, 3}, {1, -2, 3}},
        {instance(10, 20, 30, 0, 0, 0), {0, 100, 0}, {10, 120, 30}},
        {instance(0, 0, 0, 0, 0, 90), {100, 0, 0}, {residue, 100, 0}},
        {instance(0, 0, 0, 0, 90, 0), {100, 0, 0}, {residue, 0, -100}},
        {instance(0, 0, 0, 90, 0, 0), {0, 100, 0}, {0, residue, 100}},
        {instance(5, 0, 0, 30, 45, 60, 2, 1, -1),
         {100, 200, 300},
         {-260.69366455078125f, 186.21524047851562f, -254.4224090576172f}},
        {instance(0, 0, 0, -0.0, std::numeric_limits<double>::quiet_NaN(), 0), {7, 8, 9}, {7, 8, 9}},
        {instance(0, 0, 0, 0, 0, 0, -1, 2, 0.5f), {3, 3, 3}, {-3, 6, 1.5f}},
        {instance(0, 0, 0, 0, 0, 0), {16777216.0f, 0, 0}, {16777216.0f, 0, 0}},
    };
    for (const auto& row : rows) {
        const Vec3f r = transform_point(row.instance, row.input);
        EXPECT_EQ(r.x, row.expected.x);
        EXPECT_EQ(r.y, row.expected.y);
        EXPECT_EQ(r.z, row.expected.z);
    }
    EXPECT_GT(residue, 6.1e-15f);
    EXPECT_LT(residue, 6.2e-15f);
}

TEST(TransformPoint, ReducesToFloat32OnlyWhereTheStepsSay) {
    // With no rotation x is scaled in double and reduced once, in the sum:
    // 0.1f * 3 lands on another float than f32(f32(0.1f * 3) + 0).
    const InstanceRecord scaled = instance(1, 0, 0, 0, 0, 0, 0.1f, 1, 1);
    const Vec3f r = transform_point(scaled, {3, 0, 0});
    EXPECT_EQ(r.x, static_cast<float>(1.0 + 0.1f * 3.0));
    // With rot_y the x is reduced in its rotation step as well.
    const InstanceRecord turned = instance(0, 0, 0, 0, 30, 0);
    const double b = 30 * 0.017453292519943295;
    const Vec3f t = transform_point(turned, {100, 0, 50});
    EXPECT_EQ(t.x, static_cast<float>(static_cast<float>(100 * std::cos(b) + 50 * std::sin(b))));
    EXPECT_EQ(t.z, static_cast<float>(static_cast<float>(50 * std::cos(b) - 100 * std::sin(b))));
    // A scale factor that could overflow float32 takes the NaN rule's path, with the same finite results.
    const Vec3f h = transform_point(instance(1, 0, 0, 0, 30, 0, 1e29f), {3, 0, 50});
    EXPECT_EQ(h.x, static_cast<float>(
                       1.0 + static_cast<float>(double{1e29f} * 3 * std::cos(b) + 50 * std::sin(b))));
}

}  // namespace
}  // namespace kon2x::test
