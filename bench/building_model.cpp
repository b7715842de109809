// Builds the office block deterministically. Up is -y. Each bay of a storey
// is a wall ring round a window opening, its four reveals and the pane, so
// that 9 quads make 18 triangles; the bay corners are shared by the bays
// round them, so the facade is one connected surface.
#include "building_model.hpp"

#include <cstdint>
#include <initializer_list>

namespace kon2x::bench {
namespace {

constexpr int kBay = 100;      // width of a bay
constexpr int kStorey = 300;   // height of a storey
constexpr int kReveal = 20;    // depth of a window
constexpr int kSlabCells = 8;  // a floor slab is this many cells along each side
constexpr int kWallShades = 24;

struct Colour {
    std::uint8_t red, green, blue;
};

class Builder {
public:
    Builder(const BuildingShape& shape, ConstructionModel& model) : shape_(shape), model_(model) {}

    void build() {
        const int perimeter = 2 * (shape_.bays_long + shape_.bays_deep);
        corner_base_ = point_count();
        for (int level = 0; level <= shape_.storeys; ++level) {
            for (int p = 0; p < perimeter; ++p) {
                const Place place = along_perimeter(p);
                add_point(place.x, -level * kStorey, place.z, {128, 128, 128});
            }
        }
        for (int storey = 0; storey < shape_.storeys; ++storey) {
            for (int p = 0; p < perimeter; ++p) {
                add_bay(storey, p, perimeter);
            }
        }
        for (int level = 0; level <= shape_.storeys; ++level) {
            add_slab(level);
        }
    }

private:
    struct Place {
        int x, z, nx, nz;  // a point of the outline and the outward direction of the side it starts
    };

    int point_count() const { return static_cast<int>(model_.points.size()); }

    // The p-th bay corner going round the footprint, centred on the origin.
    Place along_perimeter(int p) const {
        const int long_side = shape_.bays_long * kBay;
        const int deep_side = shape_.bays_deep * kBay;
        const int x0 = -long_side / 2;
        const int z0 = -deep_side / 2;
        if (p < shape_.bays_long) {
            return {x0 + p * kBay, z0, 0, -1};
        }
        p -= shape_.bays_long;
        if (p < shape_.bays_deep) {
            return {x0 + long_side, z0 + p * kBay, 1, 0};
        }
        p -= shape_.bays_deep;
        if (p < shape_.bays_long) {
            return {x0 + long_side - p * kBay, z0 + deep_side, 0, 1};
        }
        p -= shape_.bays_long;
        return {x0, z0 + deep_side - p * kBay, -1, 0};
    }

    int add_point(int x, int y, int z, Colour colour) {
        PointRecord point;
        point.x = x;
        point.y = y;
        point.z = z;
        point.red = colour.red;
        point.green = colour.green;
        point.blue = colour.blue;
        model_.points.push_back(point);
        return point_count() - 1;
    }

    void add_face(std::initializer_list<int> indices) {
        FaceRecord face;
        for (const int index : indices) {
            face.append_index(static_cast<std::int16_t>(index));
        }
        model_.faces.push_back(face);
    }

    // A quad's material is its last point's: the wall's for the ring and the
    // reveals, the glass's for the pane.
    void add_bay(int storey, int p, int perimeter) {
        const Place start = along_perimeter(p);
        const Place end = along_perimeter((p + 1) % perimeter);
        const int across_x = (end.x - start.x) / kBay;
        const int across_z = (end.z - start.z) / kBay;
        const Colour wall{static_cast<std::uint8_t>(150 + 8 * storey),
                          static_cast<std::uint8_t>(120 + 5 * (p % kWallShades)), 100};
        const Colour glass{60, static_cast<std::uint8_t>(110 + 10 * (storey / 2)),
                           static_cast<std::uint8_t>(170 + 10 * (storey / 2))};
        const int o[4] = {corner(storey, p), corner(storey, (p + 1) % perimeter),
                          corner(storey + 1, (p + 1) % perimeter), corner(storey + 1, p)};
        // The opening: 25 to 75 along the bay, 90 to 240 up the storey.
        const int along[4] = {25, 75, 75, 25};
        const int up[4] = {90, 90, 240, 240};
        int w[4];
        int g[4];
        for (int i = 0; i < 4; ++i) {
            const int x = start.x + across_x * along[i];
            const int z = start.z + across_z * along[i];
            const int y = -(storey * kStorey + up[i]);
            w[i] = add_point(x, y, z, wall);
            g[i] = add_point(x - start.nx * kReveal, y, z - start.nz * kReveal, glass);
        }
        for (int i = 0; i < 4; ++i) {
            const int j = (i + 1) % 4;
            add_face({o[i], o[j], w[j], w[i]});
            add_face({g[i], g[j], w[j], w[i]});
        }
        add_face({g[0], g[1], g[2], g[3]});
    }

    int corner(int level, int p) const {
        return corner_base_ + level * 2 * (shape_.bays_long + shape_.bays_deep) + p;
    }

    // A slab over the footprint at a level, in kSlabCells by kSlabCells quads;
    // the roof is darker.
    void add_slab(int level) {
        const int shade = level == shape_.storeys ? 70 : 120 + 10 * (level % 5);
        const Colour colour{static_cast<std::uint8_t>(shade), static_cast<std::uint8_t>(shade),
                            static_cast<std::uint8_t>(shade + 5)};
        const int long_side = shape_.bays_long * kBay;
        const int deep_side = shape_.bays_deep * kBay;
        const int base = point_count();
        for (int i = 0; i <= kSlabCells; ++i) {
            for (int k = 0; k <= kSlabCells; ++k) {
                add_point(-long_side / 2 + long_side * i / kSlabCells, -level * kStorey,
                          -deep_side / 2 + deep_side * k / kSlabCells, colour);
            }
        }
        const auto at = [&](int i, int k) { return base + i * (kSlabCells + 1) + k; };
        for (int i = 0; i < kSlabCells; ++i) {
            for (int k = 0; k < kSlabCells; ++k) {
                add_face({at(i, k), at(i + 1, k), at(i + 1, k + 1), at(i, k + 1)});
            }
        }
    }

    const BuildingShape& shape_;
    ConstructionModel& model_;
    int corner_base_ = 0;
};

// The grid of instances, rows along z; every third block turned a quarter
// and the heights varied, so that the grid reads as a town.
void place_instances(const BuildingShape& shape, ConstructionModel& model) {
    const int step_x = shape.bays_long * kBay * 3 / 2;
    const int step_z = shape.bays_long * kBay * 11 / 10;
    for (int j = 0; j < shape.instances; ++j) {
        InstanceRecord instance;
        instance.x = (j % shape.columns) * step_x;
        instance.z = (j / shape.columns) * step_z;
        if (j % 3 == 1) {
            instance.rot_y = 90.0;
        }
        instance.scale_y = 0.5f + 0.25f * static_cast<float>(j % 5);
        model.instances.push_back(instance);
    }
}

}  // namespace

ConstructionModel make_building_model(const BuildingShape& shape) {
    ConstructionModel model;
    Builder(shape, model).build();
    model.point_count = static_cast<std::int16_t>(model.points.size());
    model.points.resize(model.points.size() + kSparePoints);
    model.face_count = static_cast<std::int16_t>(model.faces.size());
    place_instances(shape, model);
    model.instance_count = static_cast<std::int16_t>(shape.instances);
    model.loaded = 1;
    return model;
}

}  // namespace kon2x::bench
