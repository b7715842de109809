// The material table: first-occurrence numbering with a hash index.
#include "export/writers/material_table.hpp"

namespace kon2x {

namespace {

std::uint64_t mix(std::uint64_t hash, std::uint64_t value) {
    hash ^= value + 0x9E3779B97F4A7C15u + (hash << 6) + (hash >> 2);
    return hash;
}

std::uint64_t hash_of(const MaterialKey& key) {
    std::uint64_t hash = (std::uint64_t{key.red} << 16) | (std::uint64_t{key.green} << 8) | key.blue;
    hash = mix(hash, static_cast<std::uint32_t>(key.texture));
    hash = mix(hash, key.extras.size());
    for (const ExtraEntry& extra : key.extras) {
        hash = mix(hash, (std::uint64_t{extra.red} << 16) | (std::uint64_t{extra.green} << 8) | extra.blue);
    }
    // Final avalanche so that the low bits pick the slot well.
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDu;
    hash ^= hash >> 33;
    return hash;
}

}  // namespace

MaterialKey key_from_point(const PointRecord& point) {
    MaterialKey key;
    key.red = point.red;
    key.green = point.green;
    key.blue = point.blue;
    key.texture = point.texture;
    key.extras = point.extras;
    return key;
}

bool same_material(const MaterialKey& a, const MaterialKey& b) {
    if (a.red != b.red || a.green != b.green || a.blue != b.blue || a.texture != b.texture ||
        a.extras.size() != b.extras.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.extras.size(); ++i) {
        const ExtraEntry& x = a.extras[i];
        const ExtraEntry& y = b.extras[i];
        if (x.red != y.red || x.green != y.green || x.blue != y.blue) {
            return false;
        }
    }
    return true;
}

std::int32_t MaterialTable::find_or_add(const MaterialKey& key) {
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        grow_index();
    }
    const std::uint64_t hash = hash_of(key);
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    while (slots_[slot] != 0) {
        const auto index = static_cast<std::size_t>(slots_[slot] - 1);
        if (hashes_[index] == hash && same_material(entries_[index], key)) {
            return static_cast<std::int32_t>(index);
        }
        slot = (slot + 1) & mask;
    }
    entries_.push_back(key);
    hashes_.push_back(hash);
    slots_[slot] = static_cast<std::int32_t>(entries_.size());
    return static_cast<std::int32_t>(entries_.size() - 1);
}

void MaterialTable::grow_index() {
    std::vector<std::int32_t> slots(slots_.empty() ? 64 : slots_.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        std::size_t slot = static_cast<std::size_t>(hashes_[index]) & mask;
        while (slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots[slot] = static_cast<std::int32_t>(index + 1);
    }
    slots_.swap(slots);
}

void MaterialTable::release() {
    std::vector<MaterialKey>().swap(entries_);
    std::vector<std::uint64_t>().swap(hashes_);
    std::vector<std::int32_t>().swap(slots_);
}

}  // namespace kon2x
