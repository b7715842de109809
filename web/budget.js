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
    const e = camera.projectionMatrix.elements;
    const view = sphere.center.clone().applyMatrix4(camera.matrixWorldInverse);
    const depth = camera.isPerspectiveCamera ? -view.z : 1;
    if (camera.isPerspectiveCamera && depth <= sphere.radius) return -view.z < -sphere.radius ? 0 : Infinity;
    const [rx, ry] = [(sphere.radius * e[0]) / depth, (sphere.radius * e[5]) / depth];
    const [cx, cy] = [(view.x * e[0]) / depth + (camera.isPerspectiveCamera ? 0 : e[12]), (view.y * e[5]) / depth + (camera.isPerspectiveCamera ? 0 : e[13])];
    if (Math.abs(cx) > 1 + rx || Math.abs(cy) > 1 + ry) return 0;
    return (Math.PI * rx * ry) / 4;  // the screen is 2 by 2 in device coordinates
}
