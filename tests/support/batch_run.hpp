// kon2batch run in this process, and what it leaves: its report and files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace kon2x::test {

// Runs kon2batch with `arguments` (after the program name) in `directory`.
RunResult run_batch_in(const std::filesystem::path& directory, const std::vector<std::string>& arguments);

// A record of a JSON Lines report, as far as the tests read it.
struct ReportRecord {
    std::string input;
    std::string outcome;
    std::string messages;
    std::map<std::string, std::string> notes;  // by format
    std::string line;                          // the whole line without its times
};
std::vector<ReportRecord> read_report(const std::filesystem::path& report);

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> files_under(const std::filesystem::path& folder);

}  // namespace kon2x::test
