// The drawings' numbers: rounding, bounds and the spellings of what is not finite.
#include "export/output/drawing_text.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace kon2x {
namespace {

TEST(RealText, RoundsToNearestEvenAndStaysShort) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int decimals;
        const char* text;
    } rows[] = {
        {5.0, 2, "5"},
        {5.25, 2, "5.25"},
        {0.125, 2, "0.12"},
        {0.375, 2, "0.38"},
        {0.1, 3, "0.1"},
        {-0.001, 2, "0"},
        {-0.0, 2, "0"},
        {-2500.5, 2, "-2500.5"},
        {2.0 / 3, 3, "0.667"},
        {999999999999999.9, 2, "999999999999999.88"},
        {1e15, 2, "1e+15"},
        {-1.234567e300, 2, "-1.23457e+300"},
        {std::numeric_limits<double>::quiet_NaN(), 2, "NaN"},
        {kInfinity, 2, "inf"},
        {-kInfinity, 2, "-inf"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(real_text(row.value, row.decimals), row.text) << row.value;
    }
    EXPECT_EQ(integer_text(-2147483648LL * 2), "-4294967296");
}

}  // namespace
}  // namespace kon2x
