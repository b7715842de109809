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

// One conversion of one input. It owns the model and knows how far it got,
// which decides what running out of memory tells the user.
class Conversion {
public:
    Conversion(const char* input_path, const OutputFormat& format)
        : input_path_(input_path), format_(format) {}

    int run() {
        load(model_, input_path_);
        if (model_.loaded == 0 || model_.kind != kKindConvertible) {
            model_.release();
            return refuse_input();
        }
        writing_ = true;
        const std::string output_name = output_name_for(input_path_, format_.extension);
        std::string note;
        const OutputResult result =
            write_output_file(output_name, [&](OutputBuffer& out) { note = format_.write(model_, out); });
        model_.release();
        if (result == OutputResult::cannot_open) {
            return fail_with(
                format_message("%s kann nicht ge%sffnet werden\n", output_name.c_str(), o_umlaut().c_str()));
        }
        if (result == OutputResult::cannot_write) {
            return fail_with(format_message("%s kann nicht geschrieben werden\n", output_name.c_str()));
        }
        if (!note.empty()) {
            report_and_wait(note);
        }
        return kSuccess;
    }

    // After std::bad_alloc: what a partial load or the writing held is freed
    // first, so that the messages can be shown. A load that ran out also
    // refuses the input; a partial output file is already gone.
    int out_of_memory() {
        model_.release();
        report_and_wait("Zu wenig Speicher!\n");
        return writing_ ? kFailure : refuse_input();
    }

private:
    int refuse_input() const { return fail_with(format_message("%s ist fehlerhaft\n", input_path_)); }

    const char* input_path_;
    const OutputFormat& format_;
    ConstructionModel model_;
    bool writing_ = false;
};

}  // namespace

int run_converter(int argc, const char* const* argv, const OutputFormat& format) {
    if (argc != 2) {
        const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        return fail_with(format_message("Usage: %s Kon-datei\n", std::string(file_name_of(program)).c_str()));
    }
    Conversion conversion(argv[1], format);
    try {
        return conversion.run();
    } catch (const std::bad_alloc&) {
        // The one place where running out of memory is caught.
        return conversion.out_of_memory();
    }
}

}  // namespace kon2x
