// Tests of the binary archive reader: sections, class tags, separator modes,
// extras, every failure with its exact console bytes, and truncation.
#include "loading/archive_reader.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "support/archive_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

std::vector<ArchivePoint> points(int count) {
    std::vector<ArchivePoint> list;
    for (int i = 0; i < count; ++i) {
        list.push_back(archive_point(i, 2 * i, 3 * i, i, i, i));
    }
    return list;
}

InstanceRecord instance_at(int x) {
    InstanceRecord instance;
    instance.x = x;
    return instance;
}

LineRecord line(int n) {
    return LineRecord{n, n + 1, n + 2, n + 3, n + 0.5};
}

// Points, all face kinds, two instances and all three line lists.
ArchiveContents full_contents() {
    ArchiveContents contents;
    contents.points = points(8);
    contents.faces({{3}, {{0, 1}}, {{0, 1, 2}, {2, 1, 3}}, {{4, 5, 6, 7}}, {{0, 1, 2, 3, 4}, {5, 6, 7}}, {}});
    contents.instances = {instance_at(10), instance_at(20)};
    contents.dashed_lines = {line(1)};
    contents.lines = {line(2), line(3)};
    contents.dimension_lines = {line(4), line(5), line(6)};
    return contents;
}

uint16_t word_at_offset(const Archive& archive, const std::string& item) {
    const std::size_t at = archive.at.at(item);
    return static_cast<std::uint16_t>(static_cast<unsigned char>(archive.bytes[at]) |
                                      (static_cast<unsigned char>(archive.bytes[at + 1]) << 8));
}

TEST(ArchiveReader, ReadsTheSmallestArchive) {
    EXPECT_EQ(build_archive(ArchiveContents{}).bytes, smallest_archive());
    const Loaded loaded = load_captured(smallest_archive());
    EXPECT_EQ(loaded.console, "");
    EXPECT_EQ(loaded.model.loaded, 1);
    EXPECT_EQ(loaded.model.kind, 0);
    EXPECT_EQ(loaded.model.point_count, 0);
    EXPECT_EQ(loaded.model.face_count, 0);
    EXPECT_EQ(loaded.model.instance_count, 0);
}

TEST(ArchiveReader, ReadsEverySection) {
    ArchiveContents contents = full_contents();
    contents.points[2].u = 0.25f;
    contents.points[2].v = 0.75f;
    contents.points[2].texture = 7;
    contents.points[2].aux = -5;
    contents.points[3].marker = kExtrasMarker;  // kind 0: no extras follow
    contents.instances[1].rot_y = 30;
    contents.instances[1].scale_z = -2;
    const Loaded loaded = load_captured(build_archive(contents).bytes);
    ASSERT_EQ(loaded.console, "");
    const ConstructionModel& m = loaded.model;
    ASSERT_EQ(m.loaded, 1);
    ASSERT_EQ(m.point_count, 8);
    EXPECT_EQ(m.points.size(), 11u);
    EXPECT_EQ((std::vector<int>{m.points[5].x, m.points[5].y, m.points[5].z, m.points[5].red}),
              (std::vector<int>{5, 10, 15, 5}));
    EXPECT_EQ(m.points[2].u, 0.25f);
    EXPECT_EQ(m.points[2].v, 0.75f);
    EXPECT_EQ(m.points[2].texture, 7);
    EXPECT_EQ(m.points[2].aux, -5);
    EXPECT_EQ(m.points[3].marker, kExtrasMarker);
    EXPECT_EQ(m.points[3].extra_count, 0);

    ASSERT_EQ(m.face_count, 7);
    const std::vector<int> sizes = {1, 2, 3, 3, 4, 5, 3};
    for (std::size_t f = 0; f < sizes.size(); ++f) {
        EXPECT_EQ(m.faces[f].vertex_count, sizes[f]) << f;
    }
    EXPECT_EQ(m.faces[5].index(4), 4);  // from the overflow storage
    EXPECT_EQ(m.faces[5].overflow_indices.size(), 1u);
    EXPECT_EQ(m.faces[6].index(2), 7);
    // Material vertices: single 3, pair 0, triangles 2 and 3, quad 7, pentagon 0, triangle 7.
    std::vector<int> marked;
    for (int k = 0; k < 8; ++k) {
        if (m.points[static_cast<std::size_t>(k)].material_vertex == 1) {
            marked.push_back(k);
        }
    }
    EXPECT_EQ(marked, (std::vector<int>{0, 2, 3, 7}));

    ASSERT_EQ(m.instance_count, 2);
    EXPECT_EQ(m.instances[1].x, 20);
    EXPECT_EQ(m.instances[1].rot_y, 30.0);
    EXPECT_EQ(m.instances[1].scale_z, -2.0f);
    EXPECT_EQ(m.dashed_line_count, 1);
    EXPECT_EQ(m.line_count, 2);
    EXPECT_EQ(m.dimension_line_count, 3);
    EXPECT_EQ(m.dimension_lines[2].x1, 8);
    EXPECT_EQ(m.dimension_lines[2].length, 6.5);
}

