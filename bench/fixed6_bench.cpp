// Six-decimal numbers: nanoseconds a number on the bench model's placed
// coordinates and texture coordinates, against the 17-digit route and snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_model.hpp"
#include "export/maths/instance_transform.hpp"
#include "export/output/fixed6.hpp"
#include "export/writers/mesh_plan.hpp"

namespace kon2x::bench {
namespace {

// Every 193rd number the .x writer formats for the bench model's vertices and
// texture coordinates: about 33,000 of its 6.4 million, few enough to stay in
// the cache, like the points the writer reads.
const std::vector<double>& bench_numbers() {
    static const std::vector<double> sample = [] {
        const ConstructionModel model = make_bench_model();
        std::vector<double> numbers;
        for (const InstanceRecord& instance : model.instances) {
            const InstanceTransform transform(instance);
            for (const PointRecord& point : model.valid_points()) {
                const Vec3f r = directx_axes(model.kind, transform.apply(model_position(point)));
                numbers.insert(numbers.end(), {r.x, r.y, r.z});
            }
        }
        for (const PointRecord& point : model.valid_points()) {
            numbers.insert(numbers.end(), {point.u, point.v});
        }
        std::vector<double> every_193rd;
        for (std::size_t i = 0; i < numbers.size(); i += 193) {
            every_193rd.push_back(numbers[i]);
        }
        return every_193rd;
    }();
    return sample;
}

// Formats the sample, each number followed by a space, into a buffer that
// starts over when it is nearly full.
template <typename Format>
void format_numbers(benchmark::State& state, Format format) {
    const std::vector<double>& numbers = bench_numbers();
    std::vector<char> text(4096 + kMaxFixed6Length + 1);
    for (auto _ : state) {
        char* out = text.data();
        for (const double value : numbers) {
            out = format(out, value);
            *out++ = ' ';
            if (out > text.data() + 4096) {
                out = text.data();
            }
        }
        benchmark::DoNotOptimize(out);
    }
    state.counters["per_number"] =
        benchmark::Counter(static_cast<double>(numbers.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The loop's own share: each number's eight bytes copied instead of formatted.
void BM_Fixed6LoopAlone(benchmark::State& state) {
    format_numbers(state, [](char* out, double value) {
        std::memcpy(out, &value, sizeof value);
        return out + sizeof value;
    });
}
BENCHMARK(BM_Fixed6LoopAlone);

void BM_Fixed6(benchmark::State& state) {
    format_numbers(state, [](char* out, double value) { return write_fixed6(out, value); });
}
BENCHMARK(BM_Fixed6);

void BM_Fixed6Exact(benchmark::State& state) {
    format_numbers(state, [](char* out, double value) { return write_fixed6_exact(out, value); });
}
BENCHMARK(BM_Fixed6Exact);

void BM_Fixed6Snprintf(benchmark::State& state) {
    format_numbers(state, [](char* out, double value) {
        return out + std::snprintf(out, kMaxFixed6Length, "%.6f", value);
    });
}
BENCHMARK(BM_Fixed6Snprintf);

}  // namespace
}  // namespace kon2x::bench
