// Writes a loaded construction model as the Mesh object of a DirectX text file.
#pragma once

#include "export/output_buffer.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

// Writes the Mesh object of `model` (read only) after the header line that
// the caller wrote. A null or empty `mesh_name` means "Main_Mesh". The
// vertex and face lines are formatted on `threads` threads (0: as many as the
// hardware has), always giving the same bytes. Reports nothing: write errors
// show in `out.ok()`, and writing stops soon after one.
void write_mesh(const ConstructionModel& model, OutputBuffer& out, const char* mesh_name,
                unsigned threads = 0);

}  // namespace kon2x
