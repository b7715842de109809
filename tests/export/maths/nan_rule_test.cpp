// Tests of the NaN rule, to the bit.
#include "export/maths/nan_rule.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

namespace kon2x::nan_rule {
namespace {

double bits(std::uint64_t value) {
    return std::bit_cast<double>(value);
}

TEST(NanRule, GivesTheSameBitsOnEveryHost) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double result;
        std::uint64_t expected;
    } rows[] = {
        {difference(inf, inf), kDefaultNaNBits},  // invalid: the default NaN
        {product(0.0, -inf), kDefaultNaNBits},
        {sum(2.0, bits(0x7FF0000000000001u)), 0x7FF8000000000001u},  // one NaN, quieted
        {product(bits(0xFFF0000000000123u), bits(0x7FF8000000000456u)), 0xFFF8000000000123u},  // the left NaN
        {product(bits(0x7FF8000000000456u), bits(0xFFF0000000000123u)), 0x7FF8000000000456u},
        {rounded_to_f32(bits(0xFFF0123456789ABCu)), 0xFFF8123440000000u},  // sign and top of the payload
        {widened(std::bit_cast<float>(0x7F800001u)), 0x7FF8000020000000u},
        {rounded_to_f32(0.1), std::bit_cast<std::uint64_t>(static_cast<double>(0.1f))},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(row.result), row.expected) << std::hex << row.expected;
    }
}

}  // namespace
}  // namespace kon2x::nan_rule
