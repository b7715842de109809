// Arithmetic whose NaN results have the same bits on every host. Hardware
// leaves them open where two NaNs meet (x86 takes the first source operand,
// and compilers may swap a product's operands) and WebAssembly leaves a NaN
// result's sign and payload to the engine, so the rule is built from bits:
//   - an invalid operation on operands that are not NaN (infinity minus
//     infinity, zero times infinity) gives the default NaN 0xFFF8000000000000;
//   - a NaN operand passes on, quieted (sign and payload kept);
//   - where two NaNs meet, the left operand's wins, quieted;
//   - narrowing to float32 keeps a NaN's sign and the top of its payload,
//     widening to double keeps sign and payload; both set the quiet bit.
// For finite results these are the plain operations.
#pragma once

#include <bit>
#include <cstdint>

namespace kon2x::nan_rule {

inline constexpr std::uint64_t kDefaultNaNBits = 0xFFF8000000000000u;

inline double default_nan() {
    return std::bit_cast<double>(kDefaultNaNBits);
}

// `value` as a double; a NaN is built from its bits.
double widened_nan(float value);
inline double widened(float value) {
    return value == value ? static_cast<double>(value) : widened_nan(value);
}

// `value` rounded to float32; a NaN is built from its bits.
float narrowed(double value);
// `value` rounded to float32 and back, as the transform keeps it.
inline double rounded_to_f32(double value) {
    return widened(narrowed(value));
}

double product(double left, double right);
double sum(double left, double right);
double difference(double left, double right);

}  // namespace kon2x::nan_rule
