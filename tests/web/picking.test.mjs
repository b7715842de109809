// Picking a point: the nearest corner of the face under the pointer, of
// those that the section keeps.
import assert from "node:assert/strict";
import test from "node:test";
import { Box3, Matrix4, PerspectiveCamera, Plane, Vector3 } from "three";
import { Picker } from "../../web/picking.js";

test("the point picked is the nearest corner that the section keeps", () => {
    const model = { box: { min: [0, 0, 0], max: [100, 100, 0] }, positions: new Float32Array([0, 0, 0, 100, 0, 0, 0, 100, 0]),
        primitives: [{ indices: new Uint16Array([0, 1, 2]) }] };
    const picker = new Picker(model, [new Matrix4()], 1, 1, new Box3(new Vector3(0, 0, 0), new Vector3(100, 100, 0)));
    const camera = new PerspectiveCamera(40, 1, 1, 1000);
    camera.position.set(30, 30, 500);
    camera.updateMatrixWorld();
    const pointer = new Vector3(10, 10, 0).project(camera);
    for (const [label, section, point] of [["no section", null, 0], ["the nearest corner cut away", new Plane(new Vector3(1, 0, 0), -5), 1],
        ["the point under the pointer cut away", new Plane(new Vector3(1, 0, 0), -20), undefined]]) {
        assert.equal(picker.pick(pointer, camera, () => true, section)?.point, point, label);
    }
});
