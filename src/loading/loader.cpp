// Format detection and the run of exactly one reader.
#include "loading/loader.hpp"

#include <cstdio>
#include <memory>

#include "console/console.hpp"
#include "console/file_names.hpp"
#include "loading/archive_reader.hpp"
#include "loading/line_derivation.hpp"
#include "loading/text_fields.hpp"
#include "loading/text_reader.hpp"

namespace kon2x {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void load_archive(ConstructionModel& model, std::FILE* file) {
    read_archive(model, file);
    // Nothing may follow the archive.
    if (std::fgetc(file) != EOF || !std::feof(file)) {
        report_and_wait("EOF not found!");
    }
}

}  // namespace

void load_stream(ConstructionModel& model, std::FILE* file) {
    char head[4] = {};
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    if (!begins_with_ignoring_case(std::string_view(head, size), "KON")) {
        load_archive(model, file);
    } else if (read_text(model, file) == 1) {
        derive_lines(model);
        model.loaded = 1;
    }
}

void load(ConstructionModel& model, const std::string& path) {
    model.source_name = path;
    const std::unique_ptr<std::FILE, FileCloser> file(open_file(path, "rb"));
    if (!file) {
        report_and_wait(format_message("Can't open %s!\n", path.c_str()));
        return;
    }
    load_stream(model, file.get());
}

}  // namespace kon2x
