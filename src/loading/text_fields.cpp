// Field splitting and locale-independent number reading for text construction files.
#include "loading/text_fields.hpp"

#include <cmath>
#include <limits>

#include "loading/decimal_value.hpp"

namespace kon2x {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skip_spaces(std::string_view text, std::size_t at) {
    while (at < text.size() && is_space(text[at])) {
        ++at;
    }
    return at;
}

char to_lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool begins_with_ignoring_case(std::string_view text, std::string_view keyword) {
    if (text.size() < keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (to_lower_ascii(text[i]) != to_lower_ascii(keyword[i])) {
            return false;
        }
    }
    return true;
}

std::int32_t parse_integer_slow(std::string_view field) {
    std::size_t at = skip_spaces(field, 0);
    bool negative = false;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) {
        negative = field[at] == '-';
        ++at;
    }
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; at < field.size() && is_digit(field[at]); ++at) {
        magnitude = magnitude * 10 + (field[at] - '0');
        if (magnitude > kLimit) {
            magnitude = kLimit;  // saturate; the clamp below decides
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimals of at most 15 digits ("-12", "0.125", "3,5"): the digits as an
// integer are exact in a double, so is the power of ten, and one division
// rounds correctly. Returns false for anything else.
bool parse_plain_decimal(std::string_view field, double& value) {
    std::size_t i = 0;
    const bool negative = !field.empty() && field[0] == '-';
    i += negative ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            ++count;
            decimals += point ? 1 : 0;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || count > 15) {
        return false;
    }
    value = static_cast<double>(digits) / kPowersOfTen[decimals];
    value = negative ? -value : value;
    return true;
}

}  // namespace

double parse_real(std::string_view field) {
    double plain = 0.0;
    if (parse_plain_decimal(field, plain)) {
        return plain;
    }
    // Copy the longest prefix that is a number, taking the first ',' for '.'.
    char text[kDecimalRoom];
    std::size_t length = 0;
    std::size_t at = skip_spaces(field, 0);
    bool negative = false;
    if (at < field.size() && (field[at] == '+' || field[at] == '-')) {
        negative = field[at] == '-';
        ++at;
    }
    bool comma_replaced = false;
    bool seen_point = false;
    std::size_t digits = 0;
    for (; at < field.size() && length < sizeof text - 16; ++at) {
        char c = field[at];
        if (c == ',' && !comma_replaced) {
            comma_replaced = true;
            c = '.';
        } else if (c == ',') {
            break;
        }
        if (c == '.') {
            if (seen_point) {
                break;
            }
            seen_point = true;
        } else if (is_digit(c)) {
            ++digits;
        } else {
            break;
        }
        text[length++] = c;
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent counts only when at least one digit follows its letter.
    if (at < field.size() && (field[at] == 'e' || field[at] == 'E')) {
        std::size_t e = at + 1;
        if (e < field.size() && (field[e] == '+' || field[e] == '-')) {
            ++e;
        }
        if (e < field.size() && is_digit(field[e])) {
            text[length++] = 'e';
            if (field[at + 1] == '-') {
                text[length++] = '-';
            }
            // Leading zeros of the exponent carry no value. Nine digits more already
            // put any number of a 1023-character line out of range, so the rest is dropped.
            while (e < field.size() && field[e] == '0') {
                ++e;
            }
            std::size_t exponent_digits = 0;
            for (; e < field.size() && is_digit(field[e]); ++e) {
                if (exponent_digits < 9) {
                    text[length++] = field[e];
                }
                ++exponent_digits;
            }
            if (exponent_digits == 0) {
                text[length++] = '0';
            }
        }
    }
    const double value = decimal_value(text, length);
    return negative ? -value : value;
}

float to_float32(double value) {
    // IEEE conversion: round to nearest, infinity beyond the float range, NaN kept.
    return static_cast<float>(value);
}

}  // namespace kon2x
