// Decimal digits written eight at a time: integers and the parts of every
// six-decimal number of the output. Inline, since the writer calls them for
// every number. Each may write up to 8 bytes beyond the end it returns.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace kon2x {

namespace decimal_digits {

inline constexpr std::uint32_t kPowersOfTen[] = {1u,      10u,      100u,      1000u,      10000u,
                                                 100000u, 1000000u, 10000000u, 100000000u, 1000000000u};

// The number of decimal digits of a value (1 for 0), without a loop.
inline int digit_count(std::uint32_t value) {
    value |= 1;  // the same count, and 0 counts as one digit
    const int bits = 32 - std::countl_zero(value);
    const int guess = (bits * 1233) >> 12;  // about log10(2^bits)
    return guess + 1 - (value < kPowersOfTen[guess] ? 1 : 0);
}

// The eight decimal digits of a value below 10^8 as ASCII bytes of one word,
// the first digit in the lowest byte; computed in lanes, without a table.
inline std::uint64_t eight_digit_word(std::uint32_t value) {
    const std::uint64_t halves = (value / 10000) | (std::uint64_t{value % 10000} << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Fu;
    const std::uint64_t quarters = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((quarters * 103) >> 10) & 0x000F000F000F000Fu;
    const std::uint64_t digits = tens | ((quarters - tens * 10) << 8);
    return digits + 0x3030303030303030u;
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
    const int count = digit_count(value);
    store_word(out, eight_digit_word(value) >> (8 * (8 - count)));
    return out + count;
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
