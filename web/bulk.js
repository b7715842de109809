// The bulk of a model's points: the box of all but a few far ones, so that a
// point at 2147483647 among points a few thousand units apart does not
// shrink the rest below a pixel when the view fits the model; and the bulk
// as an instance places it.
import * as THREE from "three";

// A gap this many times the reach of the points inside it sets far points apart.
const kFarGap = 100;

// points: x, y, z after each other. Returns { min, max, far }: the box of the
// points that are not far, and how many are. The bulk holds more than half of
// the points: from the component-wise median, the points sorted by their
// distance (the largest of the three coordinate differences) are cut at the
// first gap of kFarGap times the distance before it, if any.
export function bulkBox(points) {
    const count = points.length / 3;
    if (count === 0) return { min: [0, 0, 0], max: [0, 0, 0], far: 0 };
    const centre = [0, 1, 2].map((axis) => median(points, axis));
    const distances = new Float64Array(count);
    for (let i = 0; i < count; i++) {
        const [x, y, z] = [points[3 * i] - centre[0], points[3 * i + 1] - centre[1], points[3 * i + 2] - centre[2]];
        distances[i] = Math.max(Math.abs(x), Math.abs(y), Math.abs(z));
    }
    const sorted = distances.slice().sort();
    let kept = count;
    for (let m = Math.floor(count / 2) + 1; m < count; m++) {
        if (sorted[m - 1] > 0 && sorted[m] > kFarGap * sorted[m - 1]) {
            kept = m;
            break;
        }
    }
    const min = [Infinity, Infinity, Infinity];
    const max = [-Infinity, -Infinity, -Infinity];
    for (let i = 0; i < count; i++) {
        if (distances[i] > sorted[kept - 1]) continue;
        for (let axis = 0; axis < 3; axis++) {
            min[axis] = Math.min(min[axis], points[3 * i + axis]);
            max[axis] = Math.max(max[axis], points[3 * i + axis]);
        }
    }
    return { min, max, far: count - kept };
}

// The coordinates' middle value (the upper one of two), found without sorting them all.
function median(points, axis) {
    const values = new Float64Array(points.length / 3);
    for (let i = 0; i < values.length; i++) values[i] = points[3 * i + axis];
    return select(values, values.length >> 1);
}

// The k-th smallest of `values` (reordered), by Hoare's quickselect.
function select(values, k) {
    let [low, high] = [0, values.length - 1];
    while (low < high) {
        const pivot = values[(low + high) >> 1];
        let [i, j] = [low, high];
        while (i <= j) {
            while (values[i] < pivot) i++;
            while (values[j] > pivot) j--;
            if (i <= j) {
                const swapped = values[i];
                values[i++] = values[j];
                values[j--] = swapped;
            }
        }
        if (k <= j) high = j;
        else if (k >= i) low = i;
        else break;
    }
    return values[k];
}

// The box round `box` as the affine `matrix` places it: its centre placed,
// and its half size through the matrix's absolute values (the box of the
// eight corners placed, at a fraction of the cost).
export function placedBox(box, matrix) {
    const e = matrix.elements;
    const [centre, half] = [box.getCenter(new THREE.Vector3()), box.getSize(new THREE.Vector3()).multiplyScalar(0.5)];
    const placed = new THREE.Box3();
    for (let row = 0; row < 3; row++) {
        const at = e[row] * centre.x + e[row + 4] * centre.y + e[row + 8] * centre.z + e[row + 12];
        const reach = Math.abs(e[row]) * half.x + Math.abs(e[row + 4]) * half.y + Math.abs(e[row + 8]) * half.z;
        placed.min.setComponent(row, at - reach);
        placed.max.setComponent(row, at + reach);
    }
    return placed;
}

// The positions of the points that a model's faces use, each once.
export function usedPoints(model) {
    const used = new Uint8Array(model.positions.length / 3);
    let count = 0;
    for (const { indices } of model.primitives) {
        for (const index of indices) {
            count += 1 - used[index];
            used[index] = 1;
        }
    }
    const points = new Float32Array(3 * count);
    for (let i = 0, k = 0; i < used.length; i++) {
        if (!used[i]) continue;
        points.set(model.positions.subarray(3 * i, 3 * i + 3), 3 * k);
        k++;
    }
    return points;
}
