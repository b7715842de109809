// The bulk of a model's points: the box of all but a few far ones, so that a
// point at 2147483647 among points a few thousand units apart does not
// shrink the rest below a pixel when the view fits the model.

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

function median(points, axis) {
    const values = new Float64Array(points.length / 3);
    for (let i = 0; i < values.length; i++) values[i] = points[3 * i + axis];
    values.sort();
    return values[values.length >> 1];
}
