// Derives the three line lists of a model read from a text file from its faces.
#pragma once

#include "model/construction_model.hpp"

namespace kon2x {

// Replaces the model's dimension lines (its two-point faces), lines (edges
// that one face has) and dashed lines (edges shared by several faces). Edges
// keep the order and orientation in which they were first met. Each list
// keeps at most 32767 entries, the limit of its count.
void derive_lines(ConstructionModel& model);

}  // namespace kon2x
