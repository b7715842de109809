// kon2batch on the corpus, on a generated archive of nested folders, and on
// command lines it must refuse: its outputs against the single programs'.
#include "batch/batch.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>

#include "batch/batch_job.hpp"
#include "batch/batch_report.hpp"
#include "batch/temporary_names.hpp"
#include "console/console.hpp"
#include "driver/driver.hpp"
#include "support/batch_run.hpp"

namespace kon2x::test {
namespace {

namespace fs = std::filesystem;

// A .console file's bytes as kon2batch keeps them: standard output without
// its prompts, then standard error.
std::string without_prompts(const fs::path& console) {
    const std::string text = read_file(console);
    std::string shown;
    for (const char* stream : {"stdout: \"", "stderr: \""}) {
        const std::size_t start = text.find(stream) + std::strlen(stream);
        shown += text.substr(start, text.find("\"\n", start) - start);
    }
    shown = std::regex_replace(shown, std::regex(R"(Return->|--> )"), "");
    return std::regex_replace(std::regex_replace(shown, std::regex(R"(\\n)"), "\n"), std::regex(R"(\\")"),
                              "\"");
}

TEST(Batch, ConvertsTheCorpusAsEachSingleProgramDoes) {
    TempDir dir;
    std::vector<std::string> arguments = {"--report", "report.jsonl"};
    for (const fs::path& input : corpus_inputs()) {
        fs::copy_file(input, dir.path() / input.filename());
        arguments.push_back(input.filename().string());
    }
    EXPECT_EQ(run_batch_in(dir.path(), arguments).status, 1);  // the corpus holds broken files
    const std::vector<ReportRecord> records = read_report(dir.path() / "report.jsonl");
    ASSERT_EQ(records.size(), corpus_inputs().size());
    for (const ReportRecord& record : records) {
        const fs::path input = corpus_inputs()[&record - records.data()];
        EXPECT_EQ(record.input, input.filename().string());
        const fs::path console = expected_file(input, ".console");
        EXPECT_EQ(record.messages, fs::exists(console) ? without_prompts(console) : "") << record.input;
        const fs::path glb_console = expected_file(input, ".glb.console");
        if (fs::exists(glb_console)) {
            EXPECT_EQ(record.messages + record.notes.at("glb"), without_prompts(glb_console)) << record.input;
        }
        const bool converts = fs::exists(expected_file(input, ".x"));
        EXPECT_EQ(record.outcome, converts ? "converted" : "refused") << record.input;
        for (const char* extension : {".x", ".glb", ".svg", ".dxf"}) {
            const fs::path output = dir.path() / (input.stem().string() + extension);
            const fs::path golden = expected_file(input, extension);
            EXPECT_EQ(fs::exists(output), converts) << output;
            if (fs::exists(golden)) {
                EXPECT_TRUE(read_file(output) == read_file(golden)) << output << " differs";
            }
        }
    }
}

// The corpus of generated files in nested folders with names that need care,
// a pair of inputs that would write the same outputs, a file that is not a
// construction file, and the outputs of an earlier run.
void fill_archive(const fs::path& root) {
    const fs::path generated = root / "generated";
    ASSERT_EQ(
        std::system(("\"" KON2X_SAMPLE_INPUTS "\" \"" + generated.string() + "\" 290 7 < /dev/null").c_str()),
        0);
    const char* const folders[] = {"a", "a/b b", "\xC3\xA4/x.y", "a/b b/deep/deeper"};
    const std::string names[] = {"with space ", "\xC3\xA4hnlich ", "two.dots.", std::string(240, 'n')};
    int number = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(generated)) {
        const fs::path folder = root / folders[number % 4];
        fs::create_directories(folder);
        const std::string name =
            names[number / 4 % 4] + std::to_string(number) + entry.path().extension().string();
        fs::rename(entry.path(), folder / (number % 5 == 0 ? name : entry.path().filename().string()));
        ++number;
    }
    fs::remove(generated);
    fs::copy_file(source_path("examples/house.kon"), root / "a/pair.kon");
    fs::copy_file(source_path("tests/corpus/grid.kon"), root / "a/pair.bin");
    write_file(root / "a/notes.txt", "not a construction file\n");
    for (const char* extension : {".x", ".glb", ".svg", ".dxf"}) {
        fs::copy_file(source_path(std::string("tests/corpus/house") + extension),
                      root / "a/b b" / (std::string("earlier") + extension));
    }
}

// Runs each single program on every input in process, as if started there.
void convert_singly(const fs::path& root, const std::vector<ReportRecord>& records) {
    for (const ReportRecord& record : records) {
        for (const char* program : {"kon2x", "kon2gltf", "kon2svg", "kon2dxf"}) {
            const ConsoleCapture capture(std::string(8, '\n'));
            const fs::path home = fs::current_path();
            fs::current_path(root);
            const char* const argv[] = {program, record.input.c_str(), nullptr};
            run_converter(2, argv, *converter_format(program));
            fs::current_path(home);
        }
    }
}

TEST(Batch, ConvertsANestedArchiveAsTheSinglePrograms) {
    TempDir dir;
    fill_archive(dir.path() / "jobs1");
    const std::size_t files = files_under(dir.path() / "jobs1").size();
    fs::copy(dir.path() / "jobs1", dir.path() / "jobs4", fs::copy_options::recursive);
    fs::copy(dir.path() / "jobs1", dir.path() / "single", fs::copy_options::recursive);
    const RunResult one = run_batch_in(dir.path() / "jobs1", {"--jobs", "1", "--report", "../r1.jsonl", "."});
    const RunResult four = run_batch_in(dir.path() / "jobs4", {"--jobs=4", "--report=../r4.jsonl", "."});
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(four.status, 1);
    const std::vector<ReportRecord> records = read_report(dir.path() / "r1.jsonl");
    const std::vector<ReportRecord> records4 = read_report(dir.path() / "r4.jsonl");
    ASSERT_EQ(records.size(), records4.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].line, records4[i].line);
    }
    // Every file is either an input with its record or skipped, once.
    std::smatch skipped;
    ASSERT_TRUE(std::regex_search(one.out, skipped, std::regex(R"(; (\d+) other files skipped)")));
    EXPECT_EQ(records.size() + std::stoul(skipped[1]), files);
    EXPECT_EQ(files_under(dir.path() / "jobs1"), files_under(dir.path() / "jobs4"));
    convert_singly(dir.path() / "single", records);
    std::map<std::string, std::string> single = files_under(dir.path() / "single");
    for (const char* extension : {"x", "glb", "svg", "dxf"}) {
        EXPECT_TRUE(single.erase("a/pair." + std::string(extension)) == 1)
            << "the single programs write a/pair";
    }
    EXPECT_EQ(files_under(dir.path() / "jobs1"), single);
    std::size_t refused = 0;
    for (const ReportRecord& record : records) {
        refused += record.outcome == "refused" ? 1 : 0;
        if (record.input.find("pair.") != std::string::npos) {
            EXPECT_NE(record.messages.find("would also be written from ./a/pair."), std::string::npos);
        }
    }
    EXPECT_GT(refused, 2U);
}

