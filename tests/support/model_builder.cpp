// Test models and text files.
#include "support/model_builder.hpp"

namespace kon2x::test {

namespace {

std::string lines(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += row + "\n";
    }
    return text;
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

std::string kon_file(const std::vector<std::string>& points, const std::vector<std::string>& faces,
                     const std::vector<std::string>& instances) {
    return "KON;KRUV\nX\n" + lines(points) + "Flaechen\n" + lines(faces) + "ScalX\n" + lines(instances);
}

}  // namespace kon2x::test
