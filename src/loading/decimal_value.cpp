// The decimal conversion through std::from_chars (where the library has it for double).
#include "loading/decimal_value.hpp"

#include <charconv>
#include <limits>
#include <string_view>

namespace kon2x {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a number written as digits, an optional point and an optional
// exponent is at least 1 in magnitude: tells an overflow from an underflow
// when the conversion reports that the value is out of range.
bool magnitude_at_least_one(std::string_view number) {
    long long integer_digits = 0;
    long long first_nonzero = -1;  // position among all digits
    long long digit_position = 0;
    bool in_fraction = false;
    std::size_t i = 0;
    for (; i < number.size() && (is_digit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            in_fraction = true;
            continue;
        }
        integer_digits += in_fraction ? 0 : 1;
        if (first_nonzero < 0 && number[i] != '0') {
            first_nonzero = digit_position;
        }
        ++digit_position;
    }
    if (first_nonzero < 0) {
        return false;
    }
    long long exponent = 0;
    if (i < number.size()) {  // 'e', optional '-', at most nine digits
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        i += negative ? 1 : 0;
        for (; i < number.size(); ++i) {
            exponent = exponent * 10 + (number[i] - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    return integer_digits - 1 - first_nonzero + exponent >= 0;
}

}  // namespace

double decimal_value(char* text, std::size_t length) {
    double value = 0.0;
    const auto result = std::from_chars(text, text + length, value);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude_at_least_one(std::string_view(text, length))
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    return value;
}

}  // namespace kon2x
