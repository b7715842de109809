// Portable sine and cosine: the argument is reduced by pi/2, in three parts
// (Cody and Waite) for ordinary angles and exactly for huge ones (Payne and
// Hanek, with the bits of 2/pi), then minimax polynomials on [-pi/4, pi/4]
// give the result, in the classic fdlibm manner.
#include "export/maths/trig.hpp"

#include <array>
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

// Polynomial coefficients: sine from x^3 on, cosine from x^4 on.
constexpr double kSin[] = {-1.66666666666666324348e-01, 8.33333333332248946124e-03,
                           -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                           -2.50507602534068634195e-08, 1.58969099521155010221e-10};
constexpr double kCos[] = {4.16666666666666019037e-02, -1.38888888888741095749e-03,
                           2.48015872894767294178e-05, -2.75573143513906633035e-07,
                           2.08757232129817482790e-09, -1.13596475577881948265e-11};

// Up to this magnitude (2^20 * pi/2) the three-part reduction is accurate.
constexpr double kMediumLimit = 1647099.0;

int exponent_of(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return static_cast<int>((bits >> 52) & 0x7FF);
}

// x = n * pi/2 + (hi + lo), |hi + lo| <= pi/4 or so; returns n.
int reduce_medium(double x, double& hi, double& lo) {
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

// The bits of 2/pi after the binary point, 32 to a word, enough for the
// largest double.
constexpr std::uint32_t kTwoOverPi[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D};

constexpr int kWindowWords = 7;                            // bits of 2/pi taken per reduction: 224
constexpr int kProductWords = kWindowWords + 2;            // times a 53-bit significand
using Product = std::array<std::uint32_t, kProductWords>;  // lowest word first

// The 32 bits of 2/pi that start `start` bits after the binary point.
std::uint32_t two_over_pi_bits(int start) {
    const int word = start / 32;
    const int shift = start % 32;
    const std::uint64_t pair = (std::uint64_t{kTwoOverPi[word]} << 32) | kTwoOverPi[word + 1];
    return static_cast<std::uint32_t>(pair >> (32 - shift));
}

// `count` (at most 53) bits of `q` from bit `low` upwards; bits below bit 0 are 0.
std::uint64_t bits_of(const Product& q, int low, int count) {
    std::uint64_t bits = 0;
    for (int i = low + count - 1; i >= low; --i) {
        const bool set = i >= 0 && ((q[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u) != 0;
        bits = (bits << 1) | (set ? 1u : 0u);
    }
    return bits;
}

// Exact products and sums of doubles (Dekker, Knuth), for the last step.
void split(double a, double& high, double& low) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    high = c - (c - a);
    low = a - high;
}

void two_product(double a, double b, double& product, double& error) {
    double ah = 0, al = 0, bh = 0, bl = 0;
    split(a, ah, al);
    split(b, bh, bl);
    product = a * b;
    error = ((ah * bh - product) + ah * bl + al * bh) + al * bl;
}

// x = n * pi/2 + (hi + lo) for any finite x > 0, with the argument reduced
// exactly: x is m * 2^e (m an integer of 53 bits), and x * 2/pi modulo 4 takes
// only the bits of 2/pi from about position e on. The fraction that remains
// keeps more than 160 bits, enough for the doubles closest to a multiple of pi/2.
int reduce_large(double x, double& hi, double& lo) {
    int exponent = 0;
    const double mantissa = std::frexp(x, &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    const int e = exponent - 53;
    // The window of 2/pi starts at its bit `first` (1-based); bits before it
    // add multiples of 4. The product's binary point lies `point` bits up.
    const int first = e >= 2 ? e - 1 : 1;
    const int point = first + 32 * kWindowWords - 1 - e;
    const std::uint64_t m_words[2] = {m & 0xFFFFFFFFu, m >> 32};
    Product q{};
    for (int j = 0; j < kWindowWords; ++j) {  // q += (word j of the window) * m * 2^(32 j)
        const std::uint64_t w = two_over_pi_bits(first - 1 + 32 * (kWindowWords - 1 - j));
        std::uint64_t carry = 0;
        for (int k = j; k < kProductWords; ++k) {
            const std::uint64_t sum =
                q[static_cast<std::size_t>(k)] + (k - j < 2 ? w * m_words[k - j] : 0) + carry;
            q[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
    }
    int n = static_cast<int>(bits_of(q, point, 2));
    // The fraction below the point; from one half on, count it as a negative
    // remainder of the next quarter turn.
    const bool upper_half = bits_of(q, point - 1, 1) != 0;
    if (upper_half) {
        ++n;
        std::uint64_t borrow = 1;  // two's complement: invert, add one
        for (std::uint32_t& word : q) {
            const std::uint64_t sum = std::uint64_t{~word} + borrow;
            word = static_cast<std::uint32_t>(sum);
            borrow = sum >> 32;
        }
    }
    int top = point - 1;
    while (top > 0 && bits_of(q, top, 1) == 0) {
        --top;
    }
    const double fraction_hi = std::ldexp(static_cast<double>(bits_of(q, top - 52, 53)), top - 52 - point);
    const double fraction_lo = std::ldexp(static_cast<double>(bits_of(q, top - 105, 53)), top - 105 - point);
    // Times pi/2 in double-double arithmetic.
    constexpr double kPio2Hi = 1.5707963267948966;     // pi/2 rounded to a double
    constexpr double kPio2Lo = 6.123233995736766e-17;  // and what it lacks
    double product = 0;
    double error = 0;
    two_product(fraction_hi, kPio2Hi, product, error);
    error += fraction_hi * kPio2Lo + fraction_lo * kPio2Hi;
    hi = product + error;
    lo = error - (hi - product);
    if (upper_half) {
        hi = -hi;
        lo = -lo;
    }
    return n;
}

double kernel_sin(double x, double y) {
    const double z = x * x;
    const double v = z * x;
    const double r = kSin[1] + z * (kSin[2] + z * (kSin[3] + z * (kSin[4] + z * kSin[5])));
    return x - ((z * (0.5 * y - v * r) - y) - v * kSin[0]);
}

double kernel_cos(double x, double y) {
    const double z = x * x;
    const double w = z * z;
    const double r =
        z * (kCos[0] + z * (kCos[1] + z * kCos[2])) + w * w * (kCos[3] + z * (kCos[4] + z * kCos[5]));
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
    double hi = 0;
    double lo = 0;
    int n = 0;
    if (std::fabs(x) <= kMediumLimit) {
        n = reduce_medium(x, hi, lo);
    } else {
        n = reduce_large(std::fabs(x), hi, lo);
        if (x < 0) {
            n = -n;
            hi = -hi;
            lo = -lo;
        }
    }
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
