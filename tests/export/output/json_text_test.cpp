// JSON text: escaped strings, and numbers whose zero has no sign.
#include "export/output/json_text.hpp"

#include <gtest/gtest.h>

namespace kon2x {
namespace {

TEST(JsonText, EscapesStringsAndDropsTheSignOfZero) {
    std::string json;
    append_string(json, std::string_view("a\"b\\c\x01\n\x1f\x7f", 9));
    append_array(json, std::array<float, 3>{-0.0f, 0.1f, -16777216.0f});
    append_shortest(json, -0.0);
    EXPECT_EQ(json, "\"a\\\"b\\\\c\\u0001\\u000a\\u001f\x7f\"[0,0.1,-16777216]-0");
}

}  // namespace
}  // namespace kon2x
