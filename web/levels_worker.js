// The worker that makes a model's simplified levels (levels.js), away from
// the page's frames. In: { id, positions, primitives, radius }. Out: { id,
// levels, ms } or { id, failed }.
import { MeshoptSimplifier } from "meshoptimizer/simplifier";
import { makeLevels } from "./levels.js";

onmessage = async ({ data: { id, positions, primitives, radius } }) => {
    try {
        await MeshoptSimplifier.ready;
        const started = performance.now();
        const levels = makeLevels(MeshoptSimplifier, { positions, primitives }, radius);
        const transfers = levels.flatMap((level) => [level.positions.buffer, level.materials.buffer, level.indices.buffer]);
        postMessage({ id, levels, ms: performance.now() - started }, transfers);
    } catch (error) {
        postMessage({ id, failed: `${error}` });
    }
};
