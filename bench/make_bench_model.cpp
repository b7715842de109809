// Writes a benchmark model as a text construction file: the bench model of
// random faces, or with --building the office block on a grid.
// Usage: make_bench_model OUT.kon [INSTANCES] [MATERIALS]
//        make_bench_model --building OUT.kon [INSTANCES]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "bench_model.hpp"
#include "building_model.hpp"
#include "model_text.hpp"

int main(int argc, char** argv) {
    const bool building = argc > 1 && std::strcmp(argv[1], "--building") == 0;
    if (building) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_bench_model [--building] OUT.kon [INSTANCES] [MATERIALS]\n");
        return 2;
    }
    const int instances = argc > 2 ? std::atoi(argv[2]) : 0;
    if (argc > 2 && (instances < 1 || instances > kon2x::kMaxCount)) {
        std::fprintf(stderr, "make_bench_model: INSTANCES must be 1 to %d\n", kon2x::kMaxCount);
        return 2;
    }
    kon2x::ConstructionModel model;
    if (building) {
        kon2x::bench::BuildingShape shape;
        if (argc > 2) {
            shape.instances = instances;
        }
        model = kon2x::bench::make_building_model(shape);
    } else {
        kon2x::bench::BenchModelShape shape;
        if (argc > 2) {
            shape.instances = instances;
        }
        if (argc > 3) {
            shape.materials = std::atoi(argv[3]);
        }
        model = kon2x::bench::make_bench_model(shape);
    }
    std::ofstream(argv[1], std::ios::binary) << kon2x::bench::model_as_text(model);
    return 0;
}
