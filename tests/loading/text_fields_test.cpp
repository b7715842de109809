// Tests of field splitting and of the integer and real number rules.
#include "loading/text_fields.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace kon2x {
namespace {

std::vector<std::string> fields_of(std::string_view line, char separator) {
    std::vector<std::string> fields;
    FieldCursor cursor(line, separator);
    while (auto field = cursor.next()) {
        fields.emplace_back(*field);
    }
    return fields;
}

TEST(FieldCursor, EmptyFieldsVanishAndSpacesBelongToFields) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ(fields_of("1;;2;;;3\n", ';'), (Fields{"1", "2", "3"}));
    EXPECT_EQ(fields_of(";;1;2;\n", ';'), (Fields{"1", "2"}));
    EXPECT_EQ(fields_of(" 1 ; 2\t\n", ';'), (Fields{" 1 ", " 2\t"}));
    EXPECT_EQ(fields_of("   \n", ';'), (Fields{"   "}));
    EXPECT_EQ(fields_of(";;;\n", ';'), Fields{});
    EXPECT_EQ(fields_of("1 2  3\n", ' '), (Fields{"1", "2", "3"}));
    EXPECT_EQ(fields_of("1\t2\n", ' '), (Fields{"1\t2"}));
    EXPECT_EQ(fields_of("152535", '5'), (Fields{"1", "2", "3"}));
}

TEST(ParseInteger, ReadsLikeAtoiAndClampsToInt32) {
    const struct {
        const char* field;
        std::int32_t value;
    } rows[] = {
        {"12", 12},
        {"12,5", 12},
        {"12.5", 12},
        {"-7", -7},
        {"+7", 7},
        {" \t\r\v\f42", 42},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"--5", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1},
        {"99999999999999999999", 2147483647},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parse_integer(row.field), row.value) << row.field;
    }
}

TEST(ParseReal, FollowsTheDecimalGrammarWhateverTheLocale) {
    const struct {
        const char* field;
        double value;
    } rows[] = {
        {"0,5", 0.5},      {"1,25", 1.25},   {"1,2,3", 1.2},
        {"1.5", 1.5},      {".5", 0.5},      {"5.", 5.0},
        {"-2.5e3", -2500}, {"+1E-2", 0.01},  {"1e", 1.0},
        {"1e+", 1.0},      {"2e5x", 200000}, {"  3", 3.0},
        {"abc", 0.0},      {"", 0.0},        {".", 0.0},
        {"inf", 0.0},      {"nan", 0.0},     {"0x10", 0.0},
        {"1.2.3", 1.2},    {"1,2.3", 1.2},   {"7e0000000000001", 70.0},
        {"0.1", 0.1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(parse_real(row.field), row.value) << row.field;
    }
}

TEST(ParseReal, OutOfRangeGivesInfinityOrZero) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(parse_real("1e400"), inf);
    EXPECT_EQ(parse_real("-1e400"), -inf);
    EXPECT_EQ(parse_real("1e99999999999999999999"), inf);
    EXPECT_EQ(parse_real(std::string(400, '9')), inf);
    EXPECT_EQ(parse_real("0." + std::string(400, '0') + "1e10"), 0.0);
    EXPECT_EQ(parse_real("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(parse_real("-1e-400")));
    EXPECT_EQ(parse_real("4.9e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(parse_real("1e-310"), 1e-310);
}

TEST(ParseReal, PlainDecimalsRoundLikeAFullConversion) {
    std::mt19937_64 random(99);
    for (int i = 0; i < 200000; ++i) {
        const int digits = static_cast<int>(random() % 17) + 1;
        std::string text = random() % 2 ? "-" : "";
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) {
                text += random() % 2 ? '.' : ',';
            }
            text += static_cast<char>('0' + random() % 10);
        }
        std::string dotted = text;
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        const char* begin = dotted.c_str() + (dotted[0] == '-' ? 1 : 0);
        double expected = 0;
        std::from_chars(begin, dotted.c_str() + dotted.size(), expected);
        ASSERT_EQ(parse_real(text), dotted[0] == '-' ? -expected : expected) << text;
    }
}

TEST(ToFloat32, RoundsToNearest) {
    EXPECT_EQ(to_float32(0.1), 0.1f);
    EXPECT_EQ(to_float32(16777217.0), 16777216.0f);
    EXPECT_EQ(to_float32(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(to_float32(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(to_float32(3.4028235e38), std::numeric_limits<float>::max());
}

}  // namespace
}  // namespace kon2x
