// Writer throughput against the I/O floor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_model.hpp"
#include "export/writers/mesh_writer.hpp"

namespace kon2x::bench {
namespace {

const ConstructionModel& bench_model() {
    static const ConstructionModel model = make_bench_model();
    return model;
}

// The same geometry with every point a material of its own.
const ConstructionModel& distinct_materials_model() {
    static const ConstructionModel model = [] {
        BenchModelShape shape;
        shape.materials = 32767;
        return make_bench_model(shape);
    }();
    return model;
}

std::string scratch_path() {
    return (std::filesystem::temp_directory_path() / "kon2x-bench.x").string();
}

std::size_t output_size() {
    static const std::size_t size = [] {
        std::string text;
        OutputBuffer out(text);
        write_mesh(MeshPlan(bench_model()), out, nullptr);
        out.flush();
        return text.size();
    }();
    return size;
}

void write_to_file(benchmark::State& state, const ConstructionModel& model) {
    const std::string path = scratch_path();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        OutputBuffer out(file);
        write_mesh(MeshPlan(model), out, nullptr);
        out.flush();
        bytes = out.drained();
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    std::filesystem::remove(path);
}

void BM_WriteMeshToFile(benchmark::State& state) {
    write_to_file(state, bench_model());
}
BENCHMARK(BM_WriteMeshToFile)->Unit(benchmark::kMillisecond);

// 32767 materials instead of 300: the table must not make this quadratic.
void BM_WriteMeshDistinctMaterials(benchmark::State& state) {
    write_to_file(state, distinct_materials_model());
}
BENCHMARK(BM_WriteMeshDistinctMaterials)->Unit(benchmark::kMillisecond);

// The writer alone, on 1 and on 2 threads: formatting into the buffer, which
// drops its chunks.
void BM_WriteMeshToMemory(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        OutputBuffer out;
        write_mesh(MeshPlan(bench_model()), out, nullptr, static_cast<unsigned>(state.range(0)));
        out.flush();
        bytes = out.drained();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteMeshToMemory)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same number of bytes from a ready buffer, in 1 MiB chunks.
void BM_IoFloor(benchmark::State& state) {
    const std::string path = scratch_path();
    const std::vector<char> ready(output_size(), 'x');
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        for (std::size_t at = 0; at < ready.size(); at += kChunk) {
            std::fwrite(ready.data() + at, 1, std::min(kChunk, ready.size() - at), file);
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ready.size()));
    std::filesystem::remove(path);
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kon2x::bench
