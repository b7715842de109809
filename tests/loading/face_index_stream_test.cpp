// Tests of the face-index stream: group structure, messages, faces and marks.
#include "loading/face_index_stream.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/archive_builder.hpp"
#include "support/test_support.hpp"

namespace kon2x::test {
namespace {

// Reads an archive of `point_count` points whose element section holds `pairs`.
Loaded decode(const IndexPairs& pairs, int point_count = 8, int slot_count = 0) {
    ArchiveContents contents;
    for (int i = 0; i < point_count; ++i) {
        ArchivePoint p;
        p.x = i;
        contents.points.push_back(p);
    }
    contents.pairs = pairs;
    contents.slot_count = slot_count;
    return load_captured(build_archive(contents).bytes);
}

const std::string kReturn = "Return->EOF not found!Return->";

TEST(FaceIndexStream, ReportsEachBrokenGroup) {
    const struct {
        IndexPairs pairs;
        std::string message;
    } rows[] = {
        {{{1, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 1}, {9, 1}}, "Vert(0,1) nicht gefunden!\n"},
        {{{0, 1}, {0, 0}, {4, 1}, {7, 1}, {9, 1}, {9, 1}}, "Vert(1,1) nicht gefunden!\n"},
        {{{0, 1}, {0, 0}, {1, 2}, {4, 1}, {7, 1}, {9, 1}, {9, 1}}, "Vert(1,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {0, 0}, {4, 1}, {7, 1}, {9, 1}, {9, 1}}, "2-Vert nicht OK!\n"},
        {{{0, 1}, {1, 1}, {7, 1}, {9, 1}, {9, 1}}, "Vert(4,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {0, 0}, {1, 0}, {7, 1}, {9, 1}, {9, 1}}, "3-Vert nicht OK!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {9, 1}, {9, 1}}, "Vert(7,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {0, 0}, {9, 1}, {9, 1}}, "4-Vert nicht OK!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 0}, {9, 0}, {9, 0}, {9, 0}}, "Vert(9,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 1}, {0, 0}, {1, 0}}, "Vert(9,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 1}, {0, 0}, {1, 0}, {2, 0}, {9, 1}},
         "Ende-Vert(9,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 1}}, "Ende-Vert(9,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {7, 1}, {9, 1}, {8, 1}}, "Ende-Vert(9,1) nicht gefunden!\n"},
        {{{0, 1}, {1, 1}, {4, 1}, {0, 0}, {1, 0}, {8, 0}, {7, 1}, {9, 1}, {9, 1}}, "Falscher Punkt: 0, 8!\n"},
        {{{0, 1}, {3, 0}, {1, 1}, {4, 1}, {0, 0}, {1, 0}, {40000, 0}, {7, 1}, {9, 1}, {9, 1}},
         "Falscher Punkt: 1, -25536!\n"},
    };
    for (const auto& row : rows) {
        const Loaded decoded = decode(row.pairs);
        EXPECT_EQ(decoded.console, row.message + kReturn) << row.message;
        EXPECT_EQ(decoded.model.loaded, 0);
    }
    // Without points any face fails.
    EXPECT_EQ(decode(pairs_of({{0}, {}, {}, {}, {}, {}}), 0).console, "Falscher Punkt: 0, 0!\n" + kReturn);
}

TEST(FaceIndexStream, RefusesMoreThan32767Faces) {
    FaceGroups groups;
    groups.singles.assign(32768, 1);
    const Loaded decoded = decode(pairs_of(groups), 8, slot_count_of(groups));
    EXPECT_EQ(decoded.console, "Anzahl Flaechen nicht OK!\n" + kReturn);
    EXPECT_EQ(decoded.model.face_count, 0);
}

TEST(FaceIndexStream, BuildsFacesInGroupOrderAndMarksMaterialVertices) {
    const struct {
        FaceGroups groups;
        std::vector<int> marked;
        int slots;
    } rows[] = {
        {{}, {}, 6},
        {{{}, {}, {{0, 1, 2}}, {}, {}, {}}, {2}, 9},
        {{{}, {}, {}, {}, {{0, 1, 2, 3, 4}}, {}}, {0}, 12},
        {{{}, {}, {}, {}, {{5, 6, 7}}, {}}, {7}, 9},
        {{{3}, {{4, 5}}, {}, {{0, 1, 2, 6}}, {}, {}}, {3, 4, 6}, 13},
        {{{}, {}, {{0, 1, 2}}, {}, {}, {{1, 2}, {3, 4}}}, {2}, 9},
    };
    for (const auto& row : rows) {
        const Loaded decoded = decode(pairs_of(row.groups), 8, row.slots);
        ASSERT_EQ(decoded.console, "");
        ASSERT_EQ(decoded.model.loaded, 1);
        std::vector<int> marked;
        for (int k = 0; k < 8; ++k) {
            if (decoded.model.points[static_cast<std::size_t>(k)].material_vertex != 0) {
                marked.push_back(k);
            }
        }
        EXPECT_EQ(marked, row.marked);
        EXPECT_EQ(face_stream_slot_count(decoded.model), row.slots);
        EXPECT_EQ(slot_count_of(row.groups), row.slots);
    }
}

TEST(FaceIndexStream, PentagonKeepsItsFifthIndexInOverflow) {
    const Loaded decoded =
        decode(pairs_of({{}, {}, {{1, 2, 3}}, {}, {{3, 4, 5, 6, 7}, {0, 1, 2}}, {}}), 8, 15);
    ASSERT_EQ(decoded.model.face_count, 3);
    const FaceRecord& pentagon = decoded.model.faces[1];
    EXPECT_EQ(pentagon.vertex_count, 5);
    EXPECT_EQ(pentagon.overflow_indices, (std::vector<std::int16_t>{7}));
    EXPECT_EQ(decoded.model.faces[2].vertex_count, 3);  // a small polygon after the triangles
    EXPECT_EQ(decoded.model.faces[2].index(2), 2);
}

}  // namespace
}  // namespace kon2x::test
