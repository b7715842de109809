// Decimal digits written eight at a time from a table of four-digit groups:
// integers and the parts of every six-decimal number of the output. Inline,
// since the writers call them for every number. Each may write up to 8 bytes
// beyond the end it returns.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace kon2x {

namespace decimal_digits {

// The four ASCII digits of every value below 10^4, the first in the lowest
// byte: 40 KB, looked up twice for eight digits.
extern const std::array<std::uint32_t, 10000> kFourDigits;

// The eight digits of a value below 10^8, leading zeros included, as one
// word, the first digit in the lowest byte.
inline std::uint64_t eight_digit_word(std::uint32_t value) {
    return kFourDigits[value / 10000] | std::uint64_t{kFourDigits[value % 10000]} << 32;
}

// The bits that an eight-digit word's leading zeros take, at most 56: a
// value's last digit is kept even when it is 0.
inline unsigned leading_zero_bits(std::uint64_t word) {
    constexpr std::uint64_t kZeros = 0x3030303030303030u;
    return static_cast<unsigned>(std::countr_zero((word ^ kZeros) | std::uint64_t{1} << 56)) & ~7u;
}

// Stores the word's bytes lowest first, whatever the host's byte order.
inline void store_word(char* out, std::uint64_t word) {
    if constexpr (std::endian::native == std::endian::big) {
        word = ((word & 0x00000000FFFFFFFFu) << 32) | (word >> 32);
        word = ((word & 0x0000FFFF0000FFFFu) << 16) | ((word >> 16) & 0x0000FFFF0000FFFFu);
        word = ((word & 0x00FF00FF00FF00FFu) << 8) | ((word >> 8) & 0x00FF00FF00FF00FFu);
    }
    std::memcpy(out, &word, sizeof word);
}

// A value below 10^8 without leading zeros.
inline char* write_below_1e8(char* out, std::uint32_t value) {
    const std::uint64_t word = eight_digit_word(value);
    const unsigned zero_bits = leading_zero_bits(word);
    store_word(out, word >> zero_bits);
    return out + 8 - zero_bits / 8;
}

// Exactly eight digits, leading zeros included, of a value below 10^8.
inline char* write_eight_digits(char* out, std::uint32_t value) {
    store_word(out, eight_digit_word(value));
    return out + 8;
}

}  // namespace decimal_digits

// Writes an integer in decimal at `out` and returns the end. May write up to
// 8 bytes beyond the end: give it room for 32.
inline char* write_decimal(char* out, std::uint64_t value) {
    using namespace decimal_digits;
    constexpr std::uint64_t kEightDigits = 100000000;
    if (value < kEightDigits) {
        return write_below_1e8(out, static_cast<std::uint32_t>(value));
    }
    // At most 20 digits: up to four leading ones, then groups of eight.
    const std::uint64_t high = value / kEightDigits;
    const auto low = static_cast<std::uint32_t>(value % kEightDigits);
    if (high < kEightDigits) {
        out = write_below_1e8(out, static_cast<std::uint32_t>(high));
    } else {
        out = write_below_1e8(out, static_cast<std::uint32_t>(high / kEightDigits));
        out = write_eight_digits(out, static_cast<std::uint32_t>(high % kEightDigits));
    }
    return write_eight_digits(out, low);
}

inline char* write_decimal(char* out, std::int64_t value) {
    if (value < 0) {
        *out++ = '-';
        return write_decimal(out, 0 - static_cast<std::uint64_t>(value));
    }
    return write_decimal(out, static_cast<std::uint64_t>(value));
}

}  // namespace kon2x
