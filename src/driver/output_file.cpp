// Creating, filling, closing and, on failure, removing the output file.
#include "driver/output_file.hpp"

#include <cstdio>

#include "console/file_names.hpp"

namespace kon2x {

namespace {

// The open output file: closed and removed when it goes unless finish()
// kept it, so that a file left behind is always a complete one, also when
// running out of memory unwinds through the writing.
class PartialFile {
public:
    PartialFile(std::FILE* file, const std::string& path) : file_(file), path_(path) {}
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
            remove_file(path_);
        }
    }

    // Closes the file, keeping it if everything was written and it closed cleanly.
    bool finish(bool written) {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!written || !closed) {
            remove_file(path_);
        }
        return written && closed;
    }

private:
    std::FILE* file_;
    const std::string& path_;
};

}  // namespace

OutputResult write_output_file(const std::string& path, const std::function<void(OutputBuffer&)>& fill) {
    std::FILE* file = open_file(path, "wb");
    if (file == nullptr) {
        return OutputResult::cannot_open;
    }
    PartialFile output(file, path);
    OutputBuffer out(file);
    fill(out);
    const bool flushed = out.flush();
    return output.finish(flushed) ? OutputResult::written : OutputResult::cannot_write;
}

}  // namespace kon2x
