// The worker that makes a model's simplified levels (levels.js), away from
// the page's frames. In: { positions, primitives, radius }. Out: { levels,
// ms } or { failed }.
import { MeshoptSimplifier } from "meshoptimizer/simplifier";
import { makeLevels } from "./levels.js";

onmessage = async ({ data: { positions, primitives, radius } }) => {
    try {
        await MeshoptSimplifier.ready;
        const started = performance.now();
        const levels = makeLevels(MeshoptSimplifier, { positions, primitives }, radius);
        const transfers = levels.flatMap((level) => [level.positions.buffer, level.materials.buffer, level.indices.buffer]);
        postMessage({ levels, ms: performance.now() - started }, transfers);
    } catch (error) {
        postMessage({ failed: `${error}` });
    }
};
