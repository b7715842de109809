// Runs the built kon2x as a child process and checks its console bytes, output files and status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "console/console.hpp"
#include "driver/model_summary.hpp"
#include "support/model_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

namespace fs = std::filesystem;

const std::string kEmptyText = "KON;KRUV\nX\nFlaechen\nScalX\n";
const std::string kHeaderOnly = "xof 0302txt 0064\r\n";

TEST(Driver, UsageNamesOnlyTheProgramFileName) {
    TempDir dir;
    const struct {
        std::vector<std::string> arguments;
        std::string program;
        std::string expected_name;
    } rows[] = {
        {{}, "/opt/tools/kon2x", "kon2x"},
        {{"a.kon", "b.kon"}, "C:\\Tools\\kon2x.exe", "kon2x.exe"},
        {{"a", "b", "c"}, "kon2x", "kon2x"},
    };
    for (const auto& row : rows) {
        const RunResult run = run_kon2x(dir.path(), row.arguments, "\n", false, KON2X_EXE, row.program);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Usage: " + row.expected_name + " Kon-datei\n");
        EXPECT_EQ(run.out, "--> ");
    }
}

TEST(Driver, ClosedOrEmptyInputNeverHangs) {
    TempDir dir;
    EXPECT_EQ(run_kon2x(dir.path(), {}, "", true).status, 1);
    EXPECT_EQ(run_kon2x(dir.path(), {"missing.kon"}, "", true).status, 1);
    EXPECT_EQ(run_kon2x(dir.path(), {"missing.kon"}, "").status, 1);
}

TEST(Driver, MissingFileShowsBothMessagesWithTheirPrompts) {
    TempDir dir;
    const std::string long_answer(5000, 'a');
    const RunResult run = run_kon2x(dir.path(), {"nix.kon"}, long_answer + "\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Can't open nix.kon!\nReturn->--> ");
    EXPECT_EQ(run.err, "nix.kon ist fehlerhaft\n");
    EXPECT_FALSE(fs::exists(dir.path() / "nix.x"));
}

TEST(Driver, NamesTheOutputAfterTheInput) {
    TempDir dir;
    fs::create_directory(dir.path() / "a.b");
    const struct {
        std::string input;
        std::string output;
    } rows[] = {
        {"a.b/model.kon", "a.b/model.x"},
        {"a.b/model", "a.b/model.x"},
        {"haus.v2.kon", "haus.v2.x"},
        {"My Files.kon", "My Files.x"},
    };
    for (const auto& row : rows) {
        dir.write(row.input, kEmptyText);
        const RunResult run = run_kon2x(dir.path(), {row.input}, "");
        EXPECT_EQ(run.status, 0) << row.input;
        EXPECT_EQ(read_file(dir.path() / row.output), kHeaderOnly) << row.input;
    }
}

TEST(Driver, ReplacesAnExistingOutputAndAnInputNamedX) {
    TempDir dir;
    dir.write("m.kon", kEmptyText);
    dir.write("m.x", std::string(10000, 'z'));
    EXPECT_EQ(run_kon2x(dir.path(), {"m.kon"}, "").status, 0);
    EXPECT_EQ(read_file(dir.path() / "m.x"), kHeaderOnly);

    dir.write("self.x", kEmptyText);
    EXPECT_EQ(run_kon2x(dir.path(), {"self.x"}, "").status, 0);
    EXPECT_EQ(read_file(dir.path() / "self.x"), kHeaderOnly);
}

// Sets an environment variable for the children started while it lives.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* value) {
        const char* old = std::getenv("LC_ALL");
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        setenv("LC_ALL", value, 1);
    }
    ~ScopedLocale() { had_ ? setenv("LC_ALL", old_.c_str(), 1) : unsetenv("LC_ALL"); }

private:
    bool had_ = false;
    std::string old_;
};

