// Helpers shared by the tests: temporary directories, files, console capture, child processes.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "model/construction_model.hpp"
#include "support/read_bytes.hpp"

namespace kon2x::test {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to the file `name` inside the directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);

// A temporary file holding `bytes`, positioned at its start.
std::FILE* file_with(const std::string& bytes);

// Points the console at temporary files while it lives; standard input holds
// `input`.
class ConsoleCapture {
public:
    explicit ConsoleCapture(const std::string& input = "");
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::string out() const;
    std::string err() const;
    // What is left of standard input.
    std::string unread_input() const;

private:
    ConsoleStreams saved_;
    ConsoleStreams files_;
};

// read_bytes with the console captured: its output lands in `console_out`.
int read_captured(ConstructionModel& model, Reader reader, std::string_view bytes,
                  std::string* console_out = nullptr);

// What the loader reads from the bytes, and what it printed.
struct Loaded {
    ConstructionModel model;
    std::string console;
};
Loaded load_captured(std::string_view bytes);

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built `program` (kon2x, or KON2GLTF_EXE) in `directory` with the
// arguments after the program name `name` (default: the program's path),
// feeding `input` to its standard input (closed_input: none at all).
RunResult run_kon2x(const std::filesystem::path& directory, const std::vector<std::string>& arguments,
                    const std::string& input, bool closed_input = false, const char* program = KON2X_EXE,
                    const std::string& name = "");
// Path of a file in the source tree.
std::filesystem::path source_path(const std::string& relative);

// The inputs of the end-to-end cases, sorted: the .kon and .bin files of the
// bundled examples and of tests/corpus.
std::vector<std::filesystem::path> corpus_inputs();

// The expected output of a corpus input with this extension (".x",
// ".console"): named after the input up to its first dot, so that inputs
// which convert alike share it (same-many.text.kon and same-many.archive.bin
// give same-many.x).
std::filesystem::path expected_file(const std::filesystem::path& input, const std::string& extension);

}  // namespace kon2x::test
