// The table of four-digit groups, computed when the program is compiled.
#include "export/output/decimal_digits.hpp"

namespace kon2x::decimal_digits {

namespace {

constexpr std::array<std::uint32_t, 10000> four_digit_groups() {
    std::array<std::uint32_t, 10000> groups{};
    for (std::uint32_t value = 0; value < groups.size(); ++value) {
        std::uint32_t rest = value;
        for (int place = 3; place >= 0; --place, rest /= 10) {
            groups[value] |= ('0' + rest % 10) << (8 * place);
        }
    }
    return groups;
}

}  // namespace

constinit const std::array<std::uint32_t, 10000> kFourDigits = four_digit_groups();

}  // namespace kon2x::decimal_digits
