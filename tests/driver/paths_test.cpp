// Tests of the program name and output name rules.
#include "driver/paths.hpp"

#include <gtest/gtest.h>

namespace kon2x {
namespace {

TEST(OutputName, CutsOnlyTheExtensionOfTheLastComponent) {
    const struct {
        const char* input;
        const char* output;
    } rows[] = {
        {"C:\\a.b\\model.kon", "C:\\a.b\\model.x"},
        {"C:\\a.b\\model", "C:\\a.b\\model.x"},
        {"dir.v1/model", "dir.v1/model.x"},
        {"dir/model.v2.kon", "dir/model.v2.x"},
        {"model.x", "model.x"},
        {"model", "model.x"},
        {"model.", "model.x"},
        {"a\\b.c/d", "a\\b.c/d.x"},
        {"", ".x"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(output_name_for(row.input, ".x"), row.output) << row.input;
    }
}

TEST(ProgramName, IsThePartAfterTheLastSeparator) {
    EXPECT_EQ(file_name_of("C:\\tools\\kon2x.exe"), "kon2x.exe");
    EXPECT_EQ(file_name_of("/usr/bin/kon2x"), "kon2x");
    EXPECT_EQ(file_name_of("a/b\\c"), "c");
    EXPECT_EQ(file_name_of("kon2x"), "kon2x");
}

}  // namespace
}  // namespace kon2x
