// What a frame may cost, counted on the screen: the faces drawn may cover it
// at most kScreens times in sum, however close the camera comes. In a
// software renderer a frame's time is what its faces cover; a model of large
// faces, seen close up, covers the screen thousands of times.
// An instance's share is estimated from its bulk's bounding sphere as the
// camera sees it and from how the model's faces divide that sphere's disc;
// a face covers at most the whole screen.

export const kScreens = 8;

// The model's triangles as shares of the disc of a sphere of `radius` (its
// bulk's), largest first, with running sums: { shares, sums, total }.
export function coverCurve(crossLengths, radius) {
    const disc = Math.PI * radius * radius;
    const shares = Float64Array.from(crossLengths, (length) => (disc > 0 ? Math.min(length / 2 / disc, 1) : 0)).sort().reverse();
    const sums = new Float64Array(shares.length + 1);
    shares.forEach((share, i) => {
        sums[i + 1] = sums[i] + share;
    });
    return { shares, sums, total: sums[shares.length] };
}

// How many screens the triangles cover in sum where their disc covers
// `screens` screens: each its share of that, at most one screen.
export function coverAt(curve, screens) {
    if (!(screens > 0)) return 0;
    if (!Number.isFinite(screens)) return curve.shares.length;
    let full = 0;  // the triangles that cover the whole screen lead the list
    for (let high = curve.shares.length; full < high;) {
        const middle = (full + high) >> 1;
        if (curve.shares[middle] * screens >= 1) full = middle + 1;
        else high = middle;
    }
    return full + screens * (curve.total - curve.sums[full]);
}

// How many screens the disc of the sphere `sphere` (in the scene) covers as
// `camera` sees it (its matrices up to date): Infinity where the camera is
// inside it, 0 where it lies off the screen.
export function discScreens(sphere, camera) {
    return discOnScreen(sphere, camera).screens;
}

// The disc of `sphere` as `camera` sees it: { screens, as discScreens
// counts them, radius: up the screen, in device coordinates (the screen is
// 2 high; Infinity where the camera is inside the sphere) }.
export function discOnScreen(sphere, camera) {
    const e = camera.projectionMatrix.elements;
    const m = camera.matrixWorldInverse.elements;
    const { x, y, z } = sphere.center;
    const view = [0, 1, 2].map((row) => m[row] * x + m[row + 4] * y + m[row + 8] * z + m[row + 12]);
    const depth = camera.isPerspectiveCamera ? -view[2] : 1;
    if (camera.isPerspectiveCamera && depth <= sphere.radius) {
        return -view[2] < -sphere.radius ? { screens: 0, radius: 0 } : { screens: Infinity, radius: Infinity };
    }
    const [rx, ry] = [(sphere.radius * e[0]) / depth, (sphere.radius * e[5]) / depth];
    const [cx, cy] = [(view[0] * e[0]) / depth + (camera.isPerspectiveCamera ? 0 : e[12]), (view[1] * e[5]) / depth + (camera.isPerspectiveCamera ? 0 : e[13])];
    if (Math.abs(cx) > 1 + rx || Math.abs(cy) > 1 + ry) return { screens: 0, radius: 0 };
    return { screens: (Math.PI * rx * ry) / 4, radius: ry };
}

// Of each triangle's cross product of two edges (twice its area, along its
// normal), in the model's own units: its length (`lengths`, one per
// triangle), and the sums of the size of each of its components (`sums`).
// `triangles`: lists of point numbers, three by three.
export function crossFacts(positions, triangles) {
    const lengths = new Float64Array(triangles.reduce((sum, indices) => sum + indices.length / 3, 0));
    const sums = [0, 0, 0];
    let k = 0;
    const p = positions;
    for (const indices of triangles) {
        for (let i = 0; i < indices.length; i += 3) {
            const [a, b, c] = [3 * indices[i], 3 * indices[i + 1], 3 * indices[i + 2]];
            const [ux, uy, uz] = [p[b] - p[a], p[b + 1] - p[a + 1], p[b + 2] - p[a + 2]];
            const [vx, vy, vz] = [p[c] - p[a], p[c + 1] - p[a + 1], p[c + 2] - p[a + 2]];
            const [x, y, z] = [uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx];
            lengths[k++] = Math.hypot(x, y, z);
            sums[0] += Math.abs(x);
            sums[1] += Math.abs(y);
            sums[2] += Math.abs(z);
        }
    }
    return { lengths, sums };
}

// How often the faces cover an outline of area `outline` in sum, none
// counted larger than the outline (a face beyond it is cut off on screen).
export function facesCover(lengths, outline) {
    return lengths.reduce((cover, length) => cover + Math.min(length / 2, outline) / outline, 0);
}
