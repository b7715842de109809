// Counting the records, and the texts made of the counts.
#include "batch/batch_tally.hpp"

#include <algorithm>

#include "console/console.hpp"

namespace kon2x {

namespace {

std::string megabytes(std::uintmax_t bytes) {
    return format_message("%.1f MB", static_cast<double>(bytes) / 1e6);
}

unsigned long long wide(std::size_t count) {
    return count;
}

std::string files(std::size_t count) {
    return format_message("%llu %s", wide(count), count == 1 ? "file" : "files");
}

}  // namespace

void BatchTally::add(const BatchRecord& record) {
    static_assert(static_cast<int>(Outcome::skipped) == 3, "the counts in the order of Outcome");
    std::size_t* const counts[] = {&converted_, &refused_, &failed_, &up_to_date_};
    ++*counts[static_cast<int>(record.outcome)];
    for (const OutputRecord& output : record.outputs) {
        bytes_ += record.outcome == Outcome::converted ? output.bytes : 0;
    }
    if (record.outcome == Outcome::converted || record.outcome == Outcome::skipped) {
        return;
    }
    const auto same =
        std::find_if(kinds_.begin(), kinds_.end(), [&](const Kind& k) { return k.text == record.kind; });
    if (same != kinds_.end()) {
        ++same->count;
        return;
    }
    const std::string line = record.messages.substr(0, record.messages.find('\n'));
    kinds_.push_back({record.kind, 1, record.input + ": " + line});
}

std::string BatchTally::progress(double seconds) const {
    const double rate = seconds > 0 ? static_cast<double>(done()) / seconds : 0;
    std::string line = format_message("%llu/%llu files, %llu refused or failed, %s", wide(done()),
                                      wide(inputs_), wide(refused_ + failed_), megabytes(bytes_).c_str());
    if (rate > 0) {
        const auto left = static_cast<long long>(static_cast<double>(inputs_ - done()) / rate + 0.5);
        line += format_message(", %.1f files/s, %lld:%02lld left", rate, left / 60, left % 60);
    }
    return line;
}

std::string BatchTally::summary(std::size_t skipped, double seconds) const {
    const std::string up_to_date =
        up_to_date_ > 0 ? format_message(", %llu up to date", wide(up_to_date_)) : "";
    return format_message(
        "%llu %s: %llu converted%s, %llu refused, %llu failed; %llu other %s skipped; "
        "%s written in %.1f s\n",
        wide(inputs_), inputs_ == 1 ? "input" : "inputs", wide(converted_), up_to_date.c_str(),
        wide(refused_), wide(failed_), wide(skipped), skipped == 1 ? "file" : "files",
        megabytes(bytes_).c_str(), seconds);
}

std::string BatchTally::kinds() const {
    std::vector<Kind> sorted = kinds_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Kind& a, const Kind& b) { return a.count > b.count; });
    std::string text;
    for (const Kind& kind : sorted) {
        text += kind.text + " (" + files(kind.count) + ")\n  for example " + kind.example + "\n";
    }
    return text;
}

}  // namespace kon2x