TEST(ArchiveReader, ClassTagsOfTheWorkedExample) {
    ArchiveContents contents;
    contents.points = points(8);
    FaceGroups groups;
    groups.singles = {0, 1, 2, 3};
    for (int t = 0; t < 10; ++t) {
        groups.triangles.push_back({t % 8, (t + 1) % 8, (t + 2) % 8});
    }
    contents.faces(groups);
    ASSERT_EQ(contents.pairs.size(), 40u);
    ASSERT_EQ(contents.slot_count, 40);
    contents.instances = {instance_at(0), instance_at(1)};
    contents.lines = {line(0), line(1), line(2)};
    const Archive archive = build_archive(contents);
    EXPECT_EQ(word_at_offset(archive, "points.sep1"), 0x8001);
    EXPECT_EQ(word_at_offset(archive, "pairs.sep1"), 0x800A);
    EXPECT_EQ(word_at_offset(archive, "instances.sep1"), 0x8033);
    EXPECT_EQ(word_at_offset(archive, "lines.sep1"), 0x8036);
    const Loaded loaded = load_captured(archive.bytes);
    EXPECT_EQ(loaded.console, "");
    EXPECT_EQ(loaded.model.loaded, 1);
}

TEST(ArchiveReader, ClassTagArithmetic) {
    const struct {
        const char* name;
        ArchiveContents contents;
    } rows[] = {
        {"negative point count",
         [] {
             ArchiveContents s;
             s.point_count_word = 0xFFFF;  // -1: header, no records, tag 0x8001
             s.instances = {instance_at(0), instance_at(1)};
             s.lines = {line(0), line(1)};
             return s;
         }()},
        {"small polygons in the polygon group",
         [] {
             ArchiveContents s;
             s.points = points(5);
             s.faces({{}, {}, {}, {}, {{0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 3, 4}}, {}});
             s.instances = {instance_at(0), instance_at(1)};
             return s;
         }()},
        {"trailing pairs",
         [] {
             ArchiveContents s;
             s.points = points(3);
             s.faces({{}, {}, {{0, 1, 2}}, {}, {}, {{5, 0}, {6, 7}, {0, 1}}});
             s.instances = {instance_at(0), instance_at(1)};
             s.dashed_lines = {line(0), line(1)};
             return s;
         }()},
        {"wrap-around",
         [] {
             ArchiveContents s;
             s.points = points(32767);  // the next tag is 0x8002 + 32767 = 0x0001
             s.instances = {instance_at(0), instance_at(1), instance_at(2)};
             return s;
         }()},
    };
    for (const auto& row : rows) {
        const Archive archive = build_archive(row.contents);
        const Loaded loaded = load_captured(archive.bytes);
        EXPECT_EQ(loaded.console, "") << row.name;
        EXPECT_EQ(loaded.model.loaded, 1) << row.name;
    }
    EXPECT_EQ(word_at_offset(build_archive(rows[0].contents), "instances.sep1"), 0x8001);
    EXPECT_EQ(word_at_offset(build_archive(rows[3].contents), "instances.sep1"), 0x0001);
    EXPECT_EQ(load_captured(build_archive(rows[0].contents).bytes).model.point_count, -1);
    // Slot counts: one less than the pairs for each polygon of four or fewer points.
    EXPECT_EQ(rows[1].contents.pairs.size(), 21u);
    EXPECT_EQ(rows[1].contents.slot_count, 19);
    EXPECT_EQ(load_captured(build_archive(rows[1].contents).bytes).model.faces[0].vertex_count, 3);
}