TEST(Batch, RefusesCommandLinesAndFoldersItCannotUse) {
    TempDir dir;
    dir.write("m.kon", read_file(source_path("examples/house.kon")));
    fs::create_directory(dir.path() / "empty");
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* shown;  // on standard error, or else on standard output
    } rows[] = {
        {{}, 2, "no PATH given"},
        {{"--to", "x,obj", "m.kon"}, 2, "--to takes a list"},
        {{"--jobs", "0", "m.kon"}, 2, "--jobs takes a number"},
        {{"--report", "r.txt", "m.kon"}, 2, "ending in .jsonl or .csv"},
        {{"--out", "m.kon/below", "m.kon"}, 2, "cannot create m.kon/below"},
        {{"--report", "none/r.csv", "m.kon"}, 2, "cannot create the report none/r.csv"},
        {{"--frobnicate", "m.kon"}, 2, "unknown option --frobnicate"},
        {{"empty", "missing"}, 1, "no construction file found"},
        {{"m.kon", "./m.kon", (dir.path() / "m.kon").string()}, 0, "1 input: 1 converted"},
        {{"--help"}, 0, "Usage: kon2batch"},
        {{"--quiet", "--to", "svg", "--out", "o", "m.kon"}, 0, ""},
    };
    for (const auto& row : rows) {
        const RunResult run = run_batch_in(dir.path(), row.arguments);
        EXPECT_EQ(run.status, row.status) << row.shown;
        EXPECT_NE((run.err + run.out).find(row.shown), std::string::npos) << run.err << run.out;
    }
    EXPECT_EQ(files_under(dir.path() / "o").size(), 1U);
}

// Every output beside `input`, under its golden name's bytes.
void expect_golden_outputs(const fs::path& input) {
    for (const char* extension : {".x", ".glb", ".svg", ".dxf"}) {
        fs::path output = input;
        EXPECT_TRUE(read_file(output.replace_extension(extension)) ==
                    read_file(source_path(std::string("tests/corpus/grid") + extension)))
            << output;
    }
}

