// The viewer without WebGL (here, node has none): it clears, shows and cuts
// a model without drawing it, so that the page still converts.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import test from "node:test";
import { readGlb } from "../../web/glb.js";
import { Viewer } from "../../web/viewer.js";

test("without WebGL a model is counted, not drawn, and nothing throws", () => {
    const bytes = readFileSync(new URL("../corpus/house.glb", import.meta.url));
    const viewer = new Viewer({});
    viewer.clear();
    const view = viewer.show(readGlb(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length)), new Map());
    viewer.setSection({ axis: "x", at: 0.5, flipped: false });
    viewer.placeElements(() => true);
    assert.deepEqual([viewer.working, view.full, view.trianglesDrawn, view.triangles], [false, 2, 0, 32]);
});
