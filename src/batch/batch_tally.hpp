// What a batch has done so far: the progress line and the summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "batch/batch_record.hpp"

namespace kon2x {

class BatchTally {
public:
    explicit BatchTally(std::size_t inputs) : inputs_(inputs) {}

    void add(const BatchRecord& record);

    std::size_t done() const { return converted_ + up_to_date_ + refused_ + failed_; }
    // Every input converted or up to date.
    bool all_converted() const { return converted_ + up_to_date_ == inputs_; }

    // "120/300 files, 4 refused or failed, 12.5 MB, 40.0 files/s, 0:05 left".
    std::string progress(double seconds) const;
    // "300 inputs: 290 converted, 8 refused, 2 failed; 3 other files
    // skipped; 12.5 MB written in 7.5 s\n", with ", N up to date" after
    // "converted" where there are.
    std::string summary(std::size_t skipped, double seconds) const;
    // Each kind of refusal or failure, most frequent first: the kind and
    // its count, then its first input's path and message line.
    std::string kinds() const;

private:
    struct Kind {
        std::string text;
        std::size_t count = 0;
        std::string example;
    };

    std::size_t inputs_;
    std::size_t converted_ = 0;
    std::size_t up_to_date_ = 0;
    std::size_t refused_ = 0;
    std::size_t failed_ = 0;
    std::uintmax_t bytes_ = 0;
    std::vector<Kind> kinds_;  // in the order first met
};

}  // namespace kon2x
