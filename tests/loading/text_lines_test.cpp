// Tests of the text-mode emulation and the 1023-character pieces.
#include "loading/text_lines.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

std::vector<std::string> pieces_of(const std::string& bytes) {
    std::FILE* file = file_with(bytes);
    TextLines lines(file);
    std::vector<std::string> pieces;
    std::string_view piece;
    while (lines.next(piece)) {
        pieces.emplace_back(piece);
    }
    std::fclose(file);
    return pieces;
}

using Pieces = std::vector<std::string>;

TEST(TextLines, TranslatesCrLfAndStopsAtControlZ) {
    EXPECT_EQ(pieces_of("a\r\nb\r\n"), (Pieces{"a\n", "b\n"}));
    EXPECT_EQ(pieces_of("a\rb\n"), (Pieces{"a\rb\n"}));
    EXPECT_EQ(pieces_of("a\r\r\nb"), (Pieces{"a\r\n", "b"}));
    EXPECT_EQ(pieces_of("a\r"), (Pieces{"a\r"}));
    EXPECT_EQ(pieces_of("a\nb\x1A"
                        "c\nd\n"),
              (Pieces{"a\n", "b"}));
    EXPECT_EQ(pieces_of("\x1A"
                        "abc"),
              Pieces{});
    EXPECT_EQ(pieces_of(""), Pieces{});
    EXPECT_EQ(pieces_of("\n\n"), (Pieces{"\n", "\n"}));
}

TEST(TextLines, CutsLongLinesIntoPiecesOf1023) {
    const std::string long_line(2000, 'x');
    EXPECT_EQ(pieces_of(long_line + "\n"),
              (Pieces{long_line.substr(0, 1023), long_line.substr(1023) + "\n"}));
    const std::string exact(1023, 'y');
    EXPECT_EQ(pieces_of(exact + "\n"), (Pieces{exact, "\n"}));
    EXPECT_EQ(pieces_of(exact.substr(1) + "\n"), (Pieces{exact.substr(1) + "\n"}));
    // A CR LF counts as one character of the translated text.
    EXPECT_EQ(pieces_of(exact.substr(1) + "\r\n"), (Pieces{exact.substr(1) + "\n"}));
}

TEST(TextLines, HandlesCrLfAcrossReadChunks) {
    // Put a CR LF on every possible chunk boundary near 64 KiB.
    for (std::size_t lead = 65534; lead <= 65537; ++lead) {
        std::string bytes;
        while (bytes.size() + 10 < lead) {
            bytes += "123456789\n";
        }
        bytes += std::string(lead - bytes.size(), 'q');
        bytes += "\r\nend\r";
        const Pieces pieces = pieces_of(bytes);
        ASSERT_GE(pieces.size(), 2u);
        EXPECT_EQ(pieces.back(), "end\r") << lead;
        std::string joined;
        for (const std::string& piece : pieces) {
            joined += piece;
        }
        EXPECT_EQ(joined.size(), bytes.size() - 1) << lead;
        EXPECT_EQ(joined.find("\r\n"), std::string::npos);
    }
}

TEST(TextLines, RewindStartsAgain) {
    std::FILE* file = file_with("one\ntwo\n");
    TextLines lines(file);
    std::string_view piece;
    ASSERT_TRUE(lines.next(piece));
    ASSERT_TRUE(lines.next(piece));
    EXPECT_FALSE(lines.next(piece));
    ASSERT_TRUE(lines.rewind());
    ASSERT_TRUE(lines.next(piece));
    EXPECT_EQ(piece, "one\n");
    std::fclose(file);
}

}  // namespace
}  // namespace kon2x::test
