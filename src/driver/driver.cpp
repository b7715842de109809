// The converter driver: checks the command line, loads, accepts and writes the model.
#include "driver/driver.hpp"

#include <new>
#include <string>

#include "console/console.hpp"
#include "console/platform.hpp"
#include "driver/output_file.hpp"
#include "driver/paths.hpp"
#include "loading/loader.hpp"

namespace kon2x {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

// The driver's own messages go to standard error and wait at "--> ".
int fail_with(const std::string& message) {
    complain_and_wait(message);
    return kFailure;
}

int convert(const std::string& input_path, const OutputFormat& format) {
    ConstructionModel model;
    load(model, input_path);
    if (model.loaded == 0 || model.kind != kKindConvertible) {
        return fail_with(format_message("%s ist fehlerhaft\n", input_path.c_str()));
    }

    const std::string output_name = output_name_for(input_path, format.extension);
    std::string note;
    switch (write_output_file(output_name, [&](OutputBuffer& out) { note = format.write(model, out); })) {
    case OutputResult::written:
        if (!note.empty()) {
            report_and_wait(note);
        }
        return kSuccess;
    case OutputResult::cannot_open:
        return fail_with(
            format_message("%s kann nicht ge%sffnet werden\n", output_name.c_str(), o_umlaut().c_str()));
    case OutputResult::cannot_write:
        return fail_with(format_message("%s kann nicht geschrieben werden\n", output_name.c_str()));
    case OutputResult::out_of_memory:
        break;
    }
    report_and_wait("Zu wenig Speicher!\n");
    return kFailure;
}

}  // namespace

int run_converter(int argc, const char* const* argv, const OutputFormat& format) {
    if (argc != 2) {
        const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        return fail_with(format_message("Usage: %s Kon-datei\n", std::string(file_name_of(program)).c_str()));
    }
    try {
        return convert(argv[1], format);
    } catch (const std::bad_alloc&) {
        // Only reached when even the output name could not be built.
        report_and_wait("Zu wenig Speicher!\n");
        return kFailure;
    }
}

}  // namespace kon2x
