// Creating, filling, closing and, on failure, removing the output file.
#include "driver/output_file.hpp"

#include <cstdio>
#include <new>

namespace kon2x {

OutputResult write_output_file(const std::string& path, const std::function<void(OutputBuffer&)>& fill) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return OutputResult::cannot_open;
    }
    OutputResult result = OutputResult::written;
    try {
        OutputBuffer out(file);
        fill(out);
        if (!out.flush()) {
            result = OutputResult::cannot_write;
        }
    } catch (const std::bad_alloc&) {
        result = OutputResult::out_of_memory;
    }
    if (std::fclose(file) != 0 && result == OutputResult::written) {
        result = OutputResult::cannot_write;
    }
    if (result != OutputResult::written) {
        std::remove(path.c_str());
    }
    return result;
}

}  // namespace kon2x
