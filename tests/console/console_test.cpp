// Tests of the prompts: what report_and_wait prints and how much input it takes.
#include "console/console.hpp"

#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

TEST(Console, ReportAndWaitPrintsVerbatimAndTakesOneWholeLine) {
    const std::string long_answer(5000, 'x');
    ConsoleCapture capture(long_answer + "\nnext line\n");
    report_and_wait("100% sicher: %s %d\n");
    EXPECT_EQ(capture.out(), "100% sicher: %s %d\nReturn->");
    EXPECT_EQ(capture.err(), "");
    EXPECT_EQ(capture.unread_input(), "next line\n");
}

TEST(Console, EndOfInputCountsAsTheAnswer) {
    ConsoleCapture capture("");
    report_and_wait("a\n");
    report_and_wait("b\n");
    EXPECT_EQ(capture.out(), "a\nReturn->b\nReturn->");
}

TEST(Console, FormatsMessagesOfAnyLength) {
    const std::string path(5000, 'p');
    EXPECT_EQ(format_message("Can't open %s!\n", path.c_str()), "Can't open " + path + "!\n");
    EXPECT_EQ(format_message("Falsche Versionskennung: %x!\n", 0x1234u), "Falsche Versionskennung: 1234!\n");
}

}  // namespace
}  // namespace kon2x::test
