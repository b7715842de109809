// Tests of the portable sine and cosine against the C library, in units in the last place.
#include "export/trig.hpp"

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
    int identical = 0;
    constexpr int kCount = 400000;
    for (int i = 0; i < kCount; ++i) {
        // Degrees as the files give them: whole, halves, random.
        const double angle = (i % 3 == 0   ? std::round(degrees(random))
                              : i % 3 == 1 ? i * 0.5
                                           : degrees(random)) *
                             0.017453292519943295;
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
    sin_cos(1e300, s, c);  // far out of range: finite and on the unit circle
    EXPECT_NEAR(s * s + c * c, 1.0, 1e-12);
}

}  // namespace
}  // namespace kon2x
