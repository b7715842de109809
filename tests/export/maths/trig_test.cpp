// Tests of the portable sine and cosine against the C library, in units in the last place.
#include "export/maths/trig.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace kon2x {
namespace {

std::int64_t ulps_apart(double a, double b) {
    std::int64_t ia = 0;
    std::int64_t ib = 0;
    std::memcpy(&ia, &a, sizeof a);
    std::memcpy(&ib, &b, sizeof b);
    ia = ia < 0 ? std::numeric_limits<std::int64_t>::min() - ia : ia;
    ib = ib < 0 ? std::numeric_limits<std::int64_t>::min() - ib : ib;
    return ia > ib ? ia - ib : ib - ia;
}

TEST(SinCos, AgreesWithTheLibraryWithinOneUlp) {
#if defined(_WIN32)
    GTEST_SKIP() << "this C library's sine is not accurate to one ulp";
#endif
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> degrees(-100000.0, 100000.0);
    std::uniform_int_distribution<int> huge_exponent(20, 1023);
    int identical = 0;
    constexpr int kCount = 400000;
    for (int i = 0; i < kCount; ++i) {
        // Degrees as the files give them: whole, halves, random; and every
        // tenth angle far beyond the three-part reduction's range.
        const double angle = i % 10 == 9  ? std::ldexp(degrees(random), huge_exponent(random))
                             : i % 3 == 0 ? std::round(degrees(random)) * 0.017453292519943295
                             : i % 3 == 1 ? i * 0.5 * 0.017453292519943295
                                          : degrees(random) * 0.017453292519943295;
        double s = 0;
        double c = 0;
        sin_cos(angle, s, c);
        ASSERT_LE(ulps_apart(s, std::sin(angle)), 1) << angle;
        ASSERT_LE(ulps_apart(c, std::cos(angle)), 1) << angle;
        identical += (s == std::sin(angle) && c == std::cos(angle)) ? 1 : 0;
    }
    EXPECT_GT(identical, kCount * 9 / 10);
}

// The same bits on every platform: a digest of many results, pinned.
TEST(SinCos, GivesTheSameBitsOnEveryPlatform) {
    std::uint64_t digest = 1469598103934665603u;
    for (int i = -100000; i <= 100000; ++i) {
        double s = 0;
        double c = 0;
        sin_cos(i * 0.37 * 0.017453292519943295, s, c);
        std::uint64_t bits[2];
        std::memcpy(&bits[0], &s, sizeof s);
        std::memcpy(&bits[1], &c, sizeof c);
        digest = (digest ^ bits[0]) * 1099511628211u;
        digest = (digest ^ bits[1]) * 1099511628211u;
    }
    EXPECT_EQ(digest, 15117403622451980351u);
}

// Huge arguments against sine and cosine computed with 2600 bits of pi and
// correctly rounded (hex floats: argument, sine, cosine).
TEST(SinCos, ReducesHugeArgumentsExactly) {
    const double rows[][3] = {
        {0x1.0f0cf064dd592p+73, -0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},    // 1e22
        {-0x1.0f0cf064dd592p+73, 0x1.b453ab76bf397p-1, 0x1.0be2cef01c8f4p-1},    // -1e22
        {0x1.a42c3845d23bep+123, -0x1.ff77c71434100p-1, -0x1.75638890b1ec8p-5},  // 1e39 degrees
        {0x1.1df4690735697p+122, 0x1.f11d64be623f6p-1, 0x1.ea3d0999614b0p-3},    // 3.4028235e38 degrees
        {0x1.7e43c8800759cp+996, -0x1.a2c16b010e385p-1, -0x1.2699022adc4c1p-1},  // 1e300
        {0x1.fffffffffffffp+1023, 0x1.452fc98b34e97p-8, -0x1.fffe62ecfab75p-1},  // the largest double
        {0x1.921fb00000001p+20, -0x1.4b02e5bac8e3cp-2, 0x1.e48312584baf1p-1},    // just above 2^20 pi/2
        {0x1.0000000000000p+21, 0x1.3f68887a137efp-1, 0x1.9027224e704fap-1},     // 2^21
        // 6381956970095103 * 2^797, the double nearest to a multiple of pi/2, and its negative
        {0x1.6ac5b262ca1ffp+849, 0x1.0000000000000p+0, -0x1.14ae72e6ba22fp-61},
        {-0x1.6ac5b262ca1ffp+849, -0x1.0000000000000p+0, -0x1.14ae72e6ba22fp-61},
    };
    for (const auto& row : rows) {
        double s = 0;
        double c = 0;
        sin_cos(row[0], s, c);
        EXPECT_LE(ulps_apart(s, row[1]), 1) << std::hexfloat << row[0];
        EXPECT_LE(ulps_apart(c, row[2]), 1) << std::hexfloat << row[0];
    }
}

TEST(SinCos, SpecialValues) {
    double s = 0;
    double c = 0;
    sin_cos(0.0, s, c);
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(c, 1.0);
    sin_cos(90 * 0.017453292519943295, s, c);
    EXPECT_EQ(s, 1.0);
    EXPECT_EQ(c, std::cos(90 * 0.017453292519943295));  // the 6.1e-17 residue
    sin_cos(std::numeric_limits<double>::infinity(), s, c);
    EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

}  // namespace
}  // namespace kon2x
