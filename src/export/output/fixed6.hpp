// Fixed-point text with six decimals, as the home platform's printf("%.6f")
// writes it. The common case is inline, for the writers' inner loops.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "export/output/decimal_digits.hpp"

namespace kon2x {

// Room that write_fixed6 may need: sign, 309 integer digits, point, six
// decimals. Its fast paths write scratch bytes up to 8 beyond the end, only
// for numbers far shorter than that.
constexpr std::size_t kMaxFixed6Length = 320;

// write_fixed6 for the values its inline part leaves to it: from 10^8 on,
// near a rounding tie, and not finite.
char* write_fixed6_rest(char* out, double value);

// The same through the 17-digit route alone, without any fast path.
char* write_fixed6_exact(char* out, double value);

namespace fixed6_detail {

// Whether a magnitude below 2^52 millionths (about 4.5 * 10^9) whose
// distance from the half-way point between two millionths came out as 0 is a
// true tie. Only a multiple of 1/128 can lie exactly half-way (a binary
// fraction times 2 * 10^6 is an odd integer only then); below that limit it
// has at most 17 significant digits, so the 17-digit string is the value
// itself and rounds half up, and its millionths are exact, so the distance is
// exact too. Such ties are common: a float32 of 2^16 or more is always a
// multiple of 1/128.
inline bool is_exact_tie(double magnitude, double distance_from_tie) {
    const double in_128ths = magnitude * 128.0;
    return distance_from_tie == 0.0 && static_cast<double>(static_cast<std::int64_t>(in_128ths)) == in_128ths;
}

// ".00" to ".99" as the lowest three bytes of a word: the point and the
// first two decimals.
inline constexpr auto kPointAndTwoDigits = [] {
    std::array<std::uint32_t, 100> words{};
    for (std::uint32_t value = 0; value < words.size(); ++value) {
        words[value] = '.' | ('0' + value / 10) << 8 | ('0' + value % 10) << 16;
    }
    return words;
}();

// Writes the point and the six decimals of a fraction in millionths (below 10^6).
// Writes up to 1 byte beyond the result's end.
inline char* write_point_and_decimals(char* out, std::uint32_t fraction) {
    using namespace decimal_digits;
    store_word(out,
               kPointAndTwoDigits[fraction / 10000] | std::uint64_t{kFourDigits[fraction % 10000]} << 24);
    return out + 7;
}

// Writes "<integer>.<six digits>" for the rounded millionths (below 10^14)
// of a magnitude. Writes up to 8 bytes beyond the result's end.
inline char* write_millionths(char* out, double magnitude, std::int64_t millionths) {
    // The integer part is the magnitude's, unless rounding carried into it.
    auto integer = static_cast<std::uint32_t>(static_cast<std::int32_t>(magnitude));
    auto fraction = static_cast<std::uint32_t>(millionths - std::int64_t{integer} * 1000000);
    if (fraction == 1000000) {
        ++integer;
        fraction = 0;
    }
    return write_point_and_decimals(decimal_digits::write_below_1e8(out, integer), fraction);
}

}  // namespace fixed6_detail

// Writes `value` with six decimals at `out` and returns the end. The value is
// taken to 17 significant digits, correctly rounded, and that digit string is
// rounded half up at the sixth decimal. Exact zero of either sign is
// "0.000000"; another negative value keeps its '-' even when it rounds to
// zero. Values that are not finite are written as "1.#INF00", "-1.#IND00",
// "1.#QNAN0" or "1.#SNAN0" with a '-' for a set sign bit.
inline char* write_fixed6(char* out, double value) {
    // Below 10^8 and away from a tie, value * 10^6 rounded half up is the
    // result, and adding 0.5 and truncating rounds half up. The margin, 10^-15
    // of the product, is several times the errors that could carry a value
    // across a tie: the product's rounding (2^-53 of it), the sum's (2^-53 of
    // the sum, and near a tie the product is at least 0.5) and the 17-digit
    // string's (0.5e-16 of it).
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * 1e6;
    const double plus_half = scaled + 0.5;
    if (plus_half < 1e14) {  // false for NaN and infinity as well
        const auto millionths = static_cast<std::int64_t>(plus_half);
        // In [0, 1): 0 at a tie, 0.5 at a whole number of millionths.
        const double above_tie = plus_half - static_cast<double>(millionths);
        if (std::fabs(above_tie - 0.5) < 0.5 - scaled * 1e-15 ||
            fixed6_detail::is_exact_tie(magnitude, above_tie)) {
            // No branch on the sign: the '-' stays only below zero (-0.0 < 0.0
            // is false), so both zeros are "0.000000".
            *out = '-';
            out += value < 0.0 ? 1 : 0;
            return fixed6_detail::write_millionths(out, magnitude, millionths);
        }
    }
    return write_fixed6_rest(out, value);
}

}  // namespace kon2x
