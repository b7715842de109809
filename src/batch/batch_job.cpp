// Converting one input of a batch.
#include "batch/batch_job.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <new>
#include <system_error>

#include "batch/temporary_names.hpp"
#include "console/console.hpp"
#include "console/file_names.hpp"
#include "driver/conversion_steps.hpp"
#include "driver/output_file.hpp"

namespace kon2x {

namespace fs = std::filesystem;

const char* outcome_name(Outcome outcome) {
    static_assert(static_cast<int>(Outcome::skipped) == 3, "the names in the order of Outcome");
    const char* const names[] = {"converted", "refused", "failed", "skipped"};
    return names[static_cast<int>(outcome)];
}

namespace {

// Reports are UTF-8 whatever the console's character set.
constexpr std::string_view kUtf8OUmlaut = "\xC3\xB6";

// A fresh temporary name in the folder of `output`.
std::string temporary_for(const std::string& output, const Slice& slice) {
    return name_of(path_of(output).parent_path() / path_of(temporary_name(slice)));
}

class InputConversion {
public:
    InputConversion(const BatchInput& input, const std::vector<std::string>& outputs,
                    const JobSettings& settings)
        : input_(input), outputs_(outputs), settings_(settings) {}

    std::optional<BatchRecord> run() {
        const auto start = std::chrono::steady_clock::now();
        record_.input = input_.path;
        ConsoleStreams transcript{nullptr, nullptr, nullptr, &record_.messages};
        const ConsoleScope scope(transcript);
        bool finished = true;
        try {
            finished = convert();
        } catch (const std::bad_alloc&) {
            out_of_memory();
        }
        if (!finished) {
            return std::nullopt;
        }
        record_.milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        if (record_.outcome != Outcome::converted && record_.outcome != Outcome::skipped) {
            std::vector<std::string> paths = outputs_;
            paths.push_back(input_.path);
            record_.kind = message_kind(record_.messages, paths);
        }
        return std::move(record_);
    }

private:
    // False when the batch stopped before the input was done.
    bool convert() {
        if (settings_.update && up_to_date()) {
            record_.outcome = Outcome::skipped;
            record_.messages = "up to date";
            return true;
        }
        if (!load_convertible(model_, input_.path)) {
            record_.messages += refusal_line(input_.path);
            record_.outcome = Outcome::refused;
            return true;
        }
        loaded_ = true;
        record_.counted = true;
        record_.counts = count_model(model_);
        record_.materials = count_materials(model_);
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            if (stopping()) {
                remove_temporaries();
                return false;
            }
            if (!write_temporary(*settings_.formats[i], outputs_[i])) {
                remove_temporaries();
                return true;
            }
        }
        model_.release();
        if (stopping()) {
            remove_temporaries();
            return false;
        }
        rename_temporaries();
        return true;
    }

    // Every output exists and was written after the input; each is listed.
    bool up_to_date() {
        std::error_code error;
        const fs::file_time_type input_time = fs::last_write_time(path_of(input_.path), error);
        for (std::size_t i = 0; i < outputs_.size() && !error; ++i) {
            const fs::path output = path_of(outputs_[i]);
            if (!(fs::last_write_time(output, error) > input_time) || error) {
                record_.outputs.clear();
                return false;
            }
            record_.outputs.push_back(
                {settings_.formats[i]->extension + 1, outputs_[i], fs::file_size(output, error), ""});
        }
        if (error) {
            record_.outputs.clear();
        }
        return !error;
    }

    // The messages of the single program, which refuses an input whose
    // loading ran out; every output is given up.
    void out_of_memory() {
        model_.release();
        remove_temporaries();
        record_.outputs.clear();
        record_.messages += kOutOfMemoryLine;
        record_.messages += loaded_ ? "" : refusal_line(input_.path);
        record_.outcome = Outcome::failed;
    }

    bool write_temporary(const OutputFormat& format, const std::string& output) {
        std::error_code error;
        const fs::path folder = path_of(output).parent_path();
        if (!folder.empty()) {
            fs::create_directories(folder, error);
        }
        const std::string temporary = temporary_for(output, settings_.slice);
        std::string note;
        const unsigned threads = &format == &kDirectXMesh && settings_.x_threads ? settings_.x_threads() : 1;
        const OutputResult result =
            error ? OutputResult::cannot_open : write_output_file(temporary, [&](OutputBuffer& out) {
                temporaries_.push_back(temporary);
                note = format.write(model_, out, threads);
            });
        if (result != OutputResult::written) {
            std::erase(temporaries_, temporary);  // removed by its writer
            fail_output(format, output, result);
            return false;
        }
        record_.outputs.push_back(
            {format.extension + 1, output, fs::file_size(path_of(temporary), error), note});
        return true;
    }

    // All or none: an output that cannot take its name removes those renamed before it.
    void rename_temporaries() {
        for (std::size_t i = 0; i < temporaries_.size(); ++i) {
            std::error_code error;
            fs::rename(path_of(temporaries_[i]), path_of(outputs_[i]), error);
            if (error) {
                for (std::size_t renamed = 0; renamed < i; ++renamed) {
                    remove_file(outputs_[renamed]);
                }
                remove_temporaries();
                fail_output(*settings_.formats[i], outputs_[i], OutputResult::cannot_write);
                return;
            }
            temporaries_[i].clear();
        }
        temporaries_.clear();
        record_.outcome = Outcome::converted;
    }

    void fail_output(const OutputFormat& format, const std::string& output, OutputResult result) {
        const std::string line = output_failure_line(result, output, kUtf8OUmlaut);
        record_.outputs = {{format.extension + 1, output, 0, line}};
        record_.messages += line;
        record_.outcome = Outcome::failed;
        record_.write_failed = true;
    }

    void remove_temporaries() {
        for (const std::string& temporary : temporaries_) {
            if (!temporary.empty()) {
                remove_file(temporary);
            }
        }
        temporaries_.clear();
    }

    bool stopping() const { return settings_.stop != nullptr && settings_.stop->load(); }

    const BatchInput& input_;
    const std::vector<std::string>& outputs_;
    const JobSettings& settings_;
    ConstructionModel model_;
    BatchRecord record_;
    std::vector<std::string> temporaries_;  // written or being written; "" once renamed
    bool loaded_ = false;
};

}  // namespace

std::optional<BatchRecord> convert_input(const BatchInput& input, const std::vector<std::string>& outputs,
                                         const JobSettings& settings) {
    return InputConversion(input, outputs, settings).run();
}

std::string message_kind(const std::string& messages, const std::vector<std::string>& paths) {
    const std::string line = messages.substr(0, messages.find('\n'));
    std::vector<std::string> longest_first = paths;
    std::sort(longest_first.begin(), longest_first.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    const auto path_at = [&](std::size_t at) -> std::size_t {
        for (const std::string& path : longest_first) {
            if (!path.empty() && line.compare(at, path.size(), path) == 0) {
                return path.size();
            }
        }
        return 0;
    };
    const auto is_digit = [&](std::size_t at) {
        return at < line.size() && line[at] >= '0' && line[at] <= '9';
    };
    std::string kind;
    for (std::size_t at = 0; at < line.size();) {
        std::size_t length = path_at(at);
        const std::size_t sign = line[at] == '-' ? 1 : 0;  // "-32767" is a number as "32767" is
        if (length == 0 && is_digit(at + sign)) {
            for (length = sign; is_digit(at + length); ++length) {
            }
        }
        kind += length > 0 ? 'N' : line[at];
        at += std::max<std::size_t>(length, 1);
    }
    return kind;
}

}  // namespace kon2x
