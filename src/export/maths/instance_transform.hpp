// Places a point of the model in one instance: scale, rotate about x, y, z, translate.
#pragma once

#include <array>

#include "model/construction_model.hpp"

namespace kon2x {

struct Vec3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// One instance's transform with its sines and cosines computed once, for
// placing many points.
class InstanceTransform {
public:
    explicit InstanceTransform(const InstanceRecord& instance);
    Vec3f apply(const Vec3f& point) const { return finite_ ? apply_finite(point) : apply_by_rule(point); }
    // False when a result may be infinite or NaN: a scale factor that is not
    // finite, an infinite angle, or a scale factor so large that some point
    // of int32 coordinates overflows float32. Such an instance computes by
    // nan_rule, so that its NaNs have the same bits on every host.
    bool finite() const { return finite_; }

private:
    Vec3f apply_finite(const Vec3f& point) const;
    Vec3f apply_by_rule(const Vec3f& point) const;

    struct Rotation {
        bool active = false;
        double c = 1.0;
        double s = 0.0;
    };
    const InstanceRecord& instance_;
    bool finite_ = true;
    Rotation x_, y_, z_;
};

// The instance's rotation as a unit quaternion (x, y, z, w): about x, then y,
// then z, by the angles the transform turns by; an angle that is zero or not
// a number rotates nothing. Infinite angles give NaN.
std::array<double, 4> rotation_quaternion(const InstanceRecord& instance);

// The point's position in `instance`. Arithmetic is double precision, with
// the intermediate values reduced to float32 exactly where the output's last
// digits depend on it; an angle that is zero or not a number skips its
// rotation. NaNs follow nan_rule, operands taken left to right as written.
Vec3f transform_point(const InstanceRecord& instance, const Vec3f& point);

}  // namespace kon2x
