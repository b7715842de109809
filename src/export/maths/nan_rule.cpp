// NaN results from bits, the same on every host.
#include "export/maths/nan_rule.hpp"

namespace kon2x::nan_rule {

namespace {

constexpr std::uint64_t kQuietBit = 0x0008000000000000u;
constexpr std::uint32_t kQuietBitF32 = 0x00400000u;
// A double's 52 mantissa bits hold a float's 23 at their top.
constexpr int kMantissaShift = 29;

bool is_nan(double value) {
    return value != value;
}

double quieted(double nan) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(nan) | kQuietBit);
}

// The result of an operation on `left` and `right` that the hardware gave as `result`.
double by_rule(double left, double right, double result) {
    if (is_nan(left)) {
        return quieted(left);
    }
    if (is_nan(right)) {
        return quieted(right);
    }
    return is_nan(result) ? default_nan() : result;
}

}  // namespace

double widened_nan(float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const std::uint64_t sign = std::uint64_t{bits >> 31} << 63;
    const std::uint64_t payload = std::uint64_t{bits & 0x007FFFFFu} << kMantissaShift;
    return std::bit_cast<double>(sign | 0x7FF0000000000000u | payload | kQuietBit);
}

float narrowed(double value) {
    if (!is_nan(value)) {
        return static_cast<float>(value);
    }
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const auto sign = static_cast<std::uint32_t>(bits >> 63) << 31;
    const auto payload = static_cast<std::uint32_t>((bits & 0x000FFFFFFFFFFFFFu) >> kMantissaShift);
    return std::bit_cast<float>(sign | 0x7F800000u | payload | kQuietBitF32);
}

double product(double left, double right) {
    return by_rule(left, right, left * right);
}

double sum(double left, double right) {
    return by_rule(left, right, left + right);
}

double difference(double left, double right) {
    return by_rule(left, right, left - right);
}

}  // namespace kon2x::nan_rule
