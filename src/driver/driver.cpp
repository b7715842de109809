// The converter driver: checks the command line, loads, accepts and writes the model.
#include "driver/driver.hpp"

#include <new>
#include <string>

#include "driver/console.hpp"
#include "driver/paths.hpp"
#include "driver/platform.hpp"
#include "export/mesh_writer.hpp"
#include "export/output_buffer.hpp"
#include "loading/loader.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// The driver's own messages go to standard error and wait at "--> ".
int fail_with(const std::string& message) {
    write_err(message);
    write_out("--> ");
    wait_for_enter();
    return kFailure;
}

enum class WriteResult { written, write_failed, out_of_memory };

WriteResult write_output(const ConstructionModel& model, std::FILE* file) {
    WriteResult result = WriteResult::written;
    try {
        OutputBuffer out(file);
        out.write("xof 0302txt 0064\r\n");
        write_mesh(model, out, nullptr);
        if (!out.flush()) {
            result = WriteResult::write_failed;
        }
    } catch (const std::bad_alloc&) {
        result = WriteResult::out_of_memory;
    }
    const bool closed = std::fclose(file) == 0;
    if (result == WriteResult::written && !closed) {
        result = WriteResult::write_failed;
    }
    return result;
}

int convert(const std::string& input_path) {
    ConstructionModel model;
    load(model, input_path);
    if (model.loaded == 0 || model.kind != kKindConvertible) {
        return fail_with(format_message("%s ist fehlerhaft\n", input_path.c_str()));
    }

    const std::string output_name = output_name_for(input_path);
    std::FILE* file = open_file(output_name, "wb");
    if (file == nullptr) {
        return fail_with(
            format_message("%s kann nicht ge%sffnet werden\n", output_name.c_str(), o_umlaut().c_str()));
    }
    switch (write_output(model, file)) {
    case WriteResult::written:
        return kSuccess;
    case WriteResult::write_failed:
        remove_file(output_name);
        return fail_with(format_message("%s kann nicht geschrieben werden\n", output_name.c_str()));
    case WriteResult::out_of_memory:
        remove_file(output_name);
        report_and_wait("Zu wenig Speicher!\n");
        return kFailure;
    }
    return kFailure;
}

}  // namespace

int run_converter(int argc, const char* const* argv) {
    if (argc != 2) {
        const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        return fail_with(format_message("Usage: %s Kon-datei\n", std::string(file_name_of(program)).c_str()));
    }
    try {
        return convert(argv[1]);
    } catch (const std::bad_alloc&) {
        // Only reached when even the output name could not be built.
        report_and_wait("Zu wenig Speicher!\n");
        return kFailure;
    }
}

}  // namespace kon2x
