// The batch from its command line to its exit status.
#include "batch/batch.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "batch/batch_job.hpp"
#include "batch/batch_options.hpp"
#include "batch/batch_report.hpp"
#include "batch/batch_tally.hpp"
#include "batch/input_walk.hpp"
#include "batch/job_pool.hpp"
#include "console/console.hpp"
#include "console/file_names.hpp"
#include "console/platform.hpp"
#include "driver/paths.hpp"

#ifndef KON2X_VERSION
#define KON2X_VERSION "unknown"
#endif

namespace kon2x {

namespace fs = std::filesystem;

namespace {

constexpr int kConverted = 0;
constexpr int kNotAllConverted = 1;
constexpr int kUsageError = 2;
// Inputs in a row whose outputs could not be written before the batch gives up.
constexpr int kWriteFailuresToStop = 10;

// Set to stop the batch: by a signal, or when writing keeps failing. A job
// sees it before each output and before renaming, so that the files under
// way are given up once the output being written is complete.
std::atomic<bool> stop_requested{false};
std::atomic<bool> signalled{false};

extern "C" void note_signal(int) {
    signalled = true;
    stop_requested = true;
}

// SIGINT and SIGTERM stop the batch while it lives, then the handlers before return.
class StopOnSignals {
public:
    StopOnSignals() {
        signalled = false;
        stop_requested = false;
        interrupt_ = std::signal(SIGINT, note_signal);
        terminate_ = std::signal(SIGTERM, note_signal);
    }
    ~StopOnSignals() {
        std::signal(SIGINT, interrupt_);
        std::signal(SIGTERM, terminate_);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    void (*interrupt_)(int);
    void (*terminate_)(int);
};

// The output paths of every input, one per format: beside the input, or
// under --out at the input's path below its PATH.
std::vector<std::vector<std::string>> plan_outputs(const std::vector<BatchInput>& inputs,
                                                   const BatchOptions& options) {
    std::vector<std::vector<std::string>> outputs(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string base = options.out_dir.empty()
                                     ? inputs[i].path
                                     : name_of(path_of(options.out_dir) / path_of(inputs[i].relative));
        for (const OutputFormat* format : options.formats) {
            outputs[i].push_back(output_name_for(base, format->extension));
        }
    }
    return outputs;
}

// "OUTPUT would also be written from OTHER-INPUT".
constexpr char kSameOutput[] = " would also be written from ";

// Inputs that would write the same file as another: one line for each pair,
// naming the other input and the first output they share; both are refused.
std::map<std::size_t, std::string> find_collisions(const std::vector<BatchInput>& inputs,
                                                   const std::vector<std::vector<std::string>>& outputs) {
    std::map<std::string, std::size_t> writer_of;
    std::set<std::pair<std::size_t, std::size_t>> pairs;
    std::map<std::size_t, std::string> lines;
    const auto name = [&](std::size_t input, std::size_t other, const std::string& output) {
        lines[input] += output + kSameOutput + inputs[other].path + "\n";
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (std::size_t format = 0; format < outputs[i].size(); ++format) {
            const auto [first, added] = writer_of.emplace(file_key(outputs[i][format]), i);
            const std::size_t other = first->second;
            if (!added && other != i && pairs.emplace(other, i).second) {
                name(i, other, outputs[i][format]);
                name(other, i, outputs[other][format]);
            }
        }
    }
    return lines;
}

BatchRecord collision_record(const BatchInput& input, const std::string& lines) {
    BatchRecord record;
    record.input = input.path;
    record.messages = lines;
    record.kind = std::string("N") + kSameOutput + "N";
    return record;
}

// The inputs of this shard, by a hash of their paths below their PATH with
// '/' between folders: the same slices on every machine and system.
std::vector<std::size_t> this_shard(const std::vector<BatchInput>& inputs, const BatchOptions& options) {
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::string relative = inputs[i].relative;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        if (options.shards == 0 || stable_hash(relative) % options.shards == options.shard - 1) {
            chosen.push_back(i);
        }
    }
    return chosen;
}

class Batch {
public:
    Batch(const BatchOptions& options, bool dropped)
        : options_(options), pool_(options.jobs), dropped_(dropped) {}

    int run() {
        o_umlaut();  // the console's character set, asked before any thread starts
        const StopOnSignals signals;
        if (!prepare()) {
            return kUsageError;
        }
        const auto start = std::chrono::steady_clock::now();
        const InputWalk walk = find_inputs(options_.paths, options_.report_path);
        remove_temporaries(walk);
        const std::vector<std::vector<std::string>> outputs = plan_outputs(walk.inputs, options_);
        const std::map<std::size_t, std::string> collisions = find_collisions(walk.inputs, outputs);
        const std::vector<std::size_t> chosen = this_shard(walk.inputs, options_);
        BatchTally tally(chosen.size());
        const JobSettings settings{options_.formats, options_.update, this_slice(),
                                   [&] { return pool_.threads_for_one(); }, &stop_requested};
        const auto seconds = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        pool_.run(
            chosen.size(),
            [&](std::size_t k) -> std::optional<BatchRecord> {
                const std::size_t i = chosen[k];
                const auto collision = collisions.find(i);
                return collision != collisions.end() ? collision_record(walk.inputs[i], collision->second)
                                                     : convert_input(walk.inputs[i], outputs[i], settings);
            },
            [&](BatchRecord& record) { deliver(record, tally); }, [&] { tick(tally, seconds()); },
            stop_requested);
        return finish(walk, tally, seconds());
    }

private:
    // The --out folder and the report, before anything else: 2 when either cannot be made.
    bool prepare() {
        std::error_code error;
        if (!options_.out_dir.empty() && !fs::create_directories(path_of(options_.out_dir), error) &&
            !fs::is_directory(path_of(options_.out_dir))) {
            write_err(console_text("kon2batch: cannot create " + options_.out_dir +
                                   (error ? ": " + error.message() : "") + "\n"));
            return false;
        }
        if (options_.report != ReportKind::none &&
            file_kind(options_.report_path) == FileKind::construction) {
            write_err(console_text("kon2batch: the report " + options_.report_path +
                                   " would replace a construction file\n"));
            return false;
        }
        // The reports of a run's shards concatenate: the CSV header is the first shard's.
        const bool header = options_.shard <= 1;
        if (options_.report != ReportKind::none &&
            !report_.open(options_.report_path, options_.report, header)) {
            write_err(console_text("kon2batch: cannot create the report " + options_.report_path + "\n"));
            return false;
        }
        return true;
    }

