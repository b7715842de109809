// Far instances drawn as the model's simplified levels (levels.js), chosen
// anew for every frame from the size of each instance on the screen: the
// coarsest level whose error stays under a pixel, where the frame's budgets
// allow, else under 2, 3 or 4 pixels. Instances under two pixels across,
// and those that even the coarsest levels cannot fit into the budgets,
// stand in as dots; instances out of sight are left out. A level is one
// instanced draw, its materials' colours given per corner; the full level
// keeps its draw per material (textures), so a frame's draw calls are the
// full level's materials, one per level (at most 6) and one for the dots.
import * as THREE from "three";
import { coverAt, coverCurve, crossFacts, discOnScreen } from "./budget.js";
import { kStandIn } from "./model_meshes.js";

// An instance whose disc is under this radius (pixels) stands in as a dot.
export const kLeastRadius = 1;
// The errors (pixels) tried in turn, until the frame's budgets hold.
export const kTolerances = [1, 2, 3, 4];
export const kDot = -1;
export const kNotDrawn = -2;

// The level of each instance at this view, from the radius of its disc on
// the screen in pixels (`radii`: 0 where it is not drawn or out of sight)
// and the screens its disc covers (`screens`). levels: finest first, the
// full mesh first of all: { ratio: error over the bulk's radius, triangles,
// curve: coverCurve of its faces }. budget: { triangles, screens, full:
// how many instances the full level can hold }. The largest instance drawn
// in full may pass the screens alone: the close-up share of the triangles
// drawn in full (drawn_model.js) holds it then.
// Returns { chosen: per instance a level, kDot or kNotDrawn, tolerance
// (pixels), triangles, simplified, standIns, cut: stood in for the budget }.
export function chooseLevels(radii, screens, levels, budget) {
    const chosen = new Int8Array(radii.length);
    for (const tolerance of kTolerances) {
        const sums = assign(radii, screens, levels, tolerance, chosen);
        if (sums.triangles <= budget.triangles && screensWith(sums, 0, 0) <= budget.screens && sums.full <= budget.full) {
            return { chosen, tolerance, ...sums, cut: 0 };
        }
    }
    return cutToBudget(radii, screens, levels, budget, chosen);
}

// The coarsest level whose error at a disc of `radius` pixels is within `tolerance`.
function levelFor(levels, radius, tolerance) {
    for (let k = levels.length - 1; k > 0; k--) if (levels[k].ratio * radius <= tolerance) return k;
    return 0;
}

// The screens that count against the budget with one more instance at
// `level` covering `cover`: all but the largest instance drawn in full.
function screensWith(sums, level, cover) {
    const largest = level === 0 ? Math.max(sums.largestFull, cover) : sums.largestFull;
    return sums.cover + sums.fullCover + cover - largest;
}

const noSums = () => ({ triangles: 0, cover: 0, fullCover: 0, largestFull: 0, full: 0, simplified: 0, standIns: 0 });

function assign(radii, screens, levels, tolerance, chosen) {
    const sums = noSums();
    for (let i = 0; i < radii.length; i++) {
        const radius = radii[i];
        if (!(radius > 0)) chosen[i] = kNotDrawn;
        else if (radius < kLeastRadius) chosen[i] = kDot;
        else chosen[i] = levelFor(levels, radius, tolerance);
        count(sums, levels, chosen[i], screens[i], 1);
    }
    return sums;
}

// Adds (way 1) or takes away (way -1) an instance at `level` to the sums.
function count(sums, levels, level, screens, way) {
    if (level === kDot) sums.standIns += way;
    if (level < 0) return;
    sums.triangles += way * levels[level].triangles;
    const cover = coverAt(levels[level].curve, screens);
    if (level === 0) {
        sums.full += way;
        sums.fullCover += way * cover;
        sums.largestFull = Math.max(sums.largestFull, cover);
    } else {
        sums.simplified += way;
        sums.cover += way * cover;
    }
}

// Where no tolerance fits: every instance at the coarsest level, the largest
// on the screen first, as far as the budgets allow (the rest are dots); then
// finer levels, the largest first, up to the level for the largest
// tolerance, as far as what is left of the budgets allows.
function cutToBudget(radii, screens, levels, budget, chosen) {
    const [tolerance, coarsest] = [kTolerances.at(-1), levels.length - 1];
    const sums = noSums();
    const order = [];
    for (let i = 0; i < radii.length; i++) {
        if (radii[i] >= kLeastRadius) order.push(i);
        else count(sums, levels, (chosen[i] = radii[i] > 0 ? kDot : kNotDrawn), screens[i], 1);
    }
    order.sort((a, b) => radii[b] - radii[a]);
    const fits = (i, k) => {
        const cover = coverAt(levels[k].curve, screens[i]);
        return sums.triangles + levels[k].triangles <= budget.triangles && (k > 0 || sums.full < budget.full)
            && screensWith(sums, k, cover) <= budget.screens;
    };
    let cut = 0;
    for (const i of order) {
        chosen[i] = fits(i, coarsest) ? coarsest : kDot;
        if (chosen[i] === kDot) cut++;
        count(sums, levels, chosen[i], screens[i], 1);
    }
    for (const i of order) {
        if (chosen[i] !== coarsest) continue;
        count(sums, levels, coarsest, screens[i], -1);
        let level = levelFor(levels, radii[i], tolerance);
        while (level < coarsest && !fits(i, level)) level++;
        chosen[i] = level;
        count(sums, levels, level, screens[i], 1);
    }
    // The largest drawn in full counts against no budget of screens: what it leaves may take more.
    for (const i of order) {
        if (chosen[i] !== kDot || !fits(i, coarsest)) continue;
        count(sums, levels, kDot, screens[i], -1);
        count(sums, levels, (chosen[i] = coarsest), screens[i], 1);
        cut--;
    }
    return { chosen, tolerance, ...sums, cut };
}

