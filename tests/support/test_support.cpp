// Test helpers: files, console capture and running the program as a child process.
#include "support/test_support.hpp"

#if !defined(_WIN32)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#if !defined(_WIN32)
extern char** environ;
#endif

namespace kon2x::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device random;
    for (;;) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ =
            fs::temp_directory_path() / ("kon2x-test-" + std::to_string(now % 1000000007) + "-" +
                                         std::to_string(counter++) + "-" + std::to_string(random() % 100000));
        if (fs::create_directory(path_)) {
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const fs::path file = path_ / name;
    write_file(file, bytes);
    return file.string();
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::FILE* file_with(const std::string& bytes) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        throw std::runtime_error("no temporary file");
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

namespace {

// Reads an output file from its start, or what is left of an input file
// (which must not be flushed: some C libraries drop its buffer then).
std::string rest_of(std::FILE* file, bool from_start) {
    if (from_start) {
        std::fflush(file);
        std::rewind(file);
    }
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

}  // namespace

ConsoleCapture::ConsoleCapture(const std::string& input) : saved_(console()) {
    files_.in = file_with(input);
    files_.out = std::tmpfile();
    files_.err = std::tmpfile();
    console() = files_;
}

ConsoleCapture::~ConsoleCapture() {
    console() = saved_;
    std::fclose(files_.in);
    std::fclose(files_.out);
    std::fclose(files_.err);
}

std::string ConsoleCapture::out() const {
    return rest_of(files_.out, true);
}

std::string ConsoleCapture::err() const {
    return rest_of(files_.err, true);
}

std::string ConsoleCapture::unread_input() const {
    return rest_of(files_.in, false);
}

int read_captured(ConstructionModel& model, Reader reader, std::string_view bytes, std::string* console_out) {
    ConsoleCapture capture;
    const int result = read_bytes(model, bytes, reader);
    if (console_out != nullptr) {
        *console_out = capture.out();
    }
    return result;
}

Loaded load_captured(std::string_view bytes) {
    Loaded loaded;
    read_captured(loaded.model, Reader::loader, bytes, &loaded.console);
    return loaded;
}

#if !defined(_WIN32)

RunResult run_kon2x(const fs::path& directory, const std::vector<std::string>& arguments,
                    const std::string& input, bool closed_input, const char* program,
                    const std::string& name) {
    TempDir io;
    const std::string in_path = io.write("stdin", input);
    const std::string out_path = (io.path() / "stdout").string();
    const std::string err_path = (io.path() / "stderr").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (closed_input) {
        posix_spawn_file_actions_addclose(&actions, 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<char*> argv;
    std::string program_copy = name.empty() ? program : name;
    argv.push_back(program_copy.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // The child inherits the working directory (the tests run on one thread).
    const fs::path previous = fs::current_path();
    fs::current_path(directory);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv.data(), environ);
    fs::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);

    RunResult result;
    if (spawned != 0) {
        return result;
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = read_file(out_path);
    result.err = read_file(err_path);
    return result;
}

#endif

fs::path source_path(const std::string& relative) {
    return fs::path(KON2X_SOURCE_DIR) / relative;
}

fs::path expected_file(const fs::path& input, const std::string& extension) {
    const std::string name = input.filename().string();
    fs::path expected = source_path("tests/corpus") / name.substr(0, name.find('.'));
    return expected += extension;
}

std::vector<fs::path> corpus_inputs() {
    std::vector<fs::path> inputs;
    for (const char* folder : {"examples", "tests/corpus"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(source_path(folder))) {
            const fs::path extension = entry.path().extension();
            if (extension == ".kon" || extension == ".bin") {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace kon2x::test
