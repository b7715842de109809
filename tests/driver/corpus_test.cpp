// Runs kon2x over every case of tests/corpus and the bundled examples: the
// .x it must write and, in a .console file, its console bytes and status.
// Without a .console file the run must be silent and succeed; without a .x
// file it must leave no output.
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

class Corpus : public testing::TestWithParam<fs::path> {};

TEST_P(Corpus, ConvertsAsExpected) {
    const fs::path& input = GetParam();
    const fs::path expected = source_path("tests/corpus") / input.stem();
    TempDir dir;
    fs::copy_file(input, dir.path() / input.filename());
    const RunResult run = run_kon2x(dir.path(), {input.filename().string()}, std::string(8, '\n'));
    const RunResult want = fs::exists(expected.string() + ".console")
                               ? expected_console(expected.string() + ".console")
                               : RunResult{0, "", ""};
    EXPECT_EQ(run.status, want.status);
    EXPECT_EQ(run.out, want.out);
    EXPECT_EQ(run.err, want.err);
    const fs::path output = dir.path() / (input.stem().string() + ".x");
    if (fs::exists(expected.string() + ".x")) {
        EXPECT_TRUE(read_file(output) == read_file(expected.string() + ".x")) << "output differs";
    } else {
        EXPECT_FALSE(fs::exists(output));
    }
}

// The file name with every character but letters and digits as '_'.
std::string case_name(const testing::TestParamInfo<fs::path>& param) {
    std::string name = param.param.filename().string();
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, testing::ValuesIn(corpus_inputs()), case_name);

}  // namespace
}  // namespace kon2x::test
