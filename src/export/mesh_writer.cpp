// The DirectX text mesh writer.
#include "export/mesh_writer.hpp"

namespace kon2x {

void write_mesh(const ConstructionModel& /*model*/, OutputBuffer& /*out*/, const char* /*mesh_name*/) {
}

}  // namespace kon2x
