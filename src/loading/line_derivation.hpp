// Derives the three line lists of a model read from a text file from its faces.
#pragma once

#include "model/construction_model.hpp"

namespace kon2x {

// Replaces the model's dimension lines (its two-point faces), lines (edges
// that one face has) and dashed lines (edges shared by several faces). Edges
// keep the order and orientation in which they were first met. Each list
// holds every line derived; its count stops at 32767, the limit of a count,
// and the model is marked as holding derived lists (for the drawing).
void derive_lines(ConstructionModel& model);

}  // namespace kon2x
