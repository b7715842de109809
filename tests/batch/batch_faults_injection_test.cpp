// kon2batch when folders cannot be read, files vanish, writes fail or a
// signal comes: the batch goes on or stops as it should, keeps no temporary
// file, and its report holds every input done so far.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/batch_run.hpp"
#include "support/failure_injection.hpp"
#include "support/model_builder.hpp"

namespace kon2x::test {
namespace {

namespace fs = std::filesystem;
using Fault = FaultyFiles::Fault;

TEST(BatchFaults, GoOnOrStopAndLeaveNoTemporaryFile) {
    const struct {
        const char* what;
        const char* name_part;
        Fault fault;
        int successes, times;
        const char* jobs;
        std::size_t records;  // in the report
        std::size_t converted;
        const char* shown;
    } rows[] = {
        {"an unreadable folder", "locked", Fault::cannot_open, 0, -1, "2", 20, 20, "cannot read ./locked"},
        {"a file that vanishes after the walk", "f03.kon", Fault::cannot_open, 1, -1, "2", 21, 20,
         "Can't open ./f03.kon!"},
        // One job writes f00's four outputs, then f01's, ...: the 22nd is f05.glb.
        {"a write that fails", ".kon2batch-", Fault::cannot_write, 21, 1, "1", 21, 20,
         "N kann nicht geschrieben werden (1 file)"},
        {"writes that keep failing", ".kon2batch-", Fault::cannot_write, 0, -1, "1", 10, 0,
         "stopped: no output could be written for 10 inputs in a row"},
        {"SIGINT", ".kon2batch-", Fault::interrupt, 32, 1, "1", 8, 8, "stopped by a signal"},
    };
    for (const auto& row : rows) {
        TempDir dir;
        const std::string model = read_file(source_path("tests/corpus/grid.kon"));
        for (int i = 0; i < 20; ++i) {
            dir.write((i < 10 ? "f0" : "f") + std::to_string(i) + ".kon", model);
        }
        fs::create_directory(dir.path() / "locked");
        dir.write("locked/inside.kon", model);
        RunResult run;
        {
            const FaultyFiles faults(row.name_part, row.fault, row.successes, row.times);
            run = run_batch_in(dir.path(), {"--jobs", row.jobs, "--out", "out", "--report", "r.jsonl", "."});
            EXPECT_GT(faults.faults(), 0) << row.what;
        }
        EXPECT_EQ(run.status, 1) << row.what;
        EXPECT_NE(run.out.find(row.shown), std::string::npos) << row.what << ": " << run.out;
        const std::vector<ReportRecord> records = read_report(dir.path() / "r.jsonl");
        EXPECT_EQ(records.size(), row.records) << row.what;
        std::size_t converted = 0;
        for (const ReportRecord& record : records) {
            converted += record.outcome == "converted" ? 1 : 0;
        }
        EXPECT_EQ(converted, row.converted) << row.what;
        const std::map<std::string, std::string> written = files_under(dir.path() / "out");
        EXPECT_EQ(written.size(), 4 * converted) << row.what;
        for (const auto& [name, bytes] : written) {
            EXPECT_EQ(name.find(".kon2batch-"), std::string::npos) << row.what;
        }
    }
}

TEST(BatchFaults, RunningOutOfMemoryFailsThatInputOnly) {
    TempDir dir;
    dir.write("big.kon", kon_file(std::vector<std::string>(30000, "1;2;3"), {}, {"1;1;1;0;0;0;0;0;0"}));
    dir.write("small.kon", read_file(source_path("tests/corpus/grid.kon")));
    {
        const FailingAllocations failing(2 << 20, SIZE_MAX);  // the big point array alone
        EXPECT_EQ(run_batch_in(dir.path(), {"--report", "r.jsonl", "big.kon", "small.kon"}).status, 1);
    }
    const std::vector<ReportRecord> records = read_report(dir.path() / "r.jsonl");
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].outcome + ": " + records[0].messages,
              "failed: Zu wenig Speicher!\nbig.kon ist fehlerhaft\n");
    EXPECT_EQ(records[1].outcome, "converted");
    EXPECT_EQ(files_under(dir.path()).size(), 2 + 1 + 4U);  // the inputs, the report, small's outputs
}

}  // namespace
}  // namespace kon2x::test
