// Builds the benchmark model deterministically.
#include "bench_model.hpp"

#include <cstdint>
#include <random>

namespace kon2x::bench {

ConstructionModel make_bench_model(const BenchModelShape& shape) {
    ConstructionModel model;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> coordinate(-30000, 30000);
    model.points.resize(static_cast<std::size_t>(shape.points) + kSparePoints);
    for (int k = 0; k < shape.points; ++k) {
        PointRecord& p = model.points[static_cast<std::size_t>(k)];
        p.x = coordinate(random);
        p.y = coordinate(random);
        p.z = coordinate(random);
        const int material = k % shape.materials;
        p.red = static_cast<std::uint8_t>(material * 7);
        p.green = static_cast<std::uint8_t>(material * 13);
        p.blue = static_cast<std::uint8_t>(material / 256);
        p.texture = material % 5 == 0 ? material : 0;
        p.u = static_cast<float>(k % 1000) / 999.0f;
        p.v = static_cast<float>(k % 777) / 776.0f;
    }
    model.point_count = static_cast<std::int16_t>(shape.points);

    std::uniform_int_distribution<int> index(0, shape.points - 1);
    const auto add_face = [&](int n) {
        FaceRecord face;
        for (int i = 0; i < n; ++i) {
            face.append_index(static_cast<std::int16_t>(index(random)));
        }
        model.faces.push_back(face);
    };
    for (int f = 0; f < shape.triangles; ++f) {
        add_face(3);
    }
    for (int f = 0; f < shape.quads && model.faces.size() < 32767; ++f) {
        add_face(4);
    }
    for (int f = 0; f < shape.pentagons && model.faces.size() < 32767; ++f) {
        add_face(5);
    }
    model.face_count = static_cast<std::int16_t>(model.faces.size());

    for (int j = 0; j < shape.instances; ++j) {
        InstanceRecord instance;
        instance.x = j * 1000;
        if (j % 4 == 1) {
            instance.rot_x = 15.0 * j;
            instance.rot_z = 7.5;
        }
        if (j % 8 == 3) {
            instance.scale_x = -1.0f;
        }
        if (j % 8 == 5) {
            instance.rot_y = 30.0;
            instance.scale_y = 0.5f;
            instance.scale_z = -2.0f;
        }
        model.instances.push_back(instance);
    }
    model.instance_count = static_cast<std::int16_t>(shape.instances);
    model.loaded = 1;
    return model;
}

}  // namespace kon2x::bench
