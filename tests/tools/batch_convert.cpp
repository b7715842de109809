// Runs one converter of the family on many inputs in one process, each run
// as a started program would make it: in the input's folder, with four line
// feeds on standard input. Under Wine a process start costs more than a
// conversion; the single starts stay with tests/compare_builds.sh.
// Usage: kon2x_batch_convert PROGRAM FOLDER...
// Each FOLDER holds one input file; FOLDER.out, FOLDER.err and FOLDER.status
// (the exit status) are written beside it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "console/console.hpp"
#include "driver/driver.hpp"
#include "driver/output_formats.hpp"

namespace {

namespace fs = std::filesystem;

std::FILE* open_beside(const fs::path& folder, const char* suffix, const char* mode) {
    return std::fopen((folder.string() + suffix).c_str(), mode);
}

// Converts the one file in `folder` and writes what the run showed beside it.
bool convert_in(const fs::path& folder, const char* program, const kon2x::OutputFormat& format) {
    fs::path input;
    for (const auto& entry : fs::directory_iterator(folder)) {
        input = entry.path().filename();
    }
    std::FILE* answers = open_beside(folder, ".in", "w+b");
    std::FILE* out = open_beside(folder, ".out", "wb");
    std::FILE* err = open_beside(folder, ".err", "wb");
    std::FILE* status_file = open_beside(folder, ".status", "wb");
    bool opened = answers != nullptr && out != nullptr && err != nullptr && status_file != nullptr;
    if (opened) {
        std::fputs("\n\n\n\n", answers);
        std::rewind(answers);
        kon2x::ConsoleStreams streams{answers, out, err};
        const kon2x::ConsoleScope scope(streams);
        const fs::path home = fs::current_path();
        fs::current_path(folder);
        const std::string name = input.string();
        const char* const argv[] = {program, name.c_str(), nullptr};
        const int status = kon2x::run_converter(2, argv, format);
        fs::current_path(home);
        std::fprintf(status_file, "%d\n", status);
    }
    for (std::FILE* file : {answers, out, err, status_file}) {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    std::remove((folder.string() + ".in").c_str());
    return opened;
}

}  // namespace

int main(int argc, char** argv) {
    const kon2x::OutputFormat* format = argc > 1 ? kon2x::converter_format(argv[1]) : nullptr;
    if (format == nullptr) {
        std::fputs("usage: kon2x_batch_convert kon2x|kon2gltf|kon2svg|kon2dxf FOLDER...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        if (!convert_in(argv[i], argv[1], *format)) {
            std::fprintf(stderr, "kon2x_batch_convert: cannot write beside %s\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
