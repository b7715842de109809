// Reads the binary object archive form of a construction file into a model.
#pragma once

#include <cstdio>

#include "model/construction_model.hpp"

namespace kon2x {

// Reads a binary construction archive from `file` (binary mode, positioned at
// its first byte) into the empty `model`. Sets `loaded` to 1 on success; on a
// format error it reports through report_and_wait and leaves `loaded` at 0.
void read_archive(ConstructionModel& model, std::FILE* file);

}  // namespace kon2x
