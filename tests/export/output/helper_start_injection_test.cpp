// A helper thread that cannot be started once others run, by injection: the
// others do its work when the system has no thread to give, and running out
// of memory reaches the caller after every started thread has ended.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "export/output/ordered_chunks.hpp"
#include "support/failure_injection.hpp"

namespace kon2x::test {
namespace {

// The state that std::thread allocates for the pipeline's helper: a vtable
// pointer and one captured pointer.
constexpr std::size_t kThreadStateSize = 2 * sizeof(void*);

TEST(FormatInOrder, HandlesAHelperThatCannotStart) {
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        expected += std::to_string(i) + "\n";
    }
    const struct {
        int started;         // helpers that start before the failing one
        bool out_of_memory;  // its state cannot be allocated, else the system refuses it
    } rows[] = {{0, false}, {1, false}, {2, false}, {1, true}};
    for (const auto& row : rows) {
        std::string text;
        bool written = false;
        bool threw = false;
        bool failed = false;
        {
            const FailingThreadStart refused(row.out_of_memory ? -1 : row.started);
            const FailingAllocations no_state(kThreadStateSize, row.out_of_memory ? kThreadStateSize + 1 : 0,
                                              row.started);
            try {
                written = format_in_order(
                    200, 4,
                    [](std::size_t i, TextChunk& chunk) {
                        const std::string line = std::to_string(i) + "\n";
                        chunk.commit(std::copy(line.begin(), line.end(), chunk.reserve(64)));
                    },
                    [&](std::string_view chunk) {
                        text += chunk;
                        return true;
                    });
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            failed = refused.failed() || no_state.failed() > 0;
        }
        EXPECT_TRUE(failed) << row.started;
        EXPECT_EQ(threw, row.out_of_memory) << row.started;
        if (!row.out_of_memory) {
            EXPECT_TRUE(written) << row.started;
            EXPECT_EQ(text, expected) << row.started;
        }
    }
}

}  // namespace
}  // namespace kon2x::test
