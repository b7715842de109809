// The drawing plan takes every derived line (an archive's negative counts: tests/corpus).
#include "export/writers/drawing_plan.hpp"

#include <gtest/gtest.h>

#include "loading/line_derivation.hpp"
#include "support/model_builder.hpp"

namespace kon2x {
namespace {

// A ring through 32767 points and a triangle inside it share no edge: 32770
// outline lines, three more than a count holds. The model's count stops at
// 32767; the drawing has them all.
TEST(DrawingPlan, TakesEveryDerivedLineBeyondTheCount) {
    std::vector<PointRecord> points;
    std::vector<int> ring;
    for (int i = 0; i < 32767; ++i) {
        points.push_back(test::point_at(i, i % 2, 0));
        ring.push_back(i);
    }
    ConstructionModel model = test::model_of(points, {ring, {0, 2, 4}});
    derive_lines(model);
    EXPECT_EQ(model.line_count, 32767);
    const DrawingPlan plan(model);
    EXPECT_EQ(plan.lines().size(), 32770u);
    EXPECT_EQ(plan.max_x(), 32766);
}

}  // namespace
}  // namespace kon2x
