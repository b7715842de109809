// The frame's budget counted on the screen: a face covers at most the whole
// screen, an instance behind the camera or off the screen covers none of it.
import assert from "node:assert/strict";
import test from "node:test";
import { PerspectiveCamera, Sphere, Vector3 } from "three";
import { coverAt, coverCurve, discScreens } from "../../web/budget.js";

test("faces cover their share of their disc on the screen, each at most the screen", () => {
    const curve = coverCurve([0.5, 0.1, 0.1].map((share) => 2 * Math.PI * share), 1);  // twice the areas
    for (const [screens, cover] of [[0, 0], [1, 0.7], [4, 1.8], [20, 3], [Infinity, 3]]) {
        assert.ok(Math.abs(coverAt(curve, screens) - cover) < 1e-9, `${screens} screens`);
    }
    const camera = new PerspectiveCamera(90, 1, 0.1, 100);
    camera.position.set(0, 0, 10);
    camera.updateMatrixWorld();
    for (const [label, center, screens] of [["ahead", [0, 0, 0], Math.PI / 400], ["round the camera", [0, 0, 9.5], Infinity],
        ["behind it", [0, 0, 20], 0], ["beside the screen", [100, 0, 0], 0]]) {
        const got = discScreens(new Sphere(new Vector3(...center), 1), camera);
        assert.ok(got === screens || Math.abs(got - screens) < 1e-12, `${label}: ${got}`);
    }
});
