// The drawings' text: numbers locale-free, bounded and the same bytes on
// every platform, and pieces joined.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kon2x {

// `value` rounded to `decimals` places (0 to 6) to nearest, ties to even, on
// its exact binary value, without trailing zeros or a trailing point: 5,
// 5.25, 0.33. A result of zero is "0", without a sign. Magnitudes from 10^15
// on take six significant digits and an exponent: 1e+300, -1.23457e+15. Not
// finite: "NaN", "inf", "-inf". At most 24 characters.
std::string real_text(double value, int decimals);

// An integer in decimal.
std::string integer_text(std::int64_t value);

// The pieces one after the other.
template <typename... Pieces>
std::string joined(const Pieces&... pieces) {
    std::string text;
    (text.append(std::string_view(pieces)), ...);
    return text;
}

}  // namespace kon2x
