// Six-decimal formatting: an integer fast path far from rounding ties, a
// 17-significant-digit route near them and for large values.
#include "export/fixed6.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kon2x {

namespace {

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* write_unsigned(char* out, std::uint64_t value) {
    char digits[20];
    char* end = digits + sizeof digits;
    char* p = end;
    while (value >= 100) {
        const std::size_t pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        p -= 2;
        p[0] = kDigitPairs[pair];
        p[1] = kDigitPairs[pair + 1];
    }
    if (value >= 10) {
        const std::size_t pair = static_cast<std::size_t>(value) * 2;
        p -= 2;
        p[0] = kDigitPairs[pair];
        p[1] = kDigitPairs[pair + 1];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    const std::size_t length = static_cast<std::size_t>(end - p);
    std::memcpy(out, p, length);
    return out + length;
}

// Writes millionths as "<integer>.<six digits>".
char* write_millionths(char* out, std::uint64_t millionths) {
    out = write_unsigned(out, millionths / 1000000);
    *out++ = '.';
    std::uint32_t fraction = static_cast<std::uint32_t>(millionths % 1000000);
    for (int i = 2; i >= 0; --i) {
        const std::size_t pair = (fraction % 100) * 2;
        fraction /= 100;
        out[2 * i] = kDigitPairs[pair];
        out[2 * i + 1] = kDigitPairs[pair + 1];
    }
    return out + 6;
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

char* write_fixed6(char* out, double value) {
    // Far from a tie, the 17-digit route and exact rounding agree, and
    // value * 1e6 rounded to the nearest integer gives the result directly.
    // The margin covers the product's rounding error (at most 2^-53 of it)
    // and the 17-digit string's (at most 0.5e-16 of it) several times over.
    constexpr double kFastLimit = 4503599627370496.0;  // 2^52 millionths
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * 1e6;
    if (scaled < kFastLimit) {
        const double floor_scaled = std::floor(scaled);
        const double fraction = scaled - floor_scaled;
        const double margin = scaled * 1e-15 + 1e-300;
        if (std::fabs(fraction - 0.5) > margin) {
            if (value == 0.0) {
                return write_text(out, "0.000000");
            }
            if (value < 0.0) {
                *out++ = '-';
            }
            const auto millionths = static_cast<std::uint64_t>(floor_scaled) + (fraction > 0.5 ? 1 : 0);
            return write_millionths(out, millionths);
        }
    }
    return write_fixed6_exact(out, value);
}

}  // namespace kon2x
