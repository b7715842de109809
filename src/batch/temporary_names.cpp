// Making and recognising temporary names.
#include "batch/temporary_names.hpp"

#include <atomic>
#include <charconv>
#include <random>

#include "console/console.hpp"

namespace kon2x {

namespace {

constexpr std::string_view kPrefix = ".kon2batch-";
constexpr std::string_view kSuffix = ".tmp";

// Reads the decimal number before `stop` at the start of `text` and moves past both.
bool read_number(std::string_view& text, char stop, unsigned& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data() + text.size() || *end != stop) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
    return true;
}

}  // namespace

std::string temporary_name(const Slice& slice) {
    static const unsigned run = std::random_device()();
    static std::atomic<unsigned long long> count{0};
    return format_message(".kon2batch-%u-%u-%08x-%llu.tmp", slice.shard, slice.shards, run, count++);
}

std::optional<Slice> temporary_slice(std::string_view file_name) {
    if (!file_name.starts_with(kPrefix) || !file_name.ends_with(kSuffix)) {
        return std::nullopt;
    }
    std::string_view rest =
        file_name.substr(kPrefix.size(), file_name.size() - kPrefix.size() - kSuffix.size());
    Slice slice;
    unsigned long long count = 0;
    if (!read_number(rest, '-', slice.shard) || !read_number(rest, '-', slice.shards) || rest.size() < 10 ||
        rest[8] != '-' || rest.substr(0, 8).find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    rest.remove_prefix(9);
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), count);
    return error == std::errc() && end == rest.data() + rest.size() ? std::optional(slice) : std::nullopt;
}

}  // namespace kon2x
