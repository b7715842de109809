// The instance transform, step by step with its float32 reductions.
#include "export/maths/instance_transform.hpp"

#include "export/maths/trig.hpp"

namespace kon2x {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

double f32(double value) {
    return static_cast<double>(static_cast<float>(value));
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

InstanceTransform::InstanceTransform(const InstanceRecord& instance) : instance_(instance) {
    const auto rotation = [](double degrees) {
        Rotation r;
        r.active = rotates(degrees);
        if (r.active) {
            sin_cos(degrees * kRadiansPerDegree, r.s, r.c);
        }
        return r;
    };
    x_ = rotation(instance.rot_x);
    y_ = rotation(instance.rot_y);
    z_ = rotation(instance.rot_z);
}

Vec3f InstanceTransform::apply(const Vec3f& point) const {
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
