// Writes the mesh plan of a loaded model as the Mesh object of a DirectX text file.
#pragma once

#include "export/output/output_buffer.hpp"
#include "export/writers/mesh_plan.hpp"

namespace kon2x {

// Writes the Mesh object of `plan` after the header line that the caller
// wrote; nothing when the plan draws no face. A null or empty `mesh_name`
// means "Main_Mesh". The vertex and face lines are formatted on `threads`
// threads (0: as many as the hardware has), always giving the same bytes.
// Reports nothing: write errors show in `out.ok()`, and writing stops soon
// after one.
void write_mesh(const MeshPlan& plan, OutputBuffer& out, const char* mesh_name, unsigned threads = 0);

}  // namespace kon2x
