// kon2batch's report: one record per input, as JSON Lines or as CSV, in UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "batch/batch_options.hpp"
#include "batch/batch_record.hpp"

namespace kon2x {

// The CSV's columns, in its header's words; the JSON Lines' members bear the
// same names, the outputs gathered in "outputs": [{"format", "path",
// "bytes", "note"}, ...]. Counts are empty (null) where the file did not load.
extern const char kCsvHeader[];

// One record as a line of JSON or a CSV row, each with its line feed.
std::string json_line(const BatchRecord& record);
std::string csv_row(const BatchRecord& record);

// Text as it can stand in a UTF-8 report: each byte that is not part of a
// valid UTF-8 sequence becomes the four characters \xHH.
std::string utf8_or_escaped(std::string_view text);

class BatchReport {
public:
    BatchReport() = default;
    ~BatchReport();
    BatchReport(const BatchReport&) = delete;
    BatchReport& operator=(const BatchReport&) = delete;

    // Creates (or replaces) the report at `path`, a CSV with its header
    // where `header` is set; false when it cannot.
    bool open(const std::string& path, ReportKind kind, bool header = true);
    // Appends the record and flushes it, so that a batch killed later keeps it.
    void write(const BatchRecord& record);
    // False when any write failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
    ReportKind kind_ = ReportKind::none;
    bool ok_ = true;
};

}  // namespace kon2x