TEST(ArchiveReader, InstanceSeparatorModes) {
    const std::uint16_t tag = 0x8001;  // no points, no faces
    const struct {
        const char* name;
        std::vector<std::vector<std::uint16_t>> separators;
        std::string console;
    } rows[] = {
        {"word separators", {{tag}, {tag}, {tag}}, ""},
        {"first long, then long", {{0x7FFF, 0xDD7D, 0x1234}, {0x0000, 0x5555, 0x6666}, {tag, 1, 2}}, ""},
        {"word, then long", {{tag}, {0x7FFF, 0xDD7D, 0}, {0x7FFF, 0xDD7D, 0}}, ""},
        {"long with a wrong second word",
         {{0x7FFF, 0xDD7C, 0}, {tag}, {tag}},
         "Falscher Trenner2: ffff8001!\nReturn->"},
        {"wrong word", {{tag}, {0x8003}, {tag}}, "Falscher Trenner2: ffff8001!\nReturn->"},
        {"long again must carry its second word",
         {{0x7FFF, 0xDD7D, 0}, {0x7FFF, 0, 0}, {tag}},
         "Falscher Trenner2: ffff8001!\nReturn->"},
    };
    for (const auto& row : rows) {
        ArchiveContents contents;
        contents.instances = {instance_at(1), instance_at(2), instance_at(3), instance_at(4)};
        contents.instance_separators = row.separators;
        const Loaded loaded = load_captured(build_archive(contents).bytes);
        const std::string tail = row.console.empty() ? "" : "EOF not found!Return->";
        EXPECT_EQ(loaded.console, row.console + tail) << row.name;
        if (row.console.empty()) {
            EXPECT_EQ(loaded.model.instances[3].x, 4) << row.name;
        }
    }
}

TEST(ArchiveReader, KindOnePointsCarryTheirExtras) {
    ArchiveContents contents;
    contents.version = 5760;
    contents.points = points(2);
    contents.points[0].marker = kExtrasMarker;
    contents.points[0].extras = {{10, 20, 30, 9}, {1, 2, 3, 8}};
    contents.points[1].marker = kExtrasMarker;
    contents.points[1].extras = {{4, 5, 6, 7}};
    contents.points[1].fifth_byte = 5;
    const Loaded loaded = load_captured(build_archive(contents).bytes);
    EXPECT_EQ(loaded.console, "I: 5 S: 0\n");
    ASSERT_EQ(loaded.model.loaded, 1);
    EXPECT_EQ(loaded.model.kind, 1);
    const PointRecord& p = loaded.model.points[0];
    ASSERT_EQ(p.extra_count, 2);
    EXPECT_EQ((std::vector<int>{p.extras[0].key, p.extras[0].red, p.extras[0].green, p.extras[0].blue}),
              (std::vector<int>{9, 10, 20, 30}));
    EXPECT_EQ(loaded.model.points[1].extras[0].key, 7);
}