TEST(Driver, ReportsAnOutputThatCannotBeOpenedInTheConsolesCharacterSet) {
    TempDir dir;
    dir.write("locked.kon", kEmptyText);
    fs::create_directory(dir.path() / "locked.x");  // a directory cannot be opened as a file
    const struct {
        const char* locale;
        std::string o_umlaut;
    } rows[] = {{"C", "\xF6"}, {"C.UTF-8", "\xC3\xB6"}};
    for (const auto& row : rows) {
        const ScopedLocale locale(row.locale);
        const RunResult run = run_kon2x(dir.path(), {"locked.kon"}, "\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "--> ");
        EXPECT_EQ(run.err, "locked.x kann nicht ge" + row.o_umlaut + "ffnet werden\n") << row.locale;
    }
}

TEST(Driver, ReportsAWriteFailureAndLeavesNoOutput) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    // The header line alone, and a model that several threads format.
    std::vector<std::string> points;
    std::vector<std::string> faces;
    for (int i = 0; i < 30000; ++i) {
        points.push_back(std::to_string(i) + ";" + std::to_string(i % 977) + ";" + std::to_string(-i));
        faces.push_back(std::to_string(i) + ";" + std::to_string((i + 1) % 30000) + ";" +
                        std::to_string((i + 7) % 30000));
    }
    for (const std::string& text :
         {kEmptyText, kon_file(points, faces, {"1;1;1;0;0;0;0;0;0", "1;1;1;0;0;30;9;9;9"})}) {
        TempDir dir;
        dir.write("full.kon", text);
        fs::create_symlink("/dev/full", dir.path() / "full.x");
        const RunResult run = run_kon2x(dir.path(), {"full.kon"}, "\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "--> ");
        EXPECT_EQ(run.err, "full.x kann nicht geschrieben werden\n");
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "full.x")));
    }
}

TEST(ModelSummary, GivesEachInstancesValuesAsTheFileHoldsThem) {
    const struct {
        const char* file;
        const char* value;
    } cases[] = {
        {"examples/house.kon",
         R"({"scale":["-1","1","1"],"angles":["0","30","0"],"offset":[250,0,0],"mirrors":true})"},
        {"tests/corpus/unplaceable-instances.kon", R"("unplaced":[1,2])"},
        {"tests/corpus/unplaceable-instances.kon", R"("glb_note":"Nicht darstellbare Instanzen: 2\u000a")"},
        {"examples/house.kon", R"("instances":2,"materials":)"},
        {"examples/house.kon",
         R"("elements":{"dots":[],"lines":[0,1],"faces":[[4,8,5,1,0],[2,6,9,7,3],[5,6,2,1],)"},
        {"tests/corpus/unplaceable-instances.kon",
         R"({"scale":["inf","1","1"],"angles":["0","0","0"],"offset":[0,0,0],)"
         R"("mirrors":false,"problem":"a scale factor is not finite"})"},
        {"tests/corpus/unplaceable-instances.kon",
         R"("angles":["0","inf","0"],"offset":[0,0,0],"mirrors":false,)"
         R"("problem":"an angle is infinite"})"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path input = dir.path() / "in.kon";
        const fs::path facts = dir.path() / "facts.json";
        dir.write("in.kon", read_file(source_path(c.file)));
        const std::string input_path = input.string(), facts_path = facts.string();
        const char* const argv[] = {"kon2info", input_path.c_str(), facts_path.c_str()};
        std::string transcript;
        ConsoleStreams streams{nullptr, nullptr, nullptr, &transcript};
        const ConsoleScope scope(streams);
        EXPECT_EQ(convert_with_summary(3, argv), 0);
        EXPECT_NE(read_file(facts).find(c.value), std::string::npos) << read_file(facts);
        EXPECT_TRUE(fs::exists(dir.path() / "in.glb"));
        // The counts alone: the same members up to "glb_note", and no others.
        const std::string all = read_file(facts);
        EXPECT_EQ(convert_with_summary(3, argv, true), 0);
        const std::string counts = read_file(facts);
        EXPECT_EQ(all.substr(0, all.find(R"(,"instance_values")")) + "}\n", counts);
    }
}

}  // namespace
}  // namespace kon2x::test
