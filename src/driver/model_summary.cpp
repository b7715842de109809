// kon2info: kon2gltf's conversion, with the facts of the file as one line of JSON beside it.
#include "driver/model_summary.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "console/file_names.hpp"
#include "driver/driver.hpp"
#include "driver/model_counts.hpp"
#include "driver/output_formats.hpp"
#include "driver/paths.hpp"
#include "export/output/json_text.hpp"
#include "export/writers/gltf_writer.hpp"

namespace kon2x {

namespace {

// A value as the file holds it, in its shortest exact decimal text, as a
// JSON string: JSON has no infinity or NaN, spelled here as the drawings
// spell them.
template <typename Real>
void append_value(std::string& json, Real value) {
    if (std::isnan(value)) {
        json += R"("NaN")";
    } else if (std::isinf(value)) {
        json += value < 0 ? R"("-inf")" : R"("inf")";
    } else {
        json += '"';
        append_shortest(json, value);
        json += '"';
    }
}

template <typename Real>
void append_values(std::string& json, Real x, Real y, Real z) {
    json += '[';
    append_value(json, x);
    json += ',';
    append_value(json, y);
    json += ',';
    append_value(json, z);
    json += ']';
}

// One instance's values: its scale factors, angles in degrees, offset,
// whether it mirrors and, where kon2gltf cannot place it, why (`problem`).
void append_instance(std::string& json, const InstanceRecord& instance, const char* problem) {
    json += R"({"scale":)";
    append_values(json, instance.scale_x, instance.scale_y, instance.scale_z);
    json += R"(,"angles":)";
    append_values(json, instance.rot_x, instance.rot_y, instance.rot_z);
    json += R"(,"offset":)";
    append_array(json, std::array<std::int32_t, 3>{instance.x, instance.y, instance.z});
    json += instance.scale_x * instance.scale_y * instance.scale_z < 0 ? R"(,"mirrors":true)"
                                                                       : R"(,"mirrors":false)";
    if (problem != nullptr) {
        json += R"(,"problem":)";
        append_string(json, problem);
    }
    json += '}';
}

// The numbers of the instances that kon2gltf cannot place, and every
// instance's values, as the insides of two JSON arrays.
struct InstanceLists {
    std::string unplaced;
    std::string values;
};

InstanceLists instance_lists(const ConstructionModel& model) {
    InstanceLists lists;
    std::size_t number = 0;
    for (const InstanceRecord& instance : model.valid_instances()) {
        const char* const problem = placement_problem(instance);
        if (problem != nullptr) {
            separate(lists.unplaced, lists.unplaced.size());
            append_number(lists.unplaced, number);
        }
        separate(lists.values, number++);
        append_instance(lists.values, instance, problem);
    }
    return lists;
}

// "elements": the single points, the two-point elements' ends pair after
// pair, and each face of more points in its order.
void append_elements(std::string& json, const ConstructionModel& model) {
    std::string dots, lines, faces;
    for (const FaceRecord& face : model.valid_faces()) {
        std::string& list = face.vertex_count == 1 ? dots : face.vertex_count == 2 ? lines : faces;
        if (face.vertex_count <= 0) {
            continue;
        }
        separate(list, list.size());
        list += face.vertex_count > 2 ? "[" : "";
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            separate(list, static_cast<std::size_t>(i));
            append_number(list, face.index(i));
        }
        list += face.vertex_count > 2 ? "]" : "";
    }
    json += R"(,"elements":{"dots":[)" + dots + R"(],"lines":[)" + lines + R"(],"faces":[)" + faces + "]}";
}

// The counts by kind and by size of face: faces of 1, 2, 3, 4 and more points.
void append_counts(std::string& json, const ConstructionModel& model, const ModelCounts& counts) {
    const std::pair<const char*, std::size_t> members[] = {
        {R"({"kind":)", static_cast<std::size_t>(model.kind)},
        {R"(,"points":)", counts.points},
        {R"(,"single_points":)", counts.single_points},
        {R"(,"two_point_elements":)", counts.two_point_elements},
        {R"(,"triangles":)", counts.triangles},
        {R"(,"quads":)", counts.quads},
        {R"(,"polygons":)", counts.polygons},
        {R"(,"instances":)", counts.instances},
        {R"(,"materials":)", count_materials(model)},
    };
    for (const auto& [name, count] : members) {
        json += name;
        append_number(json, count);
    }
}

// The facts as one line of JSON.
std::string model_summary(const ConstructionModel& model, const std::string& input_path, bool counts_only) {
    const InstanceLists instances = instance_lists(model);
    const ModelCounts counts = count_model(model);
    std::string json;
    append_counts(json, model, counts);
    json += R"(,"unplaced":[)" + instances.unplaced + ']';
    json += R"(,"x_name":)";
    append_string(json, file_name_of(output_name_for(input_path, ".x")));
    json += R"(,"glb_note":)";
    append_string(json, unplaced_note(static_cast<int>(counts.unplaced)));
    if (counts_only) {
        return json + "}\n";
    }
    json += R"(,"instance_values":[)" + instances.values + ']';
    append_elements(json, model);
    json += "}\n";
    return json;
}

}  // namespace

int convert_with_summary(int argc, const char* const* argv, bool counts_only) {
    if (argc != 3) {
        return 1;
    }
    const char* const facts_path = argv[2];
    const char* const converter_argv[] = {argv[0], argv[1], nullptr};
    return run_converter(2, converter_argv, kGltfBinary,
                         [facts_path, counts_only](const ConstructionModel& model, const char* input) {
                             const std::string json = model_summary(model, input, counts_only);
                             if (std::FILE* file = open_file(facts_path, "wb")) {
                                 std::fwrite(json.data(), 1, json.size(), file);
                                 std::fclose(file);
                             }
                         });
}

}  // namespace kon2x
