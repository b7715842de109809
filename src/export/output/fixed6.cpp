// Six-decimal formatting beyond the inline fast path: whole millionths up to
// 2^52 far from rounding ties, a 17-significant-digit route near them, for
// larger values and for values that are not finite.
#include "export/output/fixed6.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "export/output/decimal_digits.hpp"

namespace kon2x {

namespace {

// Writes millionths of any size as "<integer>.<six digits>". Writes up to 8
// bytes beyond the result's end.
char* write_any_millionths(char* out, std::uint64_t millionths) {
    out = write_decimal(out, millionths / 1000000);
    return fixed6_detail::write_point_and_decimals(out, static_cast<std::uint32_t>(millionths % 1000000));
}

char* write_text(char* out, const char* text) {
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

char* write_not_finite(char* out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kIndefinite = 0xFFF8000000000000u;
    constexpr std::uint64_t kQuietBit = 0x0008000000000000u;
    if (bits == kIndefinite) {
        return write_text(out, "-1.#IND00");
    }
    if (std::signbit(value)) {
        *out++ = '-';
    }
    if (std::isinf(value)) {
        return write_text(out, "1.#INF00");
    }
    return write_text(out, (bits & kQuietBit) != 0 ? "1.#QNAN0" : "1.#SNAN0");
}

}  // namespace

char* write_fixed6_exact(char* out, double value) {
    if (!std::isfinite(value)) {
        return write_not_finite(out, value);
    }
    if (value == 0.0) {
        return write_text(out, "0.000000");
    }
    if (value < 0.0) {
        *out++ = '-';
        value = -value;
    }
    // "d.dddddddddddddddde[+-]x": 17 significant digits, correctly rounded.
    char scientific[32];
    const auto result =
        std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific, 16);
    char digits[18];
    digits[0] = scientific[0];
    std::memcpy(digits + 1, scientific + 2, 16);
    int exponent = 0;
    std::from_chars(scientific + 19 + (scientific[19] == '+' ? 1 : 0), result.ptr, exponent);

    // Digit i stands for 10^(exponent - i). The digits down to 10^-6 make the
    // number of millionths; the one for 10^-7 rounds it half up.
    const int last_kept = exponent + 6;
    char millionths[kMaxFixed6Length];
    int length = 0;
    for (int i = 0; i <= last_kept; ++i) {
        millionths[length++] = i < 17 ? digits[i] : '0';
    }
    const int rounding = exponent + 7;
    if (rounding >= 0 && rounding < 17 && digits[rounding] >= '5') {
        int i = length - 1;
        while (i >= 0 && millionths[i] == '9') {
            millionths[i--] = '0';
        }
        if (i >= 0) {
            ++millionths[i];
        } else {
            std::memmove(millionths + 1, millionths, static_cast<std::size_t>(length));
            millionths[0] = '1';
            ++length;
        }
    }
    // At least one integer digit.
    if (length < 7) {
        const int pad = 7 - length;
        std::memmove(millionths + pad, millionths, static_cast<std::size_t>(length));
        std::memset(millionths, '0', static_cast<std::size_t>(pad));
        length = 7;
    }
    std::memcpy(out, millionths, static_cast<std::size_t>(length - 6));
    out += length - 6;
    *out++ = '.';
    std::memcpy(out, millionths + length - 6, 6);
    return out + 6;
}

char* write_fixed6_rest(char* out, double value) {
    // The inline part's reasoning, up to 2^52 millionths: far from a tie,
    // value * 1e6 rounded to the nearest integer is the result. `above_half`
    // is the exact distance from the half-way point, in [-0.5, 0.5).
    constexpr double kFastLimit = 4503599627370496.0;  // 2^52 millionths
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * 1e6;
    if (scaled < kFastLimit) {  // false for NaN and infinity as well
        // Signed conversions: they are single instructions, the unsigned ones are not.
        const auto whole = static_cast<std::int64_t>(scaled);
        const double above_half = scaled - static_cast<double>(whole) - 0.5;
        if (std::fabs(above_half) > scaled * 1e-15 + 1e-300 ||
            fixed6_detail::is_exact_tie(magnitude, above_half)) {
            if (value < 0.0) {  // false for -0.0
                *out++ = '-';
            }
            return write_any_millionths(out, static_cast<std::uint64_t>(whole + (above_half >= 0.0 ? 1 : 0)));
        }
    }
    return write_fixed6_exact(out, value);
}

}  // namespace kon2x
