// The chain of simplified levels of a model's one shared mesh, each from the
// one before, by meshoptimizer's simplifier: for far instances, which cover
// few pixels. All materials are simplified as one mesh; each triangle of a
// level keeps the material of the triangle it comes from (found at its
// corners), and its corners are copied per material, so that a level is
// drawn in one call with a colour per corner.

// Each level aims at a quarter (1 / kStep) of the triangles of the one before.
const kStep = 4;
const kMostLevels = 6;
// A level whose error passes this part of the bulk's radius is no longer the
// model's shape (random faces simplify to nothing like them): the chain ends.
export const kMostError = 0.5;
// A model whose first level already strays by this part of the radius has
// no shape the simplifier keeps (random faces fill a volume): it gets none.
const kMostFirstError = 0.05;

// model: { positions, primitives: [{ material, indices }] }; radius: of the
// sphere round the bulk. Returns the levels, finest first: { positions,
// materials (one per corner), indices, triangles, error (in the model's
// units: how far a level's surface may lie from the model's) }.
export function makeLevels(simplifier, model, radius) {
    const source = joinedTriangles(model);
    const scale = simplifier.getScale(model.positions, 3);
    const levels = [];
    let indices = source.indices;
    let error = 0;
    while (levels.length < kMostLevels && indices.length >= 3 * kStep) {
        const target = 3 * Math.floor(indices.length / 3 / kStep);
        const most = (levels.length ? kMostError : kMostFirstError) * radius;
        // The first level is asked within the whole chain's error, which keeps
        // the levels after it better, and again within its own where it strays.
        let [simplified, reached] = simplifiedTowards(simplifier, indices, model.positions, target, (kMostError * radius - error) / scale);
        if (!levels.length && reached * scale > most) [simplified, reached] = simplifiedTowards(simplifier, indices, model.positions, target, most / scale);
        error += reached * scale;
        if (simplified.length === 0 || simplified.length > indices.length / 2 || !(error <= most)) break;
        levels.push({ ...levelMesh(model.positions, simplified, source), triangles: simplified.length / 3, error });
        indices = simplified;
    }
    return levels;
}

// `indices` simplified towards `target` indices within `limit` (relative to
// the mesh's size): [indices, the error reached]. Where the mesh's topology
// holds the simplifier back, collapsing by cells may go further.
function simplifiedTowards(simplifier, indices, positions, target, limit) {
    const simplified = simplifier.simplify(indices, positions, 3, target, limit);
    if (simplified[0].length <= 1.5 * target) return simplified;
    const sloppy = simplifier.simplifySloppy(indices, positions, 3, null, target, limit);
    return sloppy[0].length < simplified[0].length ? sloppy : simplified;
}

// Every triangle of the model in one index list, with each one's material
// and, per point, the triangles that use it (`first`, `uses`: a CSR list).
function joinedTriangles(model) {
    const count = model.primitives.reduce((sum, { indices }) => sum + indices.length, 0);
    const indices = new Uint32Array(count);
    const materials = new Uint32Array(count / 3);
    let at = 0;
    for (const { material, indices: part } of model.primitives) {
        indices.set(part, at);
        materials.fill(material, at / 3, (at + part.length) / 3);
        at += part.length;
    }
    const points = model.positions.length / 3;
    const first = new Uint32Array(points + 1);
    for (const point of indices) first[point + 1]++;
    for (let p = 0; p < points; p++) first[p + 1] += first[p];
    const uses = new Uint32Array(count);
    const filled = first.slice(0, points);
    for (let i = 0; i < count; i++) uses[filled[indices[i]]++] = Math.floor(i / 3);
    return { indices, materials, first, uses };
}

// The material of the model's triangle that shares the most corners with a, b, c.
function materialAt(source, a, b, c) {
    let best = -1;
    let shared = 0;
    for (const corner of [a, b, c]) {
        for (let u = source.first[corner]; u < source.first[corner + 1]; u++) {
            const t = source.uses[u];
            let count = 0;
            for (let k = 0; k < 3; k++) {
                const point = source.indices[3 * t + k];
                count += point === a || point === b || point === c ? 1 : 0;
            }
            if (count > shared) [best, shared] = [t, count];
            if (shared === 3) return source.materials[best];
        }
    }
    return source.materials[best];
}

// A level's own corners, one per point and material, and its triangles renumbered to them.
function levelMesh(positions, simplified, source) {
    const numbers = new Map();  // point * 2^20 + material (fewer than 2^20 materials): corner number
    const taken = [];
    const indices = new Uint32Array(simplified.length);
    for (let i = 0; i < simplified.length; i += 3) {
        const material = materialAt(source, simplified[i], simplified[i + 1], simplified[i + 2]);
        for (let k = 0; k < 3; k++) {
            const key = simplified[i + k] * 2 ** 20 + material;
            if (!numbers.has(key)) {
                numbers.set(key, taken.length);
                taken.push(key);
            }
            indices[i + k] = numbers.get(key);
        }
    }
    const corners = new Float32Array(3 * taken.length);
    const materials = new Uint32Array(taken.length);
    taken.forEach((key, k) => {
        const point = Math.floor(key / 2 ** 20);
        corners.set(positions.subarray(3 * point, 3 * point + 3), 3 * k);
        materials[k] = key % 2 ** 20;
    });
    return { positions: corners, materials, indices };
}
