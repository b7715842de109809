// Tests of format detection and of the loader's own messages.
#include "loading/loader.hpp"

#include <gtest/gtest.h>

#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

TEST(Loader, ReadsKonInAnyCaseAsText) {
    TempDir dir;
    for (const char* head : {"KON", "kon", "Kon", "kOn"}) {
        const std::string path =
            dir.write("m.kon", std::string(head) + ";KRUV\nX\n0;0;0\n1;0;0\n2;2;0\nFlaechen\n0;1;2\nScalX\n");
        ConstructionModel model;
        ConsoleCapture capture;
        load(model, path);
        EXPECT_EQ(model.loaded, 1) << head;
        EXPECT_EQ(model.source_name, path);
        EXPECT_EQ(model.line_count, 3);  // derived after the text read
        EXPECT_EQ(capture.out(), "");
    }
}

TEST(Loader, ReportsAFileThatCannotBeOpened) {
    TempDir dir;
    ConstructionModel model;
    ConsoleCapture capture;
    load(model, (dir.path() / "none.kon").string());
    EXPECT_EQ(model.loaded, 0);
    EXPECT_EQ(capture.out(), "Can't open " + (dir.path() / "none.kon").string() + "!\nReturn->");
}

TEST(Loader, HandsEverythingElseToTheArchiveReader) {
    TempDir dir;
    for (const std::string& bytes : {std::string(), std::string("KO"), std::string("KOX;KRUV\n")}) {
        ConstructionModel model;
        ConsoleCapture capture;
        load(model, dir.write("a.bin", bytes));
        EXPECT_EQ(model.loaded, 0);
        EXPECT_NE(capture.out(), "");
        EXPECT_EQ(capture.out().find("Falsches Kon-Format"), std::string::npos);
    }
}

TEST(Loader, TextReaderFailureLeavesTheModelUnloadedWithoutLines) {
    TempDir dir;
    ConstructionModel model;
    ConsoleCapture capture;
    load(model, dir.write("bad.kon", "KON;KRUV\nX\n0;0;0\n1;0;0\n2;2;0\nFlaechen\n0;1;2\n"));
    EXPECT_EQ(model.loaded, 0);
    EXPECT_EQ(model.line_count, 0);
    EXPECT_EQ(capture.out(), "Instanzen nicht gefunden!\nReturn->");
}

}  // namespace
}  // namespace kon2x::test
