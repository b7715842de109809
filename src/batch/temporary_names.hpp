// The names of the files kon2batch writes before it renames them:
// ".kon2batch-I-N-RUN-K.tmp" in the output's folder, I of N its slice (1 of
// 1 without --shard), RUN the process's token of 8 hexadecimal digits, K a
// count. Short beside any output name, never a construction file's, and
// found again after a run that was killed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kon2x {

struct Slice {
    unsigned shard = 1;
    unsigned shards = 1;
    bool operator==(const Slice&) const = default;
};

// A name no other temporary file of any run has.
std::string temporary_name(const Slice& slice);

// The slice whose run wrote the temporary file `file_name`; nothing for any
// other name.
std::optional<Slice> temporary_slice(std::string_view file_name);

}  // namespace kon2x