TEST(ArchiveReader, AHugeExtraCountEndsAtTheEndOfTheFile) {
    ArchiveContents contents;
    contents.version = 5760;
    contents.points = points(1);
    contents.points[0].marker = kExtrasMarker;
    Archive archive = build_archive(contents);
    // The count follows the 48-byte record.
    const std::size_t count_at = archive.at.at("points.0") + 48;
    archive.bytes.replace(count_at, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    const Loaded loaded = load_captured(archive.bytes);
    // The rest of the file is taken for entries (their non-zero fifth bytes show) until it ends.
    const std::string end = "Unerwartetes Dateiende in A!\nReturn->";
    ASSERT_GE(loaded.console.size(), end.size());
    EXPECT_EQ(loaded.console.substr(loaded.console.size() - end.size()), end);
    EXPECT_EQ(loaded.model.loaded, 0);
    EXPECT_LT(loaded.model.points[0].extra_count, 10);
}

// The failure tables: each row patches one item of a valid archive.
TEST(ArchiveReader, ReportsEveryFailureWithItsConsoleBytes) {
    const std::string eof = "EOF not found!Return->";
    const struct {
        const char* item;
        std::uint16_t word;
        std::string console;
    } rows[] = {
        {"points.tag", 0xFFFE, "I: -2 S: -1\nFormatfehler 7 in A!\nReturn->"},
        {"points.schema", 1, "I: 1 S: 0\nFormatfehler 7 in A!\nReturn->"},
        {"points.name", 9, "Formatfehler 8 in A!\nReturn->"},
        {"points.sep1", 0x8002, "I: -32766 S: -32767\nFormatfehler 12!\nReturn->"},
        {"pairs.tag", 0, "I: 0 S: -1\nFormatfehler 13 in A!\nReturn->"},
        {"pairs.name", 7, "Formatfehler 14 in A!\nReturn->"},
        {"pairs.sep1", 0x8001, "I: -32767 S: -32758\nFalscher Trenner1: ffff800a!\nReturn->"},
        {"instances.tag", 0x8001, "I: -32767 S: -1\nFormatfehler 17 in A!\nReturn->"},
        {"instances.name", 8, "Formatfehler 18 in A!\nReturn->"},
        {"instances.sep1", 0x8000, "Falscher Trenner2: ffff8027!\nReturn->"},
        {"dashed.schema", 2, "I: 2 S: 0\nFormatfehler 17 in A!\nReturn->"},
        {"lines.name", 9, "Formatfehler 18 in A!\nReturn->"},
        {"lines.sep1", 0x1234, "I: 4660 S: -32724\nFormatfehler 20 in A!\nReturn->"},
        {"dimension.sep1", 0, "I: 0 S: -32721\nFormatfehler 20 in A!\nReturn->"},
        {"zero", 1, "Formatfehler Juhu in A!\nReturn->"},
    };
    for (const auto& row : rows) {
        Archive archive = build_archive(full_contents());
        archive.put_word(row.item, row.word);
        const Loaded loaded = load_captured(archive.bytes);
        EXPECT_EQ(loaded.console, row.console + eof) << row.item;
        EXPECT_EQ(loaded.model.loaded, 0) << row.item;
    }
}

TEST(ArchiveReader, ReportsHeaderFailures) {
    Archive wrong_version = build_archive(full_contents());
    wrong_version.bytes.replace(0, 4, std::string("\x34\x12\x00\x00", 4));
    EXPECT_EQ(load_captured(wrong_version.bytes).console,
              "Falsche Versionskennung: 1234!\nReturn->EOF not found!Return->");

    ArchiveContents mismatched = full_contents();
    mismatched.version = 5760;
    mismatched.check = 2025;
    const Loaded loaded = load_captured(build_archive(mismatched).bytes);
    EXPECT_EQ(loaded.console, "I: 2025 S: 4000\nFormatfehler 1 in A!\nReturn->EOF not found!Return->");
    EXPECT_EQ(loaded.model.kind, 1);

    // An instance count of 0 without its class header.
    std::string no_header = smallest_archive();
    no_header.erase(14, 15);
    EXPECT_EQ(load_captured(no_header).console,
              "I: 0 S: -1\nFormatfehler 17 in A!\nReturn->EOF not found!Return->");

    ArchiveContents too_many;
    too_many.instances.assign(1, InstanceRecord{});
    Archive archive = build_archive(too_many);
    archive.put_word("instances.count", 32768);
    EXPECT_EQ(load_captured(archive.bytes).console,
              "Zu viele Instanzen in A!\nReturn->EOF not found!Return->");
}

TEST(ArchiveReader, EndOfFileAndTrailingBytes) {
    EXPECT_EQ(load_captured("").console, "Unerwartetes Dateiende in A!\nReturn->");
    EXPECT_EQ(load_captured("\x40\x0B").console, "Unerwartetes Dateiende in A!\nReturn->");
    const Loaded trailing = load_captured(smallest_archive() + "x");
    EXPECT_EQ(trailing.console, "EOF not found!Return->");
    EXPECT_EQ(trailing.model.loaded, 1);
}

TEST(ArchiveReader, EveryPrefixIsRefusedWithAMessage) {
    for (const std::string& bytes : {build_archive(full_contents()).bytes, smallest_archive()}) {
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            // Each prefix in its own buffer and file, so that an over-read shows.
            const Loaded loaded = load_captured(bytes.substr(0, length));
            ASSERT_EQ(loaded.model.loaded, 0) << length;
            ASSERT_EQ(loaded.console, "Unerwartetes Dateiende in A!\nReturn->") << length;
        }
    }
}

}  // namespace
}  // namespace kon2x::test
