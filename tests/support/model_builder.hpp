// The one way for tests and benchmarks to describe a construction model and
// to write it as a text file or a binary archive.
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

// A model of random points, faces of three to seven points and instances
// (some rotated, some mirrored): the same model for the same seed.
ConstructionModel random_model(unsigned seed, int points, int faces, int instances);

// The model as a text construction file that reads back into the same
// points (extra entries left out), faces and instances.
std::string text_of(const ConstructionModel& model);

// The model as a binary archive that reads back into the same model, faces in
// the same order: the leading faces of one to four points that come in group
// order fill the fixed-size groups, all others are polygons.
std::string archive_of(const ConstructionModel& model);

// A text construction file of kind 0 with the given point, face and instance lines.
std::string kon_file(const std::vector<std::string>& points, const std::vector<std::string>& faces = {},
                     const std::vector<std::string>& instances = {});

}  // namespace kon2x::test
