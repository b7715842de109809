// Decodes the archive's element section: a flat stream of index pairs grouped
// by element kind, with marker pairs between the groups.
#pragma once

#include <cstdint>

#include "loading/archive_input.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

// Reads `pair_count` (at least 1) index pairs with the section's class tag as
// separator, checks the group structure, builds the faces, tests every index
// against the points already read and marks the material vertices. Returns
// true, or false with the reason kept in `in` for the archive reader's report.
bool read_face_index_stream(ConstructionModel& model, ArchiveInput& in, std::uint16_t pair_count,
                            std::uint16_t class_tag);

// The number of archive indices that the faces used: 6, plus every face's
// vertex count, plus 1 for each face of more than four points.
std::int32_t face_stream_slot_count(const ConstructionModel& model);

}  // namespace kon2x