    // The temporary files of killed runs, in the folders walked and under
    // --out. The slices of a sharded run may convert in one tree at once:
    // a slice removes only what an earlier run of the same slice left.
    void remove_temporaries(const InputWalk& walk) const {
        std::vector<std::string> found = walk.temporaries;
        if (!options_.out_dir.empty()) {
            const std::vector<std::string> below_out = find_temporaries(options_.out_dir);
            found.insert(found.end(), below_out.begin(), below_out.end());
        }
        for (const std::string& temporary : found) {
            const std::optional<Slice> slice = temporary_slice(name_of(path_of(temporary).filename()));
            if (options_.shards == 0 || slice == this_slice()) {
                remove_file(temporary);
            }
        }
    }

    Slice this_slice() const {
        return options_.shards == 0 ? Slice{} : Slice{options_.shard, options_.shards};
    }

    void deliver(const BatchRecord& record, BatchTally& tally) {
        report_.write(record);
        tally.add(record);
        if (record.write_failed || record.outcome == Outcome::converted) {
            write_failures_in_a_row_ = record.write_failed ? write_failures_in_a_row_ + 1 : 0;
        }
        if (write_failures_in_a_row_ >= kWriteFailuresToStop && !stop_requested) {
            stop_reason_ =
                format_message("kon2batch: stopped: no output could be written for %d inputs in a row\n",
                               kWriteFailuresToStop);
            stop_requested = true;
        }
    }

    void tick(const BatchTally& tally, double seconds) {
        if (!options_.quiet && standard_error_is_terminal()) {
            const std::string line = tally.progress(seconds);
            const std::size_t padding = line.size() < progress_width_ ? progress_width_ - line.size() : 0;
            write_err(std::string(1, '\r').append(line).append(padding, ' '));
            progress_width_ = line.size();
        }
    }

    int finish(const InputWalk& walk, const BatchTally& tally, double seconds) {
        if (progress_width_ > 0) {
            write_err(std::string(1, '\r').append(progress_width_, ' ').append(1, '\r'));
        }
        std::string text = options_.quiet ? "" : tally.summary(walk.skipped, seconds);
        for (const std::string& line : walk.unreadable) {
            text.append(line).append("\n");
        }
        text += tally.kinds() + (signalled ? "kon2batch: stopped by a signal\n" : stop_reason_);
        if (walk.inputs.empty()) {
            text += "kon2batch: no construction file found\n";
        }
        if (!report_.close()) {
            text += "kon2batch: the report " + options_.report_path + " could not be written\n";
            report_failed_ = true;
        }
        if (dropped_) {
            text += "Return->";  // a console of its own closes when the program ends
        }
        write_out(console_text(text));
        if (dropped_) {
            wait_for_enter();
        }
        const bool complete = tally.all_converted() && !walk.inputs.empty() && walk.unreadable.empty() &&
                              !stop_requested && !report_failed_;
        return complete ? kConverted : kNotAllConverted;
    }

    const BatchOptions& options_;
    JobPool pool_;
    BatchReport report_;
    std::string stop_reason_;
    int write_failures_in_a_row_ = 0;
    std::size_t progress_width_ = 0;
    bool report_failed_ = false;
    bool dropped_;
};

}  // namespace

bool started_by_drop(unsigned console_processes) {
    return console_processes == 1;
}

std::uint64_t stable_hash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;  // 64-bit FNV-1a
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

int run_batch(int argc, const char* const* argv) {
    use_utf8_names();
    const std::string program(file_name_of(argc > 0 && argv[0] != nullptr ? argv[0] : "kon2batch"));
    const CommandLine line = parse_command_line(argc, argv, std::thread::hardware_concurrency());
    // Double-clicked, or given files dropped onto it: its console closes when it ends.
    const bool own_console = started_by_drop(console_process_count());
    switch (line.action) {
    case CommandLineAction::help:
        write_out(batch_usage(program));
        return kConverted;
    case CommandLineAction::version:
        write_out("kon2batch " KON2X_VERSION "\n");
        return kConverted;
    case CommandLineAction::usage_error: {
        const std::string text = console_text("kon2batch: " + line.error + "\n" + batch_usage(program));
        own_console ? complain_and_wait(text) : write_err(text);
        return kUsageError;
    }
    case CommandLineAction::convert:
        break;
    }
    // A drop gives paths alone; with options it was started some other way (a scheduled task).
    return Batch(line.options, own_console && !line.options.options_given).run();
}

}  // namespace kon2x
