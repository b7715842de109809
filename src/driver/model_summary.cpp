// The counts of a construction file as one line of JSON.
#include "driver/model_summary.hpp"

#include <cstdio>

#include "console/console.hpp"
#include "loading/loader.hpp"

namespace kon2x {

int print_model_summary(int argc, const char* const* argv) {
    if (argc != 2) {
        return 1;
    }
    console() = ConsoleStreams{nullptr, nullptr, nullptr};
    ConstructionModel model;
    load(model, argv[1]);
    if (model.loaded == 0) {
        return 1;
    }
    int by_size[6] = {};  // faces of 1, 2, 3, 4 and more points
    for (const FaceRecord& face : model.valid_faces()) {
        ++by_size[face.vertex_count < 5 ? face.vertex_count : 5];
    }
    std::printf(
        "{\"kind\":%d,\"points\":%d,\"single_points\":%d,\"two_point_elements\":%d,\"triangles\":%d,"
        "\"quads\":%d,\"polygons\":%d,\"instances\":%d}\n",
        static_cast<int>(model.kind), static_cast<int>(model.valid_points().size()), by_size[1], by_size[2],
        by_size[3], by_size[4], by_size[5], static_cast<int>(model.valid_instances().size()));
    return 0;
}

}  // namespace kon2x
