// The counts of a construction file as one line of JSON.
#include "driver/model_summary.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "driver/paths.hpp"
#include "export/output/drawing_text.hpp"
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

// A value as the file holds it, in its shortest exact decimal text, as a
// JSON string: JSON has no infinity or NaN, spelled here as the drawings
// spell them.
template <typename Real>
std::string value_text(Real value) {
    if (std::isnan(value)) {
        return "\"NaN\"";
    }
    if (std::isinf(value)) {
        return value < 0 ? "\"-inf\"" : "\"inf\"";
    }
    std::array<char, 48> buffer{};
    const char* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return joined("\"", std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())), "\"");
}

// One instance's values: its scale factors, angles in degrees, offset,
// whether it mirrors and, where kon2gltf cannot place it, why (`problem`).
std::string instance_values(const InstanceRecord& instance, const char* problem) {
    const bool mirrors = instance.scale_x * instance.scale_y * instance.scale_z < 0;
    return joined("{\"scale\":[", value_text(instance.scale_x), ",", value_text(instance.scale_y), ",",
                  value_text(instance.scale_z), "],\"angles\":[", value_text(instance.rot_x), ",",
                  value_text(instance.rot_y), ",", value_text(instance.rot_z), "],\"offset\":[",
                  integer_text(instance.x), ",", integer_text(instance.y), ",", integer_text(instance.z),
                  "],\"mirrors\":", mirrors ? "true" : "false",
                  problem == nullptr ? std::string() : joined(",\"problem\":", json_string(problem)), "}");
}

// The numbers of the instances that kon2gltf cannot place, and every
// instance's values, as two JSON arrays.
struct InstanceLists {
    std::string unplaced = "[";
    std::string values = "[";
};

InstanceLists instance_lists(const ConstructionModel& model) {
    InstanceLists lists;
    int number = 0;
    for (const InstanceRecord& instance : model.valid_instances()) {
        const char* const problem = placement_problem(instance);
        if (problem != nullptr) {
            lists.unplaced += joined(lists.unplaced.size() > 1 ? "," : "", integer_text(number));
        }
        lists.values += joined(number > 0 ? "," : "", instance_values(instance, problem));
        ++number;
    }
    lists.unplaced += ']';
    lists.values += ']';
    return lists;
}

// The elements' point numbers: the single points, the two-point elements'
// ends pair after pair, and each face of more points in its order.
std::string element_lists(const ConstructionModel& model) {
    std::string dots, lines, faces;
    for (const FaceRecord& face : model.valid_faces()) {
        std::string points;
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            points += joined(i > 0 ? "," : "", integer_text(face.index(i)));
        }
        std::string& list = face.vertex_count == 1 ? dots : face.vertex_count == 2 ? lines : faces;
        if (face.vertex_count > 0) {
            list +=
                joined(list.empty() ? "" : ",", face.vertex_count > 2 ? joined("[", points, "]") : points);
        }
    }
    return joined("{\"dots\":[", dots, "],\"lines\":[", lines, "],\"faces\":[", faces, "]}");
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
    const InstanceLists instances = instance_lists(model);
    std::printf(
        "{\"kind\":%d,\"points\":%d,\"single_points\":%d,\"two_point_elements\":%d,\"triangles\":%d,"
        "\"quads\":%d,\"polygons\":%d,\"instances\":%d,\"unplaced\":%s,\"x_name\":%s,\"instance_values\":%s,"
        "\"elements\":%s}"
        "\n",
        static_cast<int>(model.kind), static_cast<int>(model.valid_points().size()), by_size[1], by_size[2],
        by_size[3], by_size[4], by_size[5], static_cast<int>(model.valid_instances().size()),
        instances.unplaced.c_str(), json_string(file_name_of(output_name_for(argv[1], ".x"))).c_str(),
        instances.values.c_str(), element_lists(model).c_str());
    return 0;
}

}  // namespace kon2x
