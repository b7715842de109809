// Reset rules of the construction model's records.
#include "model/construction_model.hpp"

namespace kon2x {

void PointRecord::clear() {
    *this = PointRecord{};
}

void PointRecord::add_extra(const ExtraEntry& entry) {
    extras.push_back(entry);
    extra_count = static_cast<std::int32_t>(extras.size());
}

void FaceRecord::append_index(std::int16_t value) {
    if (vertex_count < 4) {
        inline_indices[static_cast<std::size_t>(vertex_count)] = value;
    } else {
        overflow_indices.push_back(value);
    }
    ++vertex_count;
}

void ConstructionModel::reset() {
    std::vector<PointRecord>().swap(points);
    std::vector<FaceRecord>().swap(faces);
    std::vector<InstanceRecord>().swap(instances);
    point_count = 0;
    face_count = 0;
    instance_count = 0;
}

void ConstructionModel::release() {
    *this = ConstructionModel{};
}

}  // namespace kon2x
