// Portable sine and cosine: reduction by pi/2 in three parts (Cody and Waite),
// then minimax polynomials on [-pi/4, pi/4], in the classic fdlibm manner.
#include "export/trig.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace kon2x {

namespace {

constexpr double kInvPio2 = 6.36619772367581382433e-01;
// pi/2 in three pieces of 33 bits each, with the tails of each prefix.
constexpr double kPio2_1 = 1.57079632673412561417e+00;
constexpr double kPio2_1t = 6.07710050650619224932e-11;
constexpr double kPio2_2 = 6.07710050630396597660e-11;
constexpr double kPio2_2t = 2.02226624879595063154e-21;
constexpr double kPio2_3 = 2.02226624871116645580e-21;
constexpr double kPio2_3t = 8.47842766036889956997e-32;

constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;

constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

// Above this the three-part reduction loses accuracy; such angles are first
// brought into range with an exact remainder (deterministic, if not accurate).
constexpr double kMediumLimit = 1647099.0;
constexpr double kTwoPi = 6.28318530717958623200e+00;

int exponent_of(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return static_cast<int>((bits >> 52) & 0x7FF);
}

// x = n * pi/2 + (hi + lo), |hi + lo| <= pi/4 or so; returns n.
int reduce(double x, double& hi, double& lo) {
    const double fn = std::nearbyint(x * kInvPio2);
    const int n = static_cast<int>(fn);
    double r = x - fn * kPio2_1;
    double w = fn * kPio2_1t;
    hi = r - w;
    const int j = exponent_of(x);
    if (j - exponent_of(hi) > 16) {  // cancellation: a second piece of pi/2
        double t = r;
        w = fn * kPio2_2;
        r = t - w;
        w = fn * kPio2_2t - ((t - r) - w);
        hi = r - w;
        if (j - exponent_of(hi) > 49) {  // and a third
            t = r;
            w = fn * kPio2_3;
            r = t - w;
            w = fn * kPio2_3t - ((t - r) - w);
            hi = r - w;
        }
    }
    lo = (r - hi) - w;
    return n;
}

double kernel_sin(double x, double y) {
    const double z = x * x;
    const double v = z * x;
    const double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    return x - ((z * (0.5 * y - v * r) - y) - v * kS1);
}

double kernel_cos(double x, double y) {
    const double z = x * x;
    const double w = z * z;
    const double r = z * (kC1 + z * (kC2 + z * kC3)) + w * w * (kC4 + z * (kC5 + z * kC6));
    const double hz = 0.5 * z;
    const double one_minus_hz = 1.0 - hz;
    return one_minus_hz + (((1.0 - one_minus_hz) - hz) + (z * r - x * y));
}

}  // namespace

void sin_cos(double x, double& sine, double& cosine) {
    if (!std::isfinite(x)) {
        sine = cosine = x - x;  // NaN
        return;
    }
    if (std::fabs(x) < 0x1p-27) {
        sine = x;
        cosine = 1.0;
        return;
    }
    if (std::fabs(x) > kMediumLimit) {
        x = std::fmod(x, kTwoPi);
    }
    double hi = 0;
    double lo = 0;
    const int n = reduce(x, hi, lo);
    const double s = kernel_sin(hi, lo);
    const double c = kernel_cos(hi, lo);
    switch (n & 3) {
    case 0:
        sine = s;
        cosine = c;
        break;
    case 1:
        sine = c;
        cosine = -s;
        break;
    case 2:
        sine = -s;
        cosine = -c;
        break;
    default:
        sine = -c;
        cosine = s;
        break;
    }
}

}  // namespace kon2x
