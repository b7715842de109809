// Writes a construction model in the text form, for the benchmarks.
#pragma once

#include <string>

#include "model/construction_model.hpp"

namespace kon2x::bench {

// The model as a text construction file that reads back into the same model.
std::string model_as_text(const ConstructionModel& model);

}  // namespace kon2x::bench
