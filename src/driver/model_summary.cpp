// The counts of a construction file as one line of JSON.
#include "driver/model_summary.hpp"

#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "driver/paths.hpp"
#include "export/writers/gltf_writer.hpp"
#include "loading/loader.hpp"

namespace kon2x {

namespace {

// `text` as a JSON string: quotes, backslashes and control characters escaped.
std::string json_string(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            json += format_message("\\u%04x", static_cast<unsigned>(c));
        } else {
            json += c;
        }
    }
    return json + '"';
}

// The numbers of the instances that kon2gltf cannot place, as a JSON array.
std::string unplaced_instances(const ConstructionModel& model) {
    std::string json = "[";
    int number = 0;
    for (const InstanceRecord& instance : model.valid_instances()) {
        NodePlacement node;
        if (!node_placement(instance, node)) {
            json += json.size() > 1 ? "," : "";
            json += std::to_string(number);
        }
        ++number;
    }
    return json + ']';
}

}  // namespace

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
        "\"quads\":%d,\"polygons\":%d,\"instances\":%d,\"unplaced\":%s,\"x_name\":%s}\n",
        static_cast<int>(model.kind), static_cast<int>(model.valid_points().size()), by_size[1], by_size[2],
        by_size[3], by_size[4], by_size[5], static_cast<int>(model.valid_instances().size()),
        unplaced_instances(model).c_str(), json_string(file_name_of(output_name_for(argv[1], ".x"))).c_str());
    return 0;
}

}  // namespace kon2x
