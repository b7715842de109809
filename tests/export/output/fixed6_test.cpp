// Tests of six-decimal formatting: the rounding rules, the non-finite forms,
// and the fast path against a slow reference on millions of values.
#include "export/output/fixed6.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "export/output/decimal_digits.hpp"

namespace kon2x {
namespace {

std::string fast(double value) {
    char text[kMaxFixed6Length];
    return std::string(text, write_fixed6(text, value));
}

std::string exact(double value) {
    char text[kMaxFixed6Length];
    return std::string(text, write_fixed6_exact(text, value));
}

double from_bits(std::uint64_t bits) {
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The rule written out the slow, plain way: print 17 significant digits with
// the C library, write them out as a full fixed-point decimal, round that half
// up at the sixth decimal with schoolbook carries.
std::string reference(double value) {
    if (value == 0.0) {
        return "0.000000";
    }
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.16e", std::fabs(value));
    std::string digits = std::string(1, scientific[0]) + std::string(scientific + 2, 16);
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    // Place the point: the first digit stands for 10^exponent.
    std::string integer;
    std::string fraction;
    if (exponent >= 0) {
        digits.resize(std::max<std::size_t>(digits.size(), static_cast<std::size_t>(exponent) + 1), '0');
        integer = digits.substr(0, static_cast<std::size_t>(exponent) + 1);
        fraction = digits.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        integer = "0";
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    fraction.resize(std::max<std::size_t>(fraction.size(), 7), '0');
    const bool up = fraction[6] >= '5';
    std::string number = integer + fraction.substr(0, 6);
    if (up) {
        std::size_t i = number.size();
        while (i > 0 && number[i - 1] == '9') {
            number[--i] = '0';
        }
        if (i == 0) {
            number.insert(number.begin(), '1');
        } else {
            ++number[i - 1];
        }
    }
    std::string text = number.substr(0, number.size() - 6) + "." + number.substr(number.size() - 6);
    return (value < 0 ? "-" : "") + text;
}

TEST(Fixed6, FollowsTheThreeRoundingRules) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.0078125, "0.007813"},
        {100.5078125, "100.507813"},
        {-0.0078125, "-0.007813"},
        {0.00390625, "0.003906"},
        {0.0, "0.000000"},
        {-0.0, "0.000000"},
        {-4e-7, "-0.000000"},
        {-6.1e-15, "-0.000000"},
        {6.123233995736766e-15, "0.000000"},
        {5e-7, "0.000000"},  // the double below the tie
        {-5e-7, "-0.000000"},
        {5.000000000000001e-7, "0.000001"},
        {4.9999999999999e-7, "0.000000"},
        {0.9999995, "1.000000"},
        {999999.9999995, "1000000.000000"},
        {9999.9999996, "10000.000000"},
        {99999999.999999, "99999999.999999"},
        {99999999.9999996, "100000000.000000"},
        {-260.69366455078125, "-260.693665"},
        {186.21524047851562, "186.215240"},
        {-254.4224090576172, "-254.422409"},
        {2147483647.0, "2147483647.000000"},
        {1e10, "10000000000.000000"},
        {3.4028234663852886e38, "340282346638528860000000000000000000000.000000"},
        {123456789012.0078125, "123456789012.007810"},
        {0.1, "0.100000"},
        {1.0, "1.000000"},
        {-1.0, "-1.000000"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fast(row.value), row.text) << row.value;
        EXPECT_EQ(exact(row.value), row.text) << row.value;
    }
}

TEST(Fixed6, WritesTheColourProductsOfEveryByte) {
    // Eight bytes print one unit higher than byte / 255 because the factor is
    // the float32 nearest to 1/255.
    const int higher[] = {80, 131, 138, 182, 189, 233, 240, 247};
    for (int byte = 0; byte < 256; ++byte) {
        const double product = byte * 0.003921568859368563;
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.6f", byte / 255.0);
        const bool is_higher = std::find(std::begin(higher), std::end(higher), byte) != std::end(higher);
        if (is_higher) {
            EXPECT_NE(fast(product), expected) << byte;
        } else {
            EXPECT_EQ(fast(product), expected) << byte;
        }
        EXPECT_EQ(fast(product), reference(product)) << byte;
    }
    EXPECT_EQ(fast(80 * 0.003921568859368563), "0.313726");
    EXPECT_EQ(fast(255 * 0.003921568859368563), "1.000000");
    EXPECT_EQ(fast(128 * 0.003921568859368563), "0.501961");
    EXPECT_EQ(fast(1 * 0.003921568859368563), "0.003922");
}

TEST(Fixed6, WritesValuesThatAreNotFiniteAsTheHomePlatformDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {inf, "1.#INF00"},
        {-inf, "-1.#INF00"},
        {from_bits(0xFFF8000000000000u), "-1.#IND00"},
        {from_bits(0x7FF8000000000000u), "1.#QNAN0"},
        {from_bits(0xFFF8000000000001u), "-1.#QNAN0"},
        {from_bits(0x7FF0000000000001u), "1.#SNAN0"},
        {from_bits(0xFFF4000000000000u), "-1.#SNAN0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fast(row.value), row.text);
    }
}

TEST(WriteDecimal, WritesEveryDigitCountAndSign) {
    const auto text = [](auto value) {
        char digits[32];
        return std::string(digits, write_decimal(digits, value));
    };
    // Every power of ten and the number below it, through every group of eight digits.
    std::uint64_t power = 1;
    for (int digits = 1; digits <= 19; ++digits) {
        std::string one_and_zeros(static_cast<std::size_t>(digits), '0');
        one_and_zeros[0] = '1';
        EXPECT_EQ(text(power), one_and_zeros);
        EXPECT_EQ(text(power * 10 - 1), std::string(static_cast<std::size_t>(digits), '9'));
        power *= 10;
    }
    EXPECT_EQ(text(std::uint64_t{0}), "0");
    EXPECT_EQ(text(std::uint64_t{10000000000000000000u}), "10000000000000000000");
    EXPECT_EQ(text(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(text(std::uint64_t{1234567890123456789u}), "1234567890123456789");
    EXPECT_EQ(text(std::int64_t{-7}), "-7");
    EXPECT_EQ(text(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

// Compares the fast path with the reference; stops after a few mismatches.
class Comparison {
public:
    void check(double value) {
        if (failures_ < 5) {
            const std::string got = fast(value);
            const std::string want = reference(value);
            if (got != want) {
                ++failures_;
                ADD_FAILURE() << std::hexfloat << value << ": " << got << " != " << want;
            }
        }
        ++checked_;
    }
    long checked() const { return checked_; }

private:
    int failures_ = 0;
    long checked_ = 0;
};

TEST(Fixed6, FastPathAgreesWithTheReferenceOnMillionsOfValues) {
    Comparison comparison;
    std::mt19937_64 random(20261207);
    // Random float32 bit patterns widened to double: every exponent, both signs.
    for (int i = 0; i < 1500000; ++i) {
        const auto bits = static_cast<std::uint32_t>(random());
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) {
            comparison.check(static_cast<double>(f));
        }
    }
    // Random doubles of moderate magnitude, where the fast path is taken.
    std::uniform_real_distribution<double> moderate(-1e6, 1e6);
    for (int i = 0; i < 500000; ++i) {
        comparison.check(moderate(random));
    }
    // Every k/128 and k/256: the ties and their neighbours; one ulp either side.
    for (int k = -300000; k <= 300000; ++k) {
        for (const double denominator : {128.0, 256.0}) {
            const double value = k / denominator;
            comparison.check(value);
            comparison.check(std::nextafter(value, 1e300));
            comparison.check(std::nextafter(value, -1e300));
        }
    }
    // Ties far out, where the 17th digit decides.
    for (int k = 0; k < 200000; ++k) {
        const double value = 1e7 + k + 0.0078125 * (2 * (k % 64) + 1);
        comparison.check(value);
        comparison.check(std::nextafter(value, 0.0));
    }
    // Ties and their neighbours either side of 2^52 millionths, where the 17-digit route takes over.
    for (int k = -100000; k < 100000; ++k) {
        const double value = 4503599627.0 + 0.0078125 * (2 * k + 1);
        comparison.check(value);
        comparison.check(std::nextafter(value, 0.0));
        comparison.check(std::nextafter(value, 1e300));
    }
    // One ulp (2^-26) apart either side of 10^8, where the inline path hands over.
    for (int k = -100000; k <= 100000; ++k) {
        comparison.check(1e8 + k * 0x1p-26);
    }
    // Integers up to 2^31.
    for (std::int64_t n = 0; n <= 2147483648LL; n += 2147483648LL / 300000 + 1) {
        comparison.check(static_cast<double>(n));
        comparison.check(-static_cast<double>(n));
    }
    // Colour products and float32 texture coordinates k/1000.
    for (int byte = 0; byte < 256; ++byte) {
        comparison.check(byte * 0.003921568859368563);
    }
    for (int k = -200000; k <= 200000; ++k) {
        comparison.check(static_cast<double>(static_cast<float>(k / 1000.0)));
    }
    EXPECT_GT(comparison.checked(), 5000000);
}

}  // namespace
}  // namespace kon2x
