// Text loading against one pass that reads the file and counts its lines;
// the line derivation on shared edges.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_model.hpp"
#include "console/console.hpp"
#include "loading/line_derivation.hpp"
#include "loading/loader.hpp"
#include "model_text.hpp"

namespace kon2x::bench {
namespace {

const std::string& bench_text_path() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "kon2x-bench.kon").string();
        std::ofstream(file, std::ios::binary) << model_as_text(make_bench_model());
        return file;
    }();
    return path;
}

void BM_LoadText(benchmark::State& state) {
    console().in = nullptr;
    for (auto _ : state) {
        ConstructionModel model;
        load(model, bench_text_path());
        benchmark::DoNotOptimize(model.loaded);
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(bench_text_path())));
}
BENCHMARK(BM_LoadText)->Unit(benchmark::kMillisecond);

// The floor: read the file into memory in one pass and count its lines.
void BM_ReadAndCountLines(benchmark::State& state) {
    std::string buffer(1 << 20, '\0');
    for (auto _ : state) {
        std::FILE* file = std::fopen(bench_text_path().c_str(), "rb");
        std::size_t lines = 0;
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
            for (std::size_t i = 0; i < got; ++i) {
                lines += buffer[i] == '\n' ? 1 : 0;
            }
        }
        std::fclose(file);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(bench_text_path())));
}
BENCHMARK(BM_ReadAndCountLines)->Unit(benchmark::kMillisecond);

// 32767 triangles sharing their edges in a strip.
void BM_DeriveLinesOfAStrip(benchmark::State& state) {
    ConstructionModel model;
    const int triangles = static_cast<int>(state.range(0));
    model.points.resize(static_cast<std::size_t>(triangles) + 2);
    model.point_count = static_cast<std::int16_t>(triangles + 2);
    for (int t = 0; t < triangles; ++t) {
        FaceRecord face;
        for (int i = 0; i < 3; ++i) {
            face.append_index(static_cast<std::int16_t>(t + i));
        }
        model.faces.push_back(face);
    }
    model.face_count = static_cast<std::int16_t>(triangles);
    for (auto _ : state) {
        derive_lines(model);
        benchmark::DoNotOptimize(model.line_count);
    }
    state.SetComplexityN(triangles);
}
BENCHMARK(BM_DeriveLinesOfAStrip)->Arg(4096)->Arg(8192)->Arg(16384)->Arg(32765)->Complexity();

// The bench model's random triangles: almost every edge is new.
void BM_DeriveLinesOfTheBenchModel(benchmark::State& state) {
    ConstructionModel model = make_bench_model();
    for (auto _ : state) {
        derive_lines(model);
        benchmark::DoNotOptimize(model.line_count);
    }
}
BENCHMARK(BM_DeriveLinesOfTheBenchModel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kon2x::bench
