// Running kon2batch in process and reading back what it wrote.
#include "support/batch_run.hpp"

#include <fstream>
#include <regex>

#include "batch/batch.hpp"

namespace kon2x::test {

namespace fs = std::filesystem;

RunResult run_batch_in(const fs::path& directory, const std::vector<std::string>& arguments) {
    std::vector<const char*> argv = {"kon2batch"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    const ConsoleCapture capture;
    const fs::path home = fs::current_path();
    fs::current_path(directory);
    const int status = run_batch(static_cast<int>(argv.size()), argv.data());
    fs::current_path(home);
    return {status, capture.out(), capture.err()};
}

namespace {

// The JSON string that starts after `"name":"` at or after `from`.
std::string json_string(const std::string& line, const std::string& name, std::size_t from = 0) {
    const std::string key = "\"" + name + "\":\"";
    std::size_t at = line.find(key, from);
    std::string text;
    for (at = at == std::string::npos ? line.size() : at + key.size(); at < line.size() && line[at] != '"';
         ++at) {
        if (line[at] != '\\') {
            text += line[at];
        } else if (line[++at] == 'u') {
            text += static_cast<char>(std::stoi(line.substr(at + 1, 4), nullptr, 16));
            at += 4;
        } else {
            text += line[at];
        }
    }
    return text;
}

}  // namespace

std::vector<ReportRecord> read_report(const fs::path& report) {
    std::vector<ReportRecord> records;
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);) {
        ReportRecord record{json_string(line, "input"),
                            json_string(line, "outcome"),
                            json_string(line, "messages"),
                            {},
                            std::regex_replace(line, std::regex(R"("milliseconds":\d+)"), "")};
        for (std::size_t at = line.find("\"format\":"); at != std::string::npos;
             at = line.find("\"format\":", at + 1)) {
            record.notes[json_string(line, "format", at)] = json_string(line, "note", at);
        }
        records.push_back(record);
    }
    return records;
}

std::map<std::string, std::string> files_under(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = read_file(entry.path());
        }
    }
    return files;
}

}  // namespace kon2x::test
