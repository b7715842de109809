// Test models, their text form and their archive form.
#include "support/model_builder.hpp"

#include <cstdio>
#include <random>

#include "support/archive_builder.hpp"

namespace kon2x::test {

namespace {

// Enough digits to read back the same float32 (9) or double (17).
void append_real(std::string& text, double value, int digits) {
    char number[64];
    std::snprintf(number, sizeof number, "%.*g", digits, value);
    text += number;
}

void append_fields(std::string& text, std::initializer_list<long long> values) {
    for (const long long value : values) {
        text += std::to_string(value) + ';';
    }
}

std::string lines(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + "\n";
    }
    return text;
}

std::vector<int> indices_of(const FaceRecord& face) {
    std::vector<int> indices;
    for (std::int32_t i = 0; i < face.vertex_count; ++i) {
        indices.push_back(face.index(i));
    }
    return indices;
}

FaceGroups groups_of(std::span<const FaceRecord> faces) {
    FaceGroups groups;
    std::vector<std::vector<int>>* fixed[] = {nullptr, &groups.twos, &groups.triangles, &groups.quads};
    std::int32_t group = 1;  // the size of the group being filled; 5: the polygons
    for (const FaceRecord& face : faces) {
        group = face.vertex_count >= group && face.vertex_count <= 4 ? face.vertex_count : 5;
        if (group == 1) {
            groups.singles.push_back(face.index(0));
        } else if (group < 5) {
            fixed[group - 1]->push_back(indices_of(face));
        } else {
            groups.polygons.push_back(indices_of(face));
        }
    }
    return groups;
}

}  // namespace

PointRecord point_at(int x, int y, int z, int red, int green, int blue, int texture, float u, float v) {
    PointRecord point;
    point.x = x;
    point.y = y;
    point.z = z;
    point.red = static_cast<std::uint8_t>(red);
    point.green = static_cast<std::uint8_t>(green);
    point.blue = static_cast<std::uint8_t>(blue);
    point.texture = texture;
    point.u = u;
    point.v = v;
    return point;
}

InstanceRecord instance_of(float scale_x, float scale_y, float scale_z, double rot_x, double rot_y,
                           double rot_z, int x, int y, int z) {
    return InstanceRecord{x, y, z, rot_x, rot_y, rot_z, scale_x, scale_y, scale_z};
}

ConstructionModel model_of(std::vector<PointRecord> points, const std::vector<std::vector<int>>& faces,
                           std::vector<InstanceRecord> instances) {
    ConstructionModel model;
    model.point_count = static_cast<std::int16_t>(points.size());
    model.points = std::move(points);
    for (const auto& indices : faces) {
        FaceRecord face;
        for (const int index : indices) {
            face.append_index(static_cast<std::int16_t>(index));
        }
        model.faces.push_back(face);
    }
    model.face_count = static_cast<std::int16_t>(faces.size());
    model.instance_count = static_cast<std::int16_t>(instances.size());
    model.instances = std::move(instances);
    return model;
}

ConstructionModel random_model(unsigned seed, int points, int faces, int instances) {
    std::mt19937 random(seed);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::vector<PointRecord> records;
    for (int k = 0; k < points; ++k) {
        records.push_back(point_at(pick(-30000, 30000), pick(-30000, 30000), pick(-30000, 30000),
                                   pick(0, 255), 0, pick(0, 3) * 80, pick(0, 2),
                                   static_cast<float>(pick(0, 64)) / 64, 0.5f));
    }
    std::vector<std::vector<int>> indices(static_cast<std::size_t>(faces));
    for (std::vector<int>& face : indices) {
        for (int n = pick(3, 7); n > 0; --n) {
            face.push_back(pick(0, points - 1));
        }
    }
    std::vector<InstanceRecord> placements;
    for (int j = 0; j < instances; ++j) {
        placements.push_back(instance_of(pick(0, 3) == 0 ? -1.0f : 1.5f, 1, 1, pick(0, 1) * 15.5, 0,
                                         pick(0, 2) * 30.0, j * 1000, 0, -j));
    }
    return model_of(records, indices, placements);
}

std::string text_of(const ConstructionModel& model) {
    std::string text = "KON;KRUV\nX;Y;Z;R;G;B;Textur;U;V\n";
    for (const PointRecord& p : model.valid_points()) {
        append_fields(text, {p.x, p.y, p.z, p.red, p.green, p.blue, p.texture});
        append_real(text, p.u, 9);
        text += ';';
        append_real(text, p.v, 9);
        text += '\n';
    }
    text += "Flaechen\n";
    for (const FaceRecord& face : model.valid_faces()) {
        for (std::int32_t i = 0; i < face.vertex_count; ++i) {
            if (i > 0) {
                text += ';';
            }
            text += std::to_string(face.index(i));
        }
        text += '\n';
    }
    text += "ScalX;ScalY;ScalZ;RotX;RotY;RotZ;X;Y;Z\n";
    for (const InstanceRecord& instance : model.valid_instances()) {
        for (const float scale : {instance.scale_x, instance.scale_y, instance.scale_z}) {
            append_real(text, scale, 9);
            text += ';';
        }
        for (const double angle : {instance.rot_x, instance.rot_y, instance.rot_z}) {
            append_real(text, angle, 17);
            text += ';';
        }
        text += std::to_string(instance.x) + ';' + std::to_string(instance.y) + ';' +
                std::to_string(instance.z) + '\n';
    }
    return text;
}

std::string archive_of(const ConstructionModel& model) {
    ArchiveContents contents;
    for (const PointRecord& p : model.valid_points()) {
        contents.points.push_back(archive_point(p));
    }
    contents.faces(groups_of(model.valid_faces()));
    const auto instances = model.valid_instances();
    contents.instances.assign(instances.begin(), instances.end());
    contents.dashed_lines = model.dashed_lines;
    contents.lines = model.lines;
    contents.dimension_lines = model.dimension_lines;
    return build_archive(contents).bytes;
}

std::string kon_file(const std::vector<std::string>& points, const std::vector<std::string>& faces,
                     const std::vector<std::string>& instances) {
    return "KON;KRUV\nX\n" + lines(points) + "Flaechen\n" + lines(faces) + "ScalX\n" + lines(instances);
}

}  // namespace kon2x::test
