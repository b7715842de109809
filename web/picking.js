// Picking and measuring: which instance, and which of its points, lies under
// the pointer, and the marks of a measurement.
// Each instance's box is tested first and then only the triangles of the
// instances whose boxes the ray meets, nearest first: a raycast over every
// instance and triangle would freeze on the largest model.
import * as THREE from "three";

export class Picker {
    // model: readGlb's; matrices: one per node; full: the nodes drawn in full
    // (the others stand in as `standIn` boxes); fraction: the part of the
    // triangles drawn when not even one instance fits.
    constructor(model, matrices, full, fraction, standIn) {
        this.matrices = matrices;
        this.inverses = matrices.map((matrix) => (matrix.determinant() !== 0 ? matrix.clone().invert() : null));
        this.full = full;
        this.focus = null;  // a stand-in drawn in full as the selection
        this.box = new THREE.Box3(new THREE.Vector3(...model.box.min), new THREE.Vector3(...model.box.max));
        this.standIn = standIn;
        this.mesh = drawnTriangles(model, fraction);
        this.raycaster = new THREE.Raycaster();
    }

    // The nearest hit of the ray through `pointer` (normalised device
    // coordinates) from `camera` on a node for which shown(i) holds, on the
    // side that the plane `section` (if any) keeps, or null:
    // { node, distance, position (in the scene), point (the nearest corner of
    // the hit triangle, by number; null on a stand-in box) }.
    pick(pointer, camera, shown, section = null) {
        this.raycaster.setFromCamera(pointer, camera);
        const ray = this.raycaster.ray;
        const kept = (position) => !section || section.distanceToPoint(position) >= 0;
        let best = null;
        for (const { node, distance } of this.boxHits(ray, shown)) {
            if (best && distance > best.distance) break;
            const hit = this.inFull(node) ? this.triangleHit(node, kept)
                : kept(ray.at(distance, new THREE.Vector3())) && { distance, point: null, position: ray.at(distance, new THREE.Vector3()) };
            if (hit && (!best || hit.distance < best.distance)) best = { node, ...hit };
        }
        return best;
    }

    // The nodes whose boxes the ray meets, nearest entry first.
    boxHits(ray, shown) {
        const local = new THREE.Ray();
        const entry = new THREE.Vector3();
        const hits = [];
        for (let i = 0; i < this.matrices.length; i++) {
            if (!this.inverses[i] || !shown(i)) continue;
            local.copy(ray).applyMatrix4(this.inverses[i]);
            const box = this.inFull(i) ? this.box : this.standIn;
            if (box.containsPoint(local.origin)) hits.push({ node: i, distance: 0 });
            else if (local.intersectBox(box, entry)) hits.push({ node: i, distance: entry.applyMatrix4(this.matrices[i]).distanceTo(ray.origin) });
        }
        return hits.sort((a, b) => a.distance - b.distance);
    }

    inFull(node) {
        return node < this.full || node === this.focus;
    }

    // The nearest hit on node `node`'s triangles where kept(position) holds;
    // its point is the nearest corner that is kept too (null: none is).
    triangleHit(node, kept) {
        this.mesh.matrixWorld.copy(this.matrices[node]);
        const hit = this.raycaster.intersectObject(this.mesh, false).find(({ point }) => kept(point));
        if (!hit) return null;
        const corners = [hit.face.a, hit.face.b, hit.face.c].filter((corner) => kept(this.placed(node, corner)));
        const away = (corner) => this.placed(node, corner).distanceTo(hit.point);
        const point = corners.length ? corners.reduce((a, b) => (away(a) <= away(b) ? a : b)) : null;
        return { distance: hit.distance, point, position: hit.point };
    }

    // The numbers of the points that the drawn triangles use, in order.
    corners() {
        this.cornerList ??= [...new Set(this.mesh.geometry.index.array)].sort((a, b) => a - b);
        return this.cornerList;
    }

    // Where node `node` places point `point`, in the scene.
    placed(node, point) {
        return new THREE.Vector3().fromBufferAttribute(this.mesh.geometry.attributes.position, point).applyMatrix4(this.matrices[node]);
    }
}

// One mesh of the drawn triangles of every material, over all the model's
// points, so that a hit names the point by its number in the file.
function drawnTriangles(model, fraction) {
    const parts = model.primitives.map(({ indices }) => indices.subarray(0, 3 * Math.floor((fraction * indices.length) / 3)));
    const index = new Uint32Array(parts.reduce((sum, part) => sum + part.length, 0));
    let offset = 0;
    for (const part of parts) {
        index.set(part, offset);
        offset += part.length;
    }
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(model.positions, 3));
    geometry.setIndex(new THREE.BufferAttribute(index, 1));
    geometry.computeBoundingSphere();
    const mesh = new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({ side: THREE.DoubleSide }));
    mesh.matrixAutoUpdate = false;
    return mesh;
}

// The measured points (scene positions) and the line between them, drawn over the model.
export function measureMarks(positions, colour = 0xd0202a) {
    const geometry = new THREE.BufferGeometry().setFromPoints(positions);
    const marks = new THREE.Group();
    marks.add(new THREE.Points(geometry, new THREE.PointsMaterial({ color: colour, size: 8, sizeAttenuation: false, depthTest: false })));
    if (positions.length > 1) marks.add(new THREE.Line(geometry, new THREE.LineBasicMaterial({ color: colour, depthTest: false })));
    marks.renderOrder = 1;
    return marks;
}
