// Reads the text form of a construction file ("KON" files) into a model.
#pragma once

#include <cstdio>

#include "model/construction_model.hpp"

namespace kon2x {

// Reads the whole text construction file from `file` (opened in binary mode
// and positioned at its start; text mode is emulated) into `model`, after
// resetting its points, faces and instances. Returns 1 when the file was read
// in full, 0 after an error that it has reported through report_and_wait.
int read_text(ConstructionModel& model, std::FILE* file);

}  // namespace kon2x
