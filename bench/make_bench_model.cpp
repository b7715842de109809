// Writes the benchmark model as a text construction file.
// Usage: make_bench_model OUT.kon [INSTANCES] [MATERIALS]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench_model.hpp"
#include "model_text.hpp"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.kon [INSTANCES] [MATERIALS]\n", argv[0]);
        return 2;
    }
    kon2x::bench::BenchModelShape shape;
    if (argc > 2) {
        shape.instances = std::atoi(argv[2]);
    }
    if (argc > 3) {
        shape.materials = std::atoi(argv[3]);
    }
    std::ofstream(argv[1], std::ios::binary)
        << kon2x::bench::model_as_text(kon2x::bench::make_bench_model(shape));
    return 0;
}
