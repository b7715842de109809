// The converter driver: checks the command line, loads, accepts and writes the model.
#include "driver/driver.hpp"

#include <cstdio>
#include <string>
#include <utility>

#include "console/console.hpp"
#include "console/file_names.hpp"
#include "console/platform.hpp"
#include "driver/conversion_steps.hpp"
#include "driver/out_of_memory.hpp"
#include "driver/paths.hpp"

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
    Conversion(const char* input_path, const OutputFormat& format, const LoadedStep& loaded)
        : input_path_(input_path), format_(format), loaded_(loaded) {}

    int run() {
        if (!load_convertible(model_, input_path_)) {
            return refuse_input();
        }
        if (loaded_) {
            loaded_(model_, input_path_);
        }
        writing_ = true;
        output_name_ = output_name_for(input_path_, format_.extension);
        std::string note;
        const OutputResult result =
            write_output_file(output_name_, [&](OutputBuffer& out) { note = format_.write(model_, out, 0); });
        const std::string output_name = std::move(output_name_);  // written or removed: none left to remove
        output_name_.clear();
        model_.release();
        if (result != OutputResult::written) {
            return fail_with(output_failure_line(result, output_name, o_umlaut()));
        }
        if (!note.empty()) {
            report_and_wait(note);
        }
        return kSuccess;
    }

    // What a partial load or the writing held is freed first, so that the
    // messages can be shown. A load that ran out also refuses the input; a
    // partial output file is removed (where memory ran out as an exception,
    // its owner has removed it already).
    int out_of_memory() {
        model_.release();
        if (!output_name_.empty()) {
            remove_file(output_name_);
        }
        report_and_wait(kOutOfMemoryLine);
        return writing_ ? kFailure : refuse_input();
    }

private:
    int refuse_input() const { return fail_with(refusal_line(input_path_)); }

    const char* input_path_;
    const OutputFormat& format_;
    const LoadedStep& loaded_;
    ConstructionModel model_;
    bool writing_ = false;
    std::string output_name_;
};

}  // namespace

int run_converter(int argc, const char* const* argv, const OutputFormat& format, const LoadedStep& loaded) {
    if (argc != 2) {
        const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        return fail_with(format_message("Usage: %s Kon-datei\n", std::string(file_name_of(program)).c_str()));
    }
    Conversion conversion(argv[1], format, loaded);
    return run_reporting_out_of_memory([&] { return conversion.run(); },
                                       [&] { return conversion.out_of_memory(); });
}

}  // namespace kon2x
