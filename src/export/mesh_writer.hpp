// Writes a loaded construction model as the Mesh object of a DirectX text file.
#pragma once

#include "export/output_buffer.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

// Writes the Mesh object of `model` (read only) after the header line that
// the caller wrote. A null or empty `mesh_name` means "Main_Mesh". Reports
// nothing: write errors show in `out.ok()`.
void write_mesh(const ConstructionModel& model, OutputBuffer& out, const char* mesh_name);

}  // namespace kon2x
