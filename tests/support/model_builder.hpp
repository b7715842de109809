// The one way for tests to describe a construction model or a text file
// (binary archives: archive_builder).
#pragma once

#include <string>
#include <vector>

#include "model/construction_model.hpp"

namespace kon2x::test {

PointRecord point_at(int x, int y, int z, int red = 0, int green = 0, int blue = 0, int texture = 0,
                     float u = 0, float v = 0);
InstanceRecord instance_of(float scale_x, float scale_y, float scale_z, double rot_x, double rot_y,
                           double rot_z, int x, int y, int z);

// A model of kind 0 that holds exactly these records; a face is its list of indices.
ConstructionModel model_of(std::vector<PointRecord> points, const std::vector<std::vector<int>>& faces,
                           std::vector<InstanceRecord> instances = {InstanceRecord{}});

// A text construction file of kind 0 with the given point, face and instance lines.
std::string kon_file(const std::vector<std::string>& points, const std::vector<std::string>& faces = {},
                     const std::vector<std::string>& instances = {});

}  // namespace kon2x::test
