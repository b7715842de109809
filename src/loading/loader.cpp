// Format detection and the run of exactly one reader.
#include "loading/loader.hpp"

#include <cstdio>
#include <new>

#include "driver/console.hpp"
#include "driver/platform.hpp"
#include "loading/archive_reader.hpp"
#include "loading/line_derivation.hpp"
#include "loading/text_reader.hpp"

namespace kon2x {

namespace {

bool starts_with_kon(const unsigned char* head, std::size_t size) {
    const auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    return size >= 3 && upper(head[0]) == 'K' && upper(head[1]) == 'O' && upper(head[2]) == 'N';
}

void report_cannot_open(const std::string& path) {
    report_and_wait(format_message("Can't open %s!\n", path.c_str()));
}

void load_text(ConstructionModel& model, const std::string& path) {
    const FileHandle file(open_file(path, "rb"));
    if (!file) {
        report_cannot_open(path);
        return;
    }
    if (read_text(model, file.get()) == 1) {
        derive_lines(model);
        model.loaded = 1;
    }
}

void load_archive(ConstructionModel& model, std::FILE* file) {
    std::rewind(file);
    read_archive(model, file);
    // Nothing may follow the archive.
    if (std::fgetc(file) != EOF || !std::feof(file)) {
        report_and_wait("EOF not found!");
    }
}

void load_file(ConstructionModel& model, const std::string& path) {
    FileHandle file(open_file(path, "rb"));
    if (!file) {
        report_cannot_open(path);
        return;
    }
    unsigned char head[4] = {};
    const std::size_t size = std::fread(head, 1, sizeof head, file.get());
    if (starts_with_kon(head, size)) {
        file.reset();  // the text reader opens the file anew
        load_text(model, path);
        return;
    }
    load_archive(model, file.get());
}

}  // namespace

void load(ConstructionModel& model, const std::string& path) {
    model.source_name = path;
    try {
        load_file(model, path);
    } catch (const std::bad_alloc&) {
        model.loaded = 0;
        report_and_wait("Zu wenig Speicher!\n");
    }
}

}  // namespace kon2x
