// Tests of the ordered chunks when formatting throws or writing fails.
#include "export/output/ordered_chunks.hpp"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace kon2x::test {
namespace {

TEST(FormatInOrder, StopsAtAFormatterThatThrowsOrAWriteThatFails) {
    constexpr std::size_t kNever = 1000;
    const struct {
        unsigned threads;
        std::size_t throw_at, fail_write_at;
        std::size_t most_written;  // chunks handed to write, the failing one included
    } rows[] = {
        {1, 5, kNever, 5}, {4, 5, kNever, 5}, {1, kNever, 5, 6}, {4, kNever, 5, 6}, {4, 0, kNever, 0},
    };
    for (const auto& row : rows) {
        std::vector<std::size_t> written;
        bool threw = false;
        bool result = true;
        try {
            result = format_in_order(
                40, row.threads,
                [&](std::size_t i, TextChunk& chunk) {
                    if (i == row.throw_at) {
                        throw std::bad_alloc();
                    }
                    chunk.commit(chunk.reserve(1) + 1);
                },
                [&](std::string_view) {
                    written.push_back(written.size());
                    return written.size() != row.fail_write_at + 1;
                });
        } catch (const std::bad_alloc&) {
            threw = true;
        }
        EXPECT_EQ(threw, row.throw_at != kNever) << row.threads;
        EXPECT_EQ(result, row.throw_at != kNever || row.fail_write_at == kNever) << row.threads;
        // Writes come in order and stop at the failure; with one thread exactly there.
        EXPECT_LE(written.size(), row.most_written) << row.threads;
        if (row.threads == 1 || row.fail_write_at != kNever) {
            EXPECT_EQ(written.size(), row.most_written) << row.threads;
        }
    }
}

}  // namespace
}  // namespace kon2x::test
