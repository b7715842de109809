// Tests of the page's summary of a construction file (kon2info's output).
#include "driver/model_summary.hpp"

#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace kon2x {
namespace {

TEST(ModelSummary, CountsListsUnplacedInstancesAndNamesTheXFile) {
    const test::TempDir dir;
    const test::ConsoleCapture console;  // the summary silences the console; this restores it
    const std::string text = test::read_file(test::source_path("tests/corpus/unplaceable-instances.kon"));
    const char* const rows[][2] = {
        {"model.kon",
         "{\"kind\":0,\"points\":3,\"single_points\":0,\"two_point_elements\":0,\"triangles\":1,\"quads\":0,"
         "\"polygons\":0,\"instances\":4,\"unplaced\":[1,2],\"x_name\":\"model.x\"}\n"},
        {".kon", ",\"x_name\":\".x\"}\n"},
        {"a\"b\x01.kon", ",\"x_name\":\"a\\\"b\\u0001.x\"}\n"},
    };
    for (const auto& [name, expected] : rows) {
        const std::string path = dir.write(name, text);
        const char* const arguments[] = {"kon2info", path.c_str()};
        testing::internal::CaptureStdout();
        EXPECT_EQ(print_model_summary(2, arguments), 0);
        std::fflush(stdout);
        const std::string json = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(json.ends_with(expected)) << json;
    }
}

}  // namespace
}  // namespace kon2x
