// Parsing kon2batch's options.
#include "batch/batch_options.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace kon2x {

std::string batch_usage(std::string_view program) {
    return "Usage: " + std::string(program) +
           " [--to x,glb,svg,dxf] [--out DIR] [--jobs N] [--report FILE] [--update] [--shard I/N]\n"
           "       [--quiet] PATH...\n"
           "Converts every construction file in the files and folders given (folders\n"
           "with their subfolders) and goes on past every file that fails.\n"
           "  --to LIST      the outputs to write, of x, glb, svg and dxf (default: all four)\n"
           "  --out DIR      write under DIR, mirroring the paths below each PATH\n"
           "                 (default: beside each input)\n"
           "  --jobs N       files converted at once (default: the number of cores)\n"
           "  --report FILE  one record per input: JSON Lines (.jsonl) or CSV (.csv)\n"
           "  --update       skip the inputs whose outputs all exist and are newer\n"
           "  --shard I/N    only the I-th of N slices of the inputs, the same on every machine\n"
           "                 (the CSV header in slice 1 alone: the N reports concatenate)\n"
           "  --quiet        no progress and no summary, only the failures\n"
           "  --help, --version\n"
           "Exit status: 0 when every input converted or was up to date, 1 when any\n"
           "was refused or failed or none was found, 2 for a usage error.\n";
}

namespace {

// The formats of a --to list, in their fixed order; false for an unknown name.
bool read_formats(std::string_view list, std::vector<const OutputFormat*>& formats) {
    const struct {
        std::string_view name;
        const OutputFormat* format;
    } known[] = {{"x", &kDirectXMesh}, {"glb", &kGltfBinary}, {"svg", &kSvgDrawing}, {"dxf", &kDxfDrawing}};
    std::vector<bool> chosen(std::size(known), false);
    while (true) {
        const std::size_t comma = std::min(list.find(','), list.size());
        const std::string_view name = list.substr(0, comma);
        const auto match =
            std::find_if(std::begin(known), std::end(known), [&](const auto& k) { return k.name == name; });
        if (match == std::end(known)) {
            return false;
        }
        chosen[static_cast<std::size_t>(match - std::begin(known))] = true;
        if (comma == list.size()) {
            break;
        }
        list.remove_prefix(comma + 1);
    }
    formats.clear();
    for (std::size_t i = 0; i < std::size(known); ++i) {
        if (chosen[i]) {
            formats.push_back(known[i].format);
        }
    }
    return true;
}

bool read_count(std::string_view text, unsigned& count) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size() && count > 0;
}

// "I/N" with 1 <= I <= N.
bool read_shard(std::string_view text, unsigned& shard, unsigned& shards) {
    const std::size_t slash = text.find('/');
    return slash != std::string_view::npos && read_count(text.substr(0, slash), shard) &&
           read_count(text.substr(slash + 1), shards) && shard <= shards;
}

ReportKind report_kind(std::string_view path) {
    return path.ends_with(".jsonl") ? ReportKind::json_lines
           : path.ends_with(".csv") ? ReportKind::csv
                                    : ReportKind::none;
}

class Parser {
public:
    Parser(int argc, const char* const* argv) : argc_(argc), argv_(argv) {}

    CommandLine parse(unsigned cores) {
        line_.options.jobs = std::max(cores, 1U);
        read_formats("x,glb,svg,dxf", line_.options.formats);
        bool options_ended = false;
        for (next_ = 1; next_ < argc_ && line_.action == CommandLineAction::convert;) {
            const std::string_view argument = argv_[next_++];
            if (options_ended || !argument.starts_with("-") || argument == "-") {
                line_.options.paths.emplace_back(argument);
            } else if (argument == "--") {
                options_ended = true;
            } else {
                read_option(argument);
            }
        }
        if (line_.action == CommandLineAction::convert && line_.options.paths.empty()) {
            fail("no PATH given");
        }
        return line_;
    }

private:
    void read_option(std::string_view argument) {
        line_.options.options_given = true;
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        if (name == "--help" || name == "--version" || name == "--quiet" || name == "--update") {
            if (equals != std::string_view::npos) {
                return fail(std::string(name) + " takes no value");
            }
            line_.action = name == "--help"      ? CommandLineAction::help
                           : name == "--version" ? CommandLineAction::version
                                                 : line_.action;
            line_.options.quiet = line_.options.quiet || name == "--quiet";
            line_.options.update = line_.options.update || name == "--update";
            return;
        }
        if (name != "--to" && name != "--out" && name != "--jobs" && name != "--report" &&
            name != "--shard") {
            return fail("unknown option " + std::string(argument));
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (next_ < argc_) {
            value = argv_[next_++];
        } else {
            return fail(std::string(name) + " needs a value");
        }
        read_value(name, value);
    }

    void read_value(std::string_view name, std::string_view value) {
        BatchOptions& options = line_.options;
        if (name == "--to" && !read_formats(value, options.formats)) {
            fail("--to takes a list of x, glb, svg and dxf");
        } else if (name == "--jobs" && !read_count(value, options.jobs)) {
            fail("--jobs takes a number of at least 1");
        } else if (name == "--shard" && !read_shard(value, options.shard, options.shards)) {
            fail("--shard takes I/N, 1 <= I <= N");
        } else if (name == "--out") {
            options.out_dir = value;
            if (value.empty()) {
                fail("--out needs a folder");
            }
        } else if (name == "--report") {
            options.report_path = value;
            options.report = report_kind(value);
            if (options.report == ReportKind::none) {
                fail("--report takes a file ending in .jsonl or .csv");
            }
        }
    }

    void fail(const std::string& error) {
        line_.action = CommandLineAction::usage_error;
        line_.error = error;
    }

    int argc_;
    const char* const* argv_;
    int next_ = 1;
    CommandLine line_;
};

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv, unsigned cores) {
    return Parser(argc, argv).parse(cores);
}

}  // namespace kon2x
