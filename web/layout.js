// A model as its instances place it, before anything is drawn: each node's
// matrix, the bulk (bulk.js) and the box and sphere each instance places it
// in, which nodes the view can draw, and how many instances the frame's
// budgets of triangles and of covered area let be drawn in full.
import * as THREE from "three";
import { coverCurve, crossFacts, facesCover } from "./budget.js";
import { bulkBox, placedBox, usedPoints } from "./bulk.js";

export const kTriangleBudget = 4_000_000;
// How often the drawn faces may cover the model's outline in sum: beyond it a
// frame takes seconds in a software renderer (and models of large, criss-crossing
// faces are slow on any GPU), so only part is drawn and the rest stands in as boxes.
const kCoverBudget = 16;
// Beyond this many instances in stand-in, each is a point at its box's centre.
const kMostBoxes = 4096;
// The GPU draws in float32, whose squares overflow past 2^64: an instance
// that places the model beyond 2^60 units (a scale factor of 1e38, say)
// cannot be drawn, and is left out of the view and its fit.
const kFarthest = 2 ** 60;

// model: readGlb's, with faces and nodes. Returns { matrices, bulk (Box3),
// far: points that faces use far outside the bulk, drawable and spheres
// (per node), fitted: the box of every drawable instance's bulk,
// everything: of every placed point, triangles: of one instance, curve
// (budget.js), full: instances drawn in full, fraction: the part of the
// first one's triangles drawn when not even one fits, boxesArePoints,
// zeroArea: no face has an area as placed }.
export function layOut(model) {
    const [translation, rotation, scale] = [new THREE.Vector3(), new THREE.Quaternion(), new THREE.Vector3()];
    const matrices = model.nodes.map((node) => new THREE.Matrix4().compose(
        translation.fromArray(node.translation), rotation.fromArray(node.rotation), scale.fromArray(node.scale)));
    const { min, max, far } = bulkBox(usedPoints(model));
    const bulk = new THREE.Box3(new THREE.Vector3(...min), new THREE.Vector3(...max));
    const placedBulks = matrices.map((matrix) => placedBox(bulk, matrix));
    const near = (v) => Math.abs(v.x) <= kFarthest && Math.abs(v.y) <= kFarthest && Math.abs(v.z) <= kFarthest;
    const drawable = placedBulks.map((box) => near(box.min) && near(box.max));
    const fitted = new THREE.Box3();
    placedBulks.forEach((box, i) => drawable[i] && fitted.union(box));
    const box = new THREE.Box3(new THREE.Vector3(...model.box.min), new THREE.Vector3(...model.box.max));
    const everything = new THREE.Box3();
    if (box.equals(bulk)) everything.copy(fitted);
    else matrices.forEach((matrix, i) => drawable[i] && everything.union(placedBox(box, matrix)));
    const { lengths, sums: [cx, cy, cz] } = crossFacts(model.positions, model.primitives.map(({ indices }) => indices));
    const { full, fraction } = fullInstances(model.nodes.length, lengths, fitted);
    return {
        matrices, bulk, far, drawable, fitted, everything, full, fraction, triangles: lengths.length,
        spheres: placedBulks.map((placed) => placed.getBoundingSphere(new THREE.Sphere())),
        curve: coverCurve(lengths, bulk.getBoundingSphere(new THREE.Sphere()).radius),
        boxesArePoints: model.nodes.length - full > kMostBoxes,
        // Scaling by S turns a face's normal n into (sy sz nx, sx sz ny, sx sy nz).
        zeroArea: !model.nodes.some(({ scale: [sx, sy, sz] }) => Math.abs(sy * sz) * cx + Math.abs(sx * sz) * cy + Math.abs(sx * sy) * cz > 0),
    };
}

// How many of `count` instances of a model (its triangles' cross products'
// `lengths`) are drawn in full, and when not even one fits, which part of
// the first one's triangles is drawn; `placed`: the box of all.
function fullInstances(count, lengths, placed) {
    const size = placed.getSize(new THREE.Vector3());
    const outline = Math.max(size.x * size.y, size.y * size.z, size.x * size.z);
    const cover = outline > 0 ? facesCover(lengths, outline) : 0;
    const fits = Math.min(kTriangleBudget / Math.max(lengths.length, 1), cover > 0 ? kCoverBudget / cover : Infinity);
    return { full: Math.min(count, Math.max(1, Math.floor(fits))), fraction: Math.min(1, fits) };
}
