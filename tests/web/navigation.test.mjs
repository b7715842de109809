// The section plane keeps the right side along each of the file's axes, whose
// y and z are turned round in the scene (x, -y, -z).
import assert from "node:assert/strict";
import { test } from "node:test";
import { Box3, Vector3 } from "three";
import { groundGrid, sectionPlane } from "../../web/navigation.js";

// The file's box from (0, 0, 0) to (300, 100, 100), as the scene holds it.
const box = new Box3(new Vector3(0, -100, -100), new Vector3(300, 0, 0));
const kept = (plane, [x, y, z]) => plane.distanceToPoint(new Vector3(x, -y, -z)) >= 0;

test("a section keeps what lies up to the cut along the file's axis, or from it on when flipped", () => {
    for (const [axis, at, below, beyond] of [["x", 0.5, [100, 50, 50], [200, 50, 50]], ["y", 0.25, [0, 10, 0], [0, 50, 0]],
        ["z", 0.75, [0, 0, 60], [0, 0, 90]]]) {
        const plane = sectionPlane(box, axis, at, false);
        const flipped = sectionPlane(box, axis, at, true);
        assert.deepEqual([kept(plane, below), kept(plane, beyond), kept(flipped, below), kept(flipped, beyond)], [true, false, false, true], axis);
    }
});

test("the grid's square is 1, 2 or 5 times a power of ten, about a tenth of the model, at its multiples", () => {
    const grids = [box, new Box3(new Vector3(0, 0, 0), new Vector3(0.03, 1, 0.007))].map(groundGrid);
    assert.deepEqual(grids.map(({ step, helper: { position } }) => [step, position.x / step, position.z / step]), [[50, 3, -1], [0.005, 3, 1]]);
});
