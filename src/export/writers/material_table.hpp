// The distinct materials of a model, numbered in the order of first occurrence.
#pragma once

#include <cstdint>
#include <vector>

#include "model/construction_model.hpp"

namespace kon2x {

struct MaterialKey {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::int32_t texture = 0;
    std::vector<ExtraEntry> extras;  // compared by colour only, position by position
};

// The key of a point's material: its colour, texture number and a copy of its extras.
MaterialKey key_from_point(const PointRecord& point);

// Equal colour, texture and extra colours; the extras' key bytes do not count.
bool same_material(const MaterialKey& a, const MaterialKey& b);

// Keys without duplicates, numbered from 0 in the order they were added.
// Lookups go through a hash index, so adding n keys costs O(n).
class MaterialTable {
public:
    // The number of the entry equal to `key`, appending a copy when there is none.
    std::int32_t find_or_add(const MaterialKey& key);

    std::int32_t count() const { return static_cast<std::int32_t>(entries_.size()); }
    // The entries in index order.
    const std::vector<MaterialKey>& entries() const { return entries_; }

    // Frees every entry; the table is then empty.
    void release();

private:
    void grow_index();

    std::vector<MaterialKey> entries_;
    std::vector<std::uint64_t> hashes_;  // of each entry
    std::vector<std::int32_t> slots_;    // open addressing: entry number + 1, 0 = free
};

}  // namespace kon2x
