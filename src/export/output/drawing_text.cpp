// Real numbers as short decimal text, through std::to_chars: exact rounding
// that no C runtime's printf or locale changes.
#include "export/output/drawing_text.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace kon2x {

namespace {

// Drops the zeros that end a fraction, and the point they leave.
std::string_view trimmed(std::string_view digits) {
    if (digits.find('.') == std::string_view::npos) {
        return digits;
    }
    digits.remove_suffix(digits.size() - 1 - digits.find_last_not_of('0'));
    if (digits.back() == '.') {
        digits.remove_suffix(1);
    }
    return digits;
}

}  // namespace

std::string real_text(double value, int decimals) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    std::array<char, 32> buffer{};
    char* const end = buffer.data() + buffer.size();
    if (std::fabs(value) >= 1e15) {
        const char* last = std::to_chars(buffer.data(), end, value, std::chars_format::scientific, 5).ptr;
        const std::string_view text(buffer.data(), static_cast<std::size_t>(last - buffer.data()));
        const std::size_t exponent = text.find('e');
        return std::string(trimmed(text.substr(0, exponent))).append(text.substr(exponent));
    }
    const char* last = std::to_chars(buffer.data(), end, value, std::chars_format::fixed, decimals).ptr;
    const std::string_view text = trimmed({buffer.data(), static_cast<std::size_t>(last - buffer.data())});
    return text == "-0" ? std::string("0") : std::string(text);
}

std::string integer_text(std::int64_t value) {
    std::array<char, 24> buffer{};
    return {buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr};
}

}  // namespace kon2x
