// The benchmark model: the largest point and face counts, a few hundred
// materials and 64 instances, several rotated and mirrored.
#pragma once

#include "model/construction_model.hpp"

namespace kon2x::bench {

struct BenchModelShape {
    int points = 32767;
    int triangles = 32767;
    int quads = 200;
    int pentagons = 100;
    int materials = 300;
    int instances = 64;
};

ConstructionModel make_bench_model(const BenchModelShape& shape = {});

}  // namespace kon2x::bench
