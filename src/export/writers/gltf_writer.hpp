// Writes the mesh plan of a loaded model as binary glTF 2.0 (a .glb file).
#pragma once

#include <array>

#include "export/output/output_buffer.hpp"
#include "export/writers/mesh_plan.hpp"

namespace kon2x {

// An instance as a glTF node, in glTF's axes: a point (x, y, z) of the model
// is (x, -y, -z) there, the picture the .x writer's (x, -y, z) gives in
// DirectX's left-handed axes.
struct NodePlacement {
    std::array<float, 3> translation{};
    std::array<float, 4> rotation{0, 0, 0, 1};  // unit quaternion x, y, z, w
    std::array<float, 3> scale{1, 1, 1};
};

// Why `instance` cannot be placed ("a scale factor is not finite", "an
// angle is infinite"), or null when it can.
const char* placement_problem(const InstanceRecord& instance);

// The node of `instance`; false when placement_problem names a problem.
bool node_placement(const InstanceRecord& instance, NodePlacement& node);

// Writes the whole GLB file of `plan` (of a model of kind 0): every point
// once, one node per instance that can be placed, each drawn face as
// triangles of its material's primitive, the plan's materials. Returns the
// number of instances that could not be placed. Write errors show in `out.ok()`.
int write_gltf(const MeshPlan& plan, OutputBuffer& out);

}  // namespace kon2x
