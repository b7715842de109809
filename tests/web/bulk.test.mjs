// Tests of the bulk box that the view fits: a few far points are left out,
// nothing else is.
import assert from "node:assert/strict";
import test from "node:test";
import { Box3, Euler, Matrix4, Quaternion, Vector3 } from "three";
import { bulkBox, placedBox } from "../../web/bulk.js";

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

test("a placed box is the box of its eight corners placed", () => {
    const box = new Box3(new Vector3(-1, 2, 3), new Vector3(4, 5, 30));
    for (const [angles, scale] of [[[0, 0, 0], [1, 1, 1]], [[0.3, -1.2, 2], [2, -1, 0.5]], [[Math.PI / 2, 0, 0], [1e30, 1, 0]]]) {
        const matrix = new Matrix4().compose(new Vector3(7, -8, 9), new Quaternion().setFromEuler(new Euler(...angles)), new Vector3(...scale));
        const [got, corners] = [placedBox(box, matrix), box.clone().applyMatrix4(matrix)];
        assert.ok(got.min.distanceTo(corners.min) + got.max.distanceTo(corners.max) <= 1e-9 * (1 + corners.max.length()), `${angles} ${scale}`);
    }
});