TEST(Batch, RerunsAfterAKillConvertOnlyWhatIsMissingAndShardsSplitTheInputs) {
    TempDir dir;
    for (const char* folder : {"tree/0", "tree/1", "tree/2"}) {
        fs::create_directories(dir.path() / folder);
    }
    for (int i = 0; i < 150; ++i) {
        write_file(dir.path() / "tree" / std::to_string(i % 3) /
                       std::string("g").append(std::to_string(i)).append(".kon"),
                   read_file(source_path("tests/corpus/grid.kon")));
    }
    write_file(dir.path() / "tree/1/.kon2batch-1-1-0badf00d-7.tmp", "left by a run that was killed");
    write_file(dir.path() / "tree/1/.kon2batch-notes.tmp", "a user's file that only looks alike");
    const pid_t batch = fork();
    if (batch == 0) {
        std::freopen("/dev/null", "r", stdin);
        execl(KON2BATCH_EXE, "kon2batch", "--jobs", "1", "--report", (dir.path() / "killed.csv").c_str(),
              (dir.path() / "tree").c_str(), nullptr);
        std::_Exit(127);
    }
    siginfo_t exited{};  // the child is not reaped before the kill, so its pid stays its own
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (read_file(dir.path() / "killed.csv").find(".kon,") == std::string::npos &&
           waitid(P_PID, static_cast<id_t>(batch), &exited, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           exited.si_pid == 0 && std::chrono::steady_clock::now() < deadline) {
        usleep(100);
    }
    kill(batch, SIGKILL);
    waitpid(batch, nullptr, 0);
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), {"--update", "--report", "r.jsonl", "tree"});
        EXPECT_EQ(run_batch_in(dir.path(), arguments).status, 0);
        std::map<std::string, std::size_t> outcomes;
        for (const ReportRecord& record : read_report(dir.path() / "r.jsonl")) {
            ++outcomes[record.outcome];
        }
        return outcomes;
    };
    EXPECT_EQ(run({}).count("refused"), 0U);
    const std::map<std::string, std::string> converted = files_under(dir.path() / "tree");
    EXPECT_EQ(converted.size(), 150 * 5 + 1U);  // no temporary file left, the look-alike kept
    expect_golden_outputs(dir.path() / "tree/2/g149.kon");
    EXPECT_EQ(run({}), (std::map<std::string, std::size_t>{{"skipped", 150}}));
    fs::last_write_time(dir.path() / "tree/0/g3.kon",
                        fs::file_time_type::clock::now() + std::chrono::minutes(1));
    EXPECT_EQ(run({}), (std::map<std::string, std::size_t>{{"converted", 1}, {"skipped", 149}}));
    EXPECT_EQ(files_under(dir.path() / "tree"), converted);
    std::set<std::string> inputs;
    for (const char* shard : {"1/3", "2/3", "3/3"}) {
        EXPECT_GT(run({"--shard", shard}).at("skipped"), 30U) << shard;
        for (const ReportRecord& record : read_report(dir.path() / "r.jsonl")) {
            EXPECT_TRUE(inputs.insert(record.input).second) << record.input << " in two shards";
        }
    }
    EXPECT_EQ(inputs.size(), 150U);
}

TEST(Batch, SumsUpMessagesByTheirKindAndEscapesWhatIsNotUtf8) {
    const struct {
        std::string messages;
        std::string kind;
    } kinds[] = {
        {"Falscher Punkt: 17 in Zeile 230!\nd/x.kon ist fehlerhaft\n", "Falscher Punkt: N in Zeile N!"},
        {"d/x.kon ist fehlerhaft\n", "N ist fehlerhaft"},
        {"Unerwartetes Dateiende in d/x.kon!", "Unerwartetes Dateiende in N!"},
        {"I: -32766 S: 12\nFormatfehler 12!\n", "I: N S: N"},
    };
    for (const auto& row : kinds) {
        EXPECT_EQ(message_kind(row.messages, {"d/x.kon", "d/x.x"}), row.kind);
    }
    EXPECT_EQ(stable_hash("a"), 0xaf63dc4c8601ec8cULL);  // the same shards on every machine
    EXPECT_EQ(temporary_name(Slice{2, 8}).substr(0, 15), ".kon2batch-2-8-");
    for (const auto& [name, slice] :
         {std::pair<std::string, std::optional<Slice>>{".kon2batch-2-8-0badf00d-17.tmp", Slice{2, 8}},
          {".kon2batch-1-1-0BADF00D-1.tmp", std::nullopt},
          {".kon2batch-notes.tmp", std::nullopt},
          {".kon2batch-1-1-0badf00d-.tmp", std::nullopt}}) {
        EXPECT_EQ(temporary_slice(name), slice) << name;
    }
    for (const auto& [processes, dropped] : {std::pair{0U, false}, {1U, true}, {2U, false}}) {
        EXPECT_EQ(started_by_drop(processes), dropped) << processes;
    }
    EXPECT_EQ(utf8_or_escaped("\xC3\xA4 \xF6 \xE0\x80\x80 \xF4\x90\x80\x80 \xED\xA0\x80 \xF0\x9F\x98\x80"),
              "\xC3\xA4 \\xF6 \\xE0\\x80\\x80 \\xF4\\x90\\x80\\x80 \\xED\\xA0\\x80 \xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace kon2x::test
