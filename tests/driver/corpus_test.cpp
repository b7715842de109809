// Runs kon2x, kon2gltf, kon2svg and kon2dxf over every case of tests/corpus
// and the bundled examples: the .x (and .glb, .svg, .dxf) they must write
// and, in a .console file, their console bytes and status (a program's own
// in a .glb.console file, say, where they differ). Without a console file a
// run must be silent and succeed; without a .x file it must leave no output;
// the other outputs are compared where one is given.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

namespace fs = std::filesystem;

// A quoted text with the escapes \n \r \t \\ \" and \xHH.
std::string unquoted(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char kind = text[++i];
        if (kind == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
        }
    }
    return bytes;
}

// "status: N", "stdout: "..."" and "stderr: "..."" lines.
RunResult expected_console(const fs::path& file) {
    RunResult expected{0, "", ""};
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::string value = line.substr(line.find(": ") + 2);
        if (line.starts_with("status")) {
            expected.status = std::stoi(value);
        } else {
            (line.starts_with("stdout") ? expected.out : expected.err) = unquoted(value);
        }
    }
    return expected;
}

void expect_case(const fs::path& input, const char* program, const std::string& extension) {
    const fs::path own_console = expected_file(input, extension + ".console");
    const fs::path console = fs::exists(own_console) ? own_console : expected_file(input, ".console");
    TempDir dir;
    fs::copy_file(input, dir.path() / input.filename());
    const RunResult run =
        run_kon2x(dir.path(), {input.filename().string()}, std::string(8, '\n'), false, program);
    const RunResult want = fs::exists(console) ? expected_console(console) : RunResult{0, "", ""};
    EXPECT_EQ(run.status, want.status) << extension;
    EXPECT_EQ(run.out, want.out) << extension;
    EXPECT_EQ(run.err, want.err) << extension;
    const fs::path output = dir.path() / (input.stem().string() + extension);
    if (fs::exists(expected_file(input, extension))) {
        EXPECT_TRUE(read_file(output) == read_file(expected_file(input, extension))) << "output differs";
    } else {
        EXPECT_EQ(fs::exists(output), fs::exists(expected_file(input, ".x"))) << extension;
    }
}

class Corpus : public testing::TestWithParam<fs::path> {};

TEST_P(Corpus, ConvertsAsExpected) {
    expect_case(GetParam(), KON2X_EXE, ".x");
    expect_case(GetParam(), KON2GLTF_EXE, ".glb");
    expect_case(GetParam(), KON2SVG_EXE, ".svg");
    expect_case(GetParam(), KON2DXF_EXE, ".dxf");
}

// The file name with every character but letters and digits as '_'.
std::string case_name(const testing::TestParamInfo<fs::path>& param) {
    std::string name = param.param.filename().string();
    for (char& c : name) {
        const bool letter_or_digit =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        c = letter_or_digit ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, testing::ValuesIn(corpus_inputs()), case_name);

}  // namespace
}  // namespace kon2x::test
