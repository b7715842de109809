// The instance transform, step by step with its float32 reductions.
#include "export/maths/instance_transform.hpp"

#include <cfloat>
#include <cmath>

#include "export/maths/nan_rule.hpp"
#include "export/maths/trig.hpp"

namespace kon2x {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

double f32(double value) {
    return static_cast<double>(static_cast<float>(value));
}

// A scale factor at least this large may overflow float32 with a coordinate
// of magnitude 2^31, once the rotations have combined up to three components.
constexpr double kLargestFiniteScale = FLT_MAX / 4 / 2147483648.0;

// Whether no point of int32 coordinates can make the instance's results
// infinite or NaN.
bool keeps_finite(const InstanceRecord& instance) {
    for (const float scale : {instance.scale_x, instance.scale_y, instance.scale_z}) {
        if (!(std::fabs(scale) < kLargestFiniteScale)) {
            return false;  // also for infinity and NaN
        }
    }
    return !std::isinf(instance.rot_x) && !std::isinf(instance.rot_y) && !std::isinf(instance.rot_z);
}

// True for any angle but zero (of either sign) and NaN.
bool rotates(double angle) {
    return angle < 0.0 || angle > 0.0;
}

// q = a * b (Hamilton product, components x, y, z, w): b's rotation, then a's.
std::array<double, 4> product(const std::array<double, 4>& a, const std::array<double, 4>& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

// The half-angle sine and cosine of a rotation, (0, 1) for none.
std::array<double, 2> half_turn(double degrees) {
    double s = 0.0;
    double c = 1.0;
    if (rotates(degrees)) {
        sin_cos(degrees * kRadiansPerDegree * 0.5, s, c);
    }
    return {s, c};
}

}  // namespace

InstanceTransform::InstanceTransform(const InstanceRecord& instance)
    : instance_(instance), finite_(keeps_finite(instance)) {
    const auto rotation = [](double degrees) {
        Rotation r;
        r.active = rotates(degrees);
        if (std::isinf(degrees)) {
            r.s = r.c = nan_rule::default_nan();  // the sine of infinity is an invalid operation
        } else if (r.active) {
            sin_cos(degrees * kRadiansPerDegree, r.s, r.c);
        }
        return r;
    };
    x_ = rotation(instance.rot_x);
    y_ = rotation(instance.rot_y);
    z_ = rotation(instance.rot_z);
}

Vec3f InstanceTransform::apply_finite(const Vec3f& point) const {
    double x = static_cast<double>(instance_.scale_x) * point.x;  // stays double
    double y = f32(static_cast<double>(instance_.scale_y) * point.y);
    double z = f32(static_cast<double>(instance_.scale_z) * point.z);
    if (x_.active) {
        const double new_y = f32(y * x_.c - z * x_.s);
        z = f32(y * x_.s + z * x_.c);
        y = new_y;
    }
    if (y_.active) {
        const double new_x = f32(x * y_.c + z * y_.s);
        z = f32(z * y_.c - x * y_.s);
        x = new_x;
    }
    if (z_.active) {
        const double new_x = x * z_.c - y * z_.s;  // stays double
        y = f32(x * z_.s + y * z_.c);
        x = new_x;
    }
    return Vec3f{static_cast<float>(instance_.x + x), static_cast<float>(instance_.y + y),
                 static_cast<float>(instance_.z + z)};
}

// apply_finite's steps with every operation and reduction by nan_rule.
Vec3f InstanceTransform::apply_by_rule(const Vec3f& point) const {
    using nan_rule::difference, nan_rule::product, nan_rule::rounded_to_f32, nan_rule::sum, nan_rule::widened;
    double x = product(widened(instance_.scale_x), point.x);
    double y = rounded_to_f32(product(widened(instance_.scale_y), point.y));
    double z = rounded_to_f32(product(widened(instance_.scale_z), point.z));
    if (x_.active) {
        const double new_y = rounded_to_f32(difference(product(y, x_.c), product(z, x_.s)));
        z = rounded_to_f32(sum(product(y, x_.s), product(z, x_.c)));
        y = new_y;
    }
    if (y_.active) {
        const double new_x = rounded_to_f32(sum(product(x, y_.c), product(z, y_.s)));
        z = rounded_to_f32(difference(product(z, y_.c), product(x, y_.s)));
        x = new_x;
    }
    if (z_.active) {
        const double new_x = difference(product(x, z_.c), product(y, z_.s));
        y = rounded_to_f32(sum(product(x, z_.s), product(y, z_.c)));
        x = new_x;
    }
    return Vec3f{nan_rule::narrowed(sum(instance_.x, x)), nan_rule::narrowed(sum(instance_.y, y)),
                 nan_rule::narrowed(sum(instance_.z, z))};
}

std::array<double, 4> rotation_quaternion(const InstanceRecord& instance) {
    const auto [sx, cx] = half_turn(instance.rot_x);
    const auto [sy, cy] = half_turn(instance.rot_y);
    const auto [sz, cz] = half_turn(instance.rot_z);
    return product(std::array<double, 4>{0, 0, sz, cz}, product({0, sy, 0, cy}, {sx, 0, 0, cx}));
}

Vec3f transform_point(const InstanceRecord& instance, const Vec3f& point) {
    return InstanceTransform(instance).apply(point);
}

}  // namespace kon2x
