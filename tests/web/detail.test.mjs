// The level each instance is drawn at, from the radius of its disc on the
// screen: the coarsest whose error stays within a pixel, more where the
// frame's budget asks for it, a dot under two pixels across.
import assert from "node:assert/strict";
import test from "node:test";
import { coverCurve } from "../../web/budget.js";
import { chooseLevels, kNotDrawn, kDot } from "../../web/detail.js";

// The full mesh and three levels, their errors a part of the bulk's radius.
// Each covers half of its disc.
const levels = [[0, 1000], [0.01, 250], [0.05, 60], [0.2, 15]].map(([ratio, triangles]) => ({ ratio, triangles, curve: coverCurve([Math.PI], 1) }));
const roomy = { triangles: Infinity, screens: Infinity, full: Infinity };

test("each instance at the coarsest level within a pixel of error, dots under two pixels, none out of sight", () => {
    for (const [radius, level] of [[500, 0], [101, 0], [100, 1], [40, 1], [20, 2], [6, 2], [5, 3], [1.2, 3], [0.8, kDot], [0, kNotDrawn]]) {
        const { chosen, tolerance } = chooseLevels(Float32Array.of(radius), Float64Array.of(0), levels, roomy);
        assert.deepEqual([chosen[0], tolerance], [level, 1], `radius ${radius}`);
    }
});

test("past the budget the error allowed grows, then the smallest stand in", () => {
    const radii = Float32Array.of(500, 40, 20, 5);
    for (const [budget, tolerance, chosen, cut, screens = 0] of [
        [{ ...roomy, triangles: 1300 }, 2, [0, 2, 2, 3], 0],
        [{ ...roomy, triangles: 1100 }, 4, [0, 2, 3, 3], 0],
        // Past 4 px: each at the coarsest level first, then finer, the largest first.
        [{ ...roomy, triangles: 1050 }, 4, [0, 3, 3, 3], 0],
        [{ ...roomy, full: 0 }, 4, [1, 2, 3, 3], 0],
        [{ ...roomy, triangles: 50 }, 4, [3, 3, 3, kDot], 1],
        // Each disc 1.5 screens, 0.75 covered: the largest in full (no budget of screens holds it), and one more.
        [{ ...roomy, screens: 1 }, 4, [0, 3, kDot, kDot], 2, 1.5],
    ]) {
        const choice = chooseLevels(radii, new Float64Array(4).fill(screens), levels, budget);
        assert.deepEqual([choice.tolerance, [...choice.chosen], choice.cut], [tolerance, chosen, cut], JSON.stringify(budget));
    }
});