// The levels' instanced meshes and the dots, placed for each frame's choice.
export class Detail {
    // made: the levels from levels.js; colours: per material, linear RGB;
    // radius: of the bulk's sphere; full: { triangles, curve } of the model;
    // count: the instances; budget: { triangles, screens, full: how many
    // instances the full level holds }.
    constructor(scene, made, { colours, radius, full, count, budget }) {
        this.scene = scene;
        this.budget = budget;
        this.levels = [{ ratio: 0, ...full }, ...made.map((level) => ({
            ratio: level.error / radius, triangles: level.triangles, curve: coverCurve(crossFacts(level.positions, [level.indices]).lengths, radius),
        }))];
        const material = new THREE.MeshStandardMaterial({
            vertexColors: true, side: THREE.DoubleSide, metalness: 0, roughness: 1, flatShading: true,
            polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1,
        });
        this.meshes = made.map((level) => {
            const mesh = new THREE.InstancedMesh(levelGeometry(level, colours), material, count);
            mesh.instanceMatrix.setUsage(THREE.DynamicDrawUsage);
            mesh.frustumCulled = false;
            scene.add(mesh);
            return mesh;
        });
        const dots = new THREE.BufferGeometry();
        dots.setAttribute("position", new THREE.BufferAttribute(new Float32Array(3 * count), 3).setUsage(THREE.DynamicDrawUsage));
        this.dots = new THREE.Points(dots, new THREE.PointsMaterial({ color: kStandIn, size: 3, sizeAttenuation: false }));
        this.dots.frustumCulled = false;
        scene.add(this.dots);
        this.radii = new Float32Array(count);
        this.screens = new Float64Array(count);
        this.choice = null;
    }

    // Chooses every instance's level for `camera` (its matrices up to date)
    // on a drawing `height` pixels high; drawn(i): whether instance i is.
    choose(camera, height, spheres, drawn) {
        for (let i = 0; i < spheres.length; i++) {
            const disc = drawn(i) ? discOnScreen(spheres[i], camera) : { screens: 0, radius: 0 };
            this.radii[i] = disc.screens > 0 ? (disc.radius * height) / 2 : 0;
            this.screens[i] = disc.screens;
        }
        this.choice = chooseLevels(this.radii, this.screens, this.levels, this.budget);
        return this.choice;
    }

    // Places the chosen instances (matrices, and dots at the centres of
    // `spheres`); returns those of the full level, in order.
    place(matrices, spheres) {
        const { chosen } = this.choice;
        const counts = new Array(this.levels.length).fill(0);
        const full = [];
        const dots = this.dots.geometry.attributes.position;
        let standIns = 0;
        for (let i = 0; i < chosen.length; i++) {
            const level = chosen[i];
            if (level === 0) full.push(i);
            else if (level > 0) this.meshes[level - 1].instanceMatrix.array.set(matrices[i].elements, 16 * counts[level]++);
            else if (level === kDot) spheres[i].center.toArray(dots.array, 3 * standIns++);
        }
        this.meshes.forEach((mesh, k) => {
            mesh.count = counts[k + 1];
            mesh.visible = mesh.count > 0;
            mesh.instanceMatrix.clearUpdateRanges();
            mesh.instanceMatrix.addUpdateRange(0, 16 * mesh.count);
            mesh.instanceMatrix.needsUpdate = true;
        });
        this.dots.geometry.setDrawRange(0, standIns);
        this.dots.visible = standIns > 0;
        dots.clearUpdateRanges();
        dots.addUpdateRange(0, 3 * standIns);
        dots.needsUpdate = true;
        return full;
    }

    // Draws none of the levels or dots (until the next place).
    hide() {
        for (const object of this.objects()) object.visible = false;
    }

    objects() {
        return [...this.meshes, this.dots];
    }
}

function levelGeometry(level, colours) {
    const corners = level.materials.length;
    const colour = new Float32Array(3 * corners);
    for (let k = 0; k < corners; k++) colour.set(colours[level.materials[k]], 3 * k);
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(level.positions, 3));
    geometry.setAttribute("color", new THREE.BufferAttribute(colour, 3));
    geometry.setIndex(new THREE.BufferAttribute(corners < 65536 ? Uint16Array.from(level.indices) : level.indices, 1));
    return geometry;
}
