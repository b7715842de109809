// What the file holds beyond triangles, for the instances drawn in full:
// each face's outline (its points in order, not the triangles it was cut
// into), the two-point elements as lines and the single points as dots.
import * as THREE from "three";

// At most this many placed points in the copies of one kind: beyond it, only
// the first instances get theirs.
const kMostPoints = 1_000_000;
const kColours = { outlines: 0x202020, lines: 0x1f4e9a, dots: 0x1f4e9a };

// The point numbers of the faces' outlines, pair after pair.
export function outlinePairs(faces) {
    const pairs = [];
    for (const face of faces) {
        for (let i = 0; i < face.length; i++) pairs.push(face[i], face[(i + 1) % face.length]);
    }
    return pairs;
}

// One object of `kind` (outlines, lines: `numbers` pair after pair; dots)
// holding the copies of the points `numbers` of `positions` placed by each
// of `matrices` for which shown(i) holds, or null when there are none.
export function placedElements(kind, positions, numbers, matrices, shown) {
    const most = Math.max(1, Math.floor(kMostPoints / Math.max(numbers.length, 1)));
    const chosen = [];
    for (let i = 0; i < matrices.length && chosen.length < most; i++) if (shown(i)) chosen.push(i);
    if (!numbers.length || !chosen.length) return null;
    const placed = new Float32Array(3 * numbers.length * chosen.length);
    const point = new THREE.Vector3();
    let k = 0;
    for (const i of chosen) {
        for (const number of numbers) {
            point.fromArray(positions, 3 * number).applyMatrix4(matrices[i]).toArray(placed, k);
            k += 3;
        }
    }
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(placed, 3));
    return kind === "dots"
        ? new THREE.Points(geometry, new THREE.PointsMaterial({ color: kColours.dots, size: 5, sizeAttenuation: false }))
        : new THREE.LineSegments(geometry, new THREE.LineBasicMaterial({ color: kColours[kind] }));
}

// The objects drawn of each kind of element, placed anew as a whole.
export class ElementObjects {
    constructor(scene) {
        this.scene = scene;
        this.objects = [];
    }

    // The elements `numbers` ({ outlines, lines, dots }) of `positions` for
    // each of `matrices` for which shown(k) holds, of the kinds `kinds`
    // asks for; clip(object) lets the section cut each; face outlines are
    // hidden while the camera is `moving`.
    place(numbers, positions, matrices, shown, { kinds, clip, moving }) {
        this.clear();
        for (const kind of Object.keys(numbers)) {
            const object = kinds[kind] && placedElements(kind, positions, numbers[kind], matrices, shown);
            if (!object) continue;
            object.userData.kind = kind;
            clip(object);
            this.scene.add(object);
            this.objects.push(object);
        }
        this.setMoving(moving);
    }

    setMoving(moving) {
        for (const object of this.objects) if (object.userData.kind === "outlines") object.visible = !moving;
    }

    clear() {
        for (const object of this.objects) {
            this.scene.remove(object);
            object.geometry.dispose();
            object.material.dispose();
        }
        this.objects = [];
    }
}
