// Tests of the bulk box that the view fits: a few far points are left out,
// nothing else is.
import assert from "node:assert/strict";
import test from "node:test";
import { bulkBox } from "../../web/bulk.js";

test("the bulk leaves out only points far beyond the rest", () => {
    const cube = [[0, 0, 0], [100, 0, 0], [0, 100, 0], [100, 100, 0], [0, 0, 100], [100, 0, 100], [0, 100, 100], [100, 100, 100]];
    for (const [label, points, min, max, far] of [
        ["a cube", cube, [0, 0, 0], [100, 100, 100], 0],
        ["a cube and a far corner", [...cube, [2147483647, 0, 0]], [0, 0, 0], [100, 100, 100], 1],
        ["a triangle with one far corner", [[0, 0, 0], [100, 0, 0], [0, 16777217, 0]], [0, 0, 0], [100, 0, 0], 1],
        ["two far points among many", [...cube, ...cube, [-99999999999, 5, 5], [5, 5, 16777217]], [0, 0, 0], [100, 100, 100], 2],
        ["points spread ever wider", [[0, 0, 0], [1, 0, 0], [10, 0, 0], [100, 0, 0], [1000, 0, 0]], [0, 0, 0], [1000, 0, 0], 0],
        ["two clusters", [[0, 0, 0], [1, 1, 1], [5000, 0, 0], [5001, 1, 1]], [0, 0, 0], [5001, 1, 1], 0],
        ["points in one place but one", [[7, 7, 7], [7, 7, 7], [7, 7, 8]], [7, 7, 7], [7, 7, 8], 0],
        ["no points", [], [0, 0, 0], [0, 0, 0], 0],
    ]) {
        assert.deepEqual(bulkBox(new Float32Array(points.flat())), { min, max, far }, label);
    }
});
