// Tests of material numbering and material equality.
#include "export/writers/material_table.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace kon2x {
namespace {

PointRecord point(int r, int g, int b, int texture = 0, std::vector<ExtraEntry> extras = {}) {
    PointRecord p;
    p.red = static_cast<std::uint8_t>(r);
    p.green = static_cast<std::uint8_t>(g);
    p.blue = static_cast<std::uint8_t>(b);
    p.texture = texture;
    for (const ExtraEntry& e : extras) {
        p.add_extra(e);
    }
    return p;
}

TEST(MaterialTable, NumbersKeysInOrderOfFirstOccurrence) {
    MaterialTable table;
    const int colours[] = {1, 2, 1, 3};
    std::vector<int> numbers;
    for (int c : colours) {
        numbers.push_back(table.find_or_add(key_from_point(point(c, c, c))));
    }
    EXPECT_EQ(numbers, (std::vector<int>{0, 1, 0, 2}));
    EXPECT_EQ(table.find_or_add(key_from_point(point(1, 1, 1))), 0);
    EXPECT_EQ(table.count(), 3);
    table.release();
    EXPECT_EQ(table.count(), 0);
}

TEST(MaterialTable, EqualityRules) {
    PointRecord moved = point(9, 8, 7, 5);
    moved.x = 100;
    moved.u = 0.5f;
    moved.marker = kExtrasMarker;
    moved.material_vertex = 1;
    const struct {
        PointRecord a, b;
        bool same;
    } rows[] = {
        {point(9, 8, 7, 5), moved, true},
        {point(1, 2, 3, 0, {{4, 5, 6, 1}}), point(1, 2, 3, 0, {{4, 5, 6, 2}}), true},
        {point(1, 2, 3), point(1, 2, 3, 0, {{0, 0, 0, 0}}), false},
        {point(1, 2, 3, 0, {{1, 1, 1, 0}, {2, 2, 2, 0}}), point(1, 2, 3, 0, {{2, 2, 2, 0}, {1, 1, 1, 0}}),
         false},
        {point(1, 2, 3, 0), point(1, 2, 3, 5), false},
        {point(1, 2, 3), point(1, 2, 4), false},
        {point(1, 2, 3, 0, {{1, 1, 1, 0}}), point(1, 2, 3, 0, {{1, 1, 2, 0}}), false},
    };
    for (const auto& row : rows) {
        MaterialTable table;
        const int a = table.find_or_add(key_from_point(row.a));
        const int b = table.find_or_add(key_from_point(row.b));
        EXPECT_EQ(a == b, row.same);
        EXPECT_EQ(same_material(key_from_point(row.a), key_from_point(row.b)), row.same);
    }
}

TEST(MaterialTable, KeepsItsOwnCopyOfTheExtras) {
    MaterialTable table;
    MaterialKey key = key_from_point(point(1, 1, 1, 0, {{7, 7, 7, 7}}));
    table.find_or_add(key);
    key.extras[0].red = 99;
    EXPECT_EQ(table.entries()[0].extras[0].red, 7);
}

TEST(MaterialTable, ManyDistinctKeysStayDistinct) {
    MaterialTable table;
    for (int i = 0; i < 32767; ++i) {
        ASSERT_EQ(table.find_or_add(key_from_point(point(i % 256, i / 256, 0, i % 3))), i);
    }
    for (int i = 0; i < 32767; i += 97) {
        EXPECT_EQ(table.find_or_add(key_from_point(point(i % 256, i / 256, 0, i % 3))), i);
    }
    EXPECT_EQ(table.count(), 32767);
}

}  // namespace
}  // namespace kon2x
