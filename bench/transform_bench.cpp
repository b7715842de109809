// The instance transform: placing points in rotated instances, and the sine
// and cosine it takes for ordinary and for huge angles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench_model.hpp"
#include "export/maths/instance_transform.hpp"
#include "export/maths/trig.hpp"

namespace kon2x::bench {
namespace {

// Every point of the bench model placed in one instance rotated about all three axes.
void BM_PlacePointsInARotatedInstance(benchmark::State& state) {
    const ConstructionModel model = make_bench_model();
    InstanceRecord instance;
    instance.rot_x = 15.0;
    instance.rot_y = 30.5;
    instance.rot_z = 7.5;
    for (auto _ : state) {
        const InstanceTransform transform(instance);
        for (const PointRecord& point : model.valid_points()) {
            benchmark::DoNotOptimize(transform.apply(Vec3f{
                static_cast<float>(point.x), static_cast<float>(point.y), static_cast<float>(point.z)}));
        }
    }
    state.SetItemsProcessed(state.iterations() * model.point_count);
}
BENCHMARK(BM_PlacePointsInARotatedInstance);

// sin_cos of 1024 angles: whole degrees up to a full turn and beyond, or
// radians beyond 2^20 pi/2, where the reduction is exact instead of three-part.
void sin_cos_of(benchmark::State& state, double scale) {
    std::vector<double> angles;
    for (int i = 0; i < 1024; ++i) {
        angles.push_back((i * 7 - 3000) * scale);
    }
    for (auto _ : state) {
        for (const double angle : angles) {
            double s = 0;
            double c = 0;
            sin_cos(angle, s, c);
            benchmark::DoNotOptimize(s + c);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(angles.size()));
}
void BM_SinCosOfOrdinaryAngles(benchmark::State& state) {
    sin_cos_of(state, 0.017453292519943295);
}
BENCHMARK(BM_SinCosOfOrdinaryAngles);
void BM_SinCosOfHugeAngles(benchmark::State& state) {
    sin_cos_of(state, 1e30);
}
BENCHMARK(BM_SinCosOfHugeAngles);

}  // namespace
}  // namespace kon2x::bench
