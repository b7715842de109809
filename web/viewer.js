// The scene and its budget: three.js draws the model's instances upright,
// lit and fitted, one instanced mesh per material, within a budget of
// triangles and of covered area; instances beyond it are drawn as boxes, and
// the page says so. A frame is drawn only when something changed.
import * as THREE from "three";
import { bulkBox } from "./bulk.js";
import { outlinePairs, placedElements } from "./elements.js";
import { groundGrid, Navigation, sectionPlane } from "./navigation.js";
import { measureMarks, Picker } from "./picking.js";

const kTriangleBudget = 4_000_000;
// How often the drawn faces may cover the model's outline in sum: beyond it a
// frame takes seconds in a software renderer (and models of large, criss-crossing
// faces are slow on any GPU), so only part is drawn and the rest stands in as boxes.
const kCoverBudget = 16;
// Beyond this many instances in stand-in, each is a point at its box's centre.
const kMostBoxes = 4096;
const kHighlight = new THREE.Color(1.0, 0.75, 0.2);
const kPlain = new THREE.Color(1, 1, 1);
const kHidden = new THREE.Matrix4().makeScale(0, 0, 0);
const kSunFrom = new THREE.Vector3(0.4, 1, 0.7);

export class Viewer {
    // Without WebGL the view is not `working` from the start; `onLost` is told
    // when it stops working later (the graphics context lost).
    constructor(container) {
        this.meshes = [];  // the instanced meshes of full instances
        this.boxes = null;  // the stand-in boxes
        this.matrices = [];
        this.full = 0;
        this.picker = null;
        this.section = null;  // the plane that cuts the model, if any
        this.fitted = null;  // the box of the first view
        this.grid = null;  // { step, helper }
        this.gridShown = false;
        this.marks = null;  // the measured points and the line between them
        this.onLost = () => {};
        this.lost = false;
        try {
            this.renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
        } catch {
            this.renderer = null;
            return;
        }
        const canvas = this.renderer.domElement;
        this.renderer.setPixelRatio(window.devicePixelRatio);
        this.renderer.localClippingEnabled = true;  // the section cuts the model, not the grid or the marks
        canvas.tabIndex = 0;
        canvas.setAttribute("aria-label", "3D view: drag or arrow keys to turn and pan, scroll to zoom, "
            + "plus and minus to zoom, click an instance to select it; the view's other keys are named on its toolbar");
        container.append(canvas);
        canvas.addEventListener("webglcontextlost", (event) => {
            event.preventDefault();
            this.lost = true;
            this.onLost();
        });
        this.scene = new THREE.Scene();
        this.scene.background = new THREE.Color(0xe8eef4);
        this.scene.add(new THREE.HemisphereLight(0xffffff, 0x8a8a80, 2.2));
        this.sun = new THREE.DirectionalLight(0xffffff, 1.6);
        this.scene.add(this.sun);
        this.navigation = new Navigation(canvas, () => this.render(), (moving) => this.setMoving(moving));
        this.axes = container.ownerDocument.getElementById("axes");
        // The elements beyond triangles: their point numbers (kon2info's), whether each kind is shown, the objects drawn.
        this.elements = { outlines: [], lines: [], dots: [] };
        this.elementsShown = { outlines: false, lines: true, dots: true };
        this.elementObjects = [];
        new ResizeObserver(() => this.resize(container)).observe(container);
        this.resize(container);
    }

    get working() {
        return this.renderer !== null && !this.lost;
    }

    resize(container) {
        const { width, height } = container.getBoundingClientRect();
        if (!this.renderer || width === 0 || height === 0) return;
        this.renderer.setSize(width, height);
        this.navigation.setAspect(width / height);
        this.render();
    }

    render() {
        if (!this.working) return;
        this.renderer.render(this.scene, this.navigation.camera);
        // The marker follows once per screen frame, apart from drawing the view.
        if (this.axes && !this.axesDue) {
            this.axesDue = true;
            requestAnimationFrame(() => {
                this.axesDue = false;
                this.navigation.drawAxes(this.axes);
            });
        }
    }

    // Frees everything the last model held.
    clear() {
        this.removeMarks();
        this.removeGrid();
        for (const object of [...this.meshes, this.boxes].filter(Boolean)) {
            this.scene.remove(object);
            object.geometry.dispose();
            object.material.map?.dispose();
            object.material.dispose();
            object.dispose?.();
        }
        this.meshes = [];
        this.boxes = null;
        this.matrices = [];
        this.full = 0;
        this.picker = null;
        this.fitted = null;
        this.model = null;
        this.placeElements();
        this.setSection({ axis: "" });
        this.renderer?.renderLists.dispose();
        this.render();
    }

    // Shows a model read by readGlb that has faces and nodes; `images` maps
    // NNNN to an ImageBitmap. Returns what is drawn: { full: instances drawn
    // in full, fraction: the part of the first one's triangles drawn when not
    // even one fits, boxesArePoints, trianglesDrawn, triangles: of the whole
    // model, far: points that faces use far outside the others, zeroArea: no
    // face has an area as placed, size: of the box of every placed point }.
    show(model, images, elements = { dots: [], lines: [], faces: [] }) {
        this.clear();
        this.model = model;
        this.elements = { outlines: outlinePairs(elements.faces), lines: elements.lines, dots: elements.dots };
        this.matrices = model.nodes.map((node) => new THREE.Matrix4().compose(
            new THREE.Vector3(...node.translation), new THREE.Quaternion(...node.rotation), new THREE.Vector3(...node.scale)));
        const bulk = bulkBox(usedPoints(model));
        this.bulk = new THREE.Box3(new THREE.Vector3(...bulk.min), new THREE.Vector3(...bulk.max));
        const everything = this.placed(new THREE.Box3(new THREE.Vector3(...model.box.min), new THREE.Vector3(...model.box.max)));
        this.navigation.radius = Math.max(1, everything.getBoundingSphere(new THREE.Sphere()).radius);
        const fitted = this.placed(this.bulk);
        const triangles = model.primitives.reduce((sum, p) => sum + p.indices.length / 3, 0);
        const { full, fraction } = this.budget(model, triangles, fitted);
        this.full = full;
        this.boxesArePoints = model.nodes.length - full > kMostBoxes;
        let drawn = 0;
        if (this.working) {
            drawn = this.addModel(model, images, fraction);
            if (full < model.nodes.length) this.addBoxes();
            this.picker = new Picker(model, this.matrices, full, fraction, this.bulk);
            this.fitted = fitted;
            this.placeGrid();
            // Lit and fitted before the first frame: a frame from elsewhere can take seconds.
            const sphere = fitted.getBoundingSphere(new THREE.Sphere());
            this.sun.position.copy(sphere.center).addScaledVector(kSunFrom, this.navigation.distanceToSee(sphere.radius));
            this.navigation.fit(fitted);
        }
        const [cx, cy, cz] = crossSums(model);
        return {
            full, fraction, boxesArePoints: this.boxesArePoints, far: bulk.far,
            trianglesDrawn: fraction < 1 ? drawn : drawn * full, triangles: triangles * model.nodes.length,
            // Scaling by S turns a face's normal n into (sy sz nx, sx sz ny, sx sy nz).
            zeroArea: !model.nodes.some(({ scale: [sx, sy, sz] }) => Math.abs(sy * sz) * cx + Math.abs(sx * sz) * cy + Math.abs(sx * sy) * cz > 0),
            size: everything.getSize(new THREE.Vector3()),
        };
    }

    // One instanced mesh per material; returns the triangles
    // drawn of one instance.
    addModel(model, images, fraction) {
        const points = model.positions.length / 3;
        const marks = { stamp: new Int32Array(points), number: new Int32Array(points) };
        let drawn = 0;
        for (const [generation, primitive] of model.primitives.entries()) {
            const geometry = compactGeometry(model, primitive.indices, marks, generation + 1);
            const count = 3 * Math.floor((fraction * primitive.indices.length) / 3);
            geometry.setDrawRange(0, count);
            drawn += count / 3;
            this.addInstanced(geometry, surfaceMaterial(model, primitive.material, images));
        }
        return drawn;
    }

    // How many instances are drawn in full, and when not even one fits, which
    // part of the first one's triangles is drawn.
    budget(model, triangles, placed) {
        const size = placed.getSize(new THREE.Vector3());
        const outline = Math.max(size.x * size.y, size.y * size.z, size.x * size.z);
        const cover = outline > 0 ? facesCover(model, outline) : 0;
        const fits = Math.min(kTriangleBudget / Math.max(triangles, 1), cover > 0 ? kCoverBudget / cover : Infinity);
        const full = Math.min(model.nodes.length, Math.max(1, Math.floor(fits)));
        return { full, fraction: Math.min(1, fits) };
    }

    // The box `box` of the model placed by every instance (for which shown(i) holds).
    placed(box, shown = () => true) {
        const all = new THREE.Box3();
        this.matrices.forEach((matrix, i) => {
            if (shown(i)) all.union(box.clone().applyMatrix4(matrix));
        });
        return all;
    }

    // The bulk of the instances for which shown(i) holds in sight, from the
    // view `name`; false when none is shown.
    fitTo(shown, name) {
        const box = this.placed(this.bulk, shown);
        if (!this.working || box.isEmpty()) return false;
        this.navigation.fit(box, name);
        return true;
    }

    // The view `name` of the whole model as first shown (reset: the oblique one).
    showView(name) {
        if (this.working && this.fitted) this.navigation.fit(this.fitted, name);
    }

    zoom(factor) {
        if (this.working && this.fitted) this.navigation.zoom(factor);
    }

    // Cuts the model with sectionPlane's plane (axis "": not at all); what is
    // cut away is neither drawn nor picked.
    setSection({ axis, at, flipped }) {
        this.section = axis && this.fitted ? sectionPlane(this.fitted, axis, at, flipped) : null;
        if (!this.working) return;
        for (const object of [...this.meshes, this.boxes, ...this.elementObjects]) this.clip(object);
        this.render();
    }

    // Lets the section plane cut `object` (none: nothing).
    clip(object) {
        if (!object) return;
        object.material.clippingPlanes = this.section ? [this.section] : null;
        object.material.needsUpdate = true;
    }

    setOrthographic(on) {
        if (this.working) this.navigation.setOrthographic(on);
    }

    // The grid on the ground under the model, in squares of `grid.step` units.
    setGrid(shown) {
        this.gridShown = shown;
        this.placeGrid();
        this.render();
    }

    placeGrid() {
        this.removeGrid();
        if (this.gridShown && this.fitted && this.working) {
            this.grid = groundGrid(this.fitted);
            this.scene.add(this.grid.helper);
        }
    }

    removeGrid() {
        if (!this.grid) return;
        this.scene.remove(this.grid.helper);
        this.grid.helper.dispose();
        this.grid = null;
    }

    // The instance and point under `pointer` (normalised device coordinates)
    // among the nodes for which shown(i) holds: Picker.pick's answer, or null.
    pick(pointer, shown) {
        return this.picker && this.working ? this.picker.pick(pointer, this.navigation.camera, shown, this.section) : null;
    }

    // Marks the measured points (scene positions) and the line between them.
    setMarks(positions) {
        this.removeMarks();
        if (positions.length) {
            this.marks = measureMarks(positions);
            this.scene.add(this.marks);
        }
        this.render();
    }

    removeMarks() {
        if (!this.marks) return;
        this.scene.remove(this.marks);
        this.marks.traverse((object) => {
            object.geometry?.dispose();
            object.material?.dispose();
        });
        this.marks = null;
    }

    addInstanced(geometry, material) {
        const mesh = new THREE.InstancedMesh(geometry, material, this.full);
        for (let i = 0; i < this.full; i++) {
            mesh.setMatrixAt(i, this.matrices[i]);
            mesh.setColorAt(i, kPlain);
        }
        this.scene.add(mesh);
        this.meshes.push(mesh);
        return mesh;
    }

    // The bulk's box placed by every instance that is not drawn in full, or
    // when there are very many, a dot at its centre.
    addBoxes() {
        const count = this.matrices.length - this.full;
        const center = this.bulk.getCenter(new THREE.Vector3());
        if (this.boxesArePoints) {
            this.centres = new Float32Array(3 * count);
            for (let i = 0; i < count; i++) center.clone().applyMatrix4(this.matrices[this.full + i]).toArray(this.centres, 3 * i);
            const geometry = new THREE.BufferGeometry();
            geometry.setAttribute("position", new THREE.BufferAttribute(this.centres.slice(), 3));
            this.boxes = new THREE.Points(geometry, new THREE.PointsMaterial({ color: 0x5a6a80, size: 3, sizeAttenuation: false }));
        } else {
            const size = this.bulk.getSize(new THREE.Vector3());
            const geometry = new THREE.BoxGeometry(size.x, size.y, size.z);
            geometry.translate(center.x, center.y, center.z);
            this.boxes = new THREE.InstancedMesh(geometry, new THREE.MeshBasicMaterial({ color: 0x5a6a80, wireframe: true }), count);
            for (let i = 0; i < count; i++) this.boxes.setMatrixAt(i, this.matrices[this.full + i]);
        }
        this.scene.add(this.boxes);
    }

    // While the camera is moved, frames are cheaper: a quarter of the pixels
    // and no face outlines; the full frame when it rests.
    setMoving(moving) {
        this.renderer.setPixelRatio(window.devicePixelRatio * (moving ? 0.5 : 1));
        for (const object of this.elementObjects) if (object.userData.kind === "outlines") object.visible = !moving;
        if (!moving) this.render();
    }

    // Draws the kind of element `kind` (outlines, lines, dots) or not.
    setElementsShown(kind, shown) {
        this.elementsShown[kind] = shown;
        this.placeElements();
        this.render();
    }

    // The elements of the instances drawn in full that are shown (shown(i)),
    // placed anew; the caller draws the frame.
    placeElements(shown = this.nodeShown) {
        this.nodeShown = shown;
        for (const object of this.elementObjects) {
            this.scene.remove(object);
            object.geometry.dispose();
            object.material.dispose();
        }
        this.elementObjects = [];
        if (!this.model || !this.working) return;
        const drawn = this.matrices.slice(0, this.full);
        for (const kind of Object.keys(this.elements)) {
            const object = this.elementsShown[kind] && placedElements(kind, this.model.positions, this.elements[kind], drawn, shown);
            if (!object) continue;
            object.userData.kind = kind;
            this.clip(object);
            this.scene.add(object);
            this.elementObjects.push(object);
        }
    }

    // Node i drawn (or not), highlighted (or not).
    setNode(i, { visible, highlighted }) {
        if (i < this.full) {
            for (const mesh of this.meshes) {
                mesh.setMatrixAt(i, visible ? this.matrices[i] : kHidden);
                mesh.setColorAt(i, highlighted ? kHighlight : kPlain);
                mesh.instanceMatrix.needsUpdate = true;
                mesh.instanceColor.needsUpdate = true;
            }
        } else if (this.boxesArePoints) {
            const k = i - this.full;
            const position = this.boxes.geometry.attributes.position;
            position.setXYZ(k, ...(visible ? this.centres.subarray(3 * k, 3 * k + 3) : [NaN, NaN, NaN]));
            position.needsUpdate = true;
        } else if (this.boxes) {
            this.boxes.setMatrixAt(i - this.full, visible ? this.matrices[i] : kHidden);
            this.boxes.instanceMatrix.needsUpdate = true;
        }
    }

    snapshot() {
        this.render();
        return new Promise((resolve) => this.renderer.domElement.toBlob(resolve, "image/png"));
    }
}

// The positions of the points that faces use, each once.
function usedPoints(model) {
    const used = new Uint8Array(model.positions.length / 3);
    for (const { indices } of model.primitives) for (const index of indices) used[index] = 1;
    const points = [];
    used.forEach((isUsed, i) => {
        if (isUsed) points.push(...model.positions.subarray(3 * i, 3 * i + 3));
    });
    return points;
}

// The points that these triangles use, and the triangles renumbered to them:
// a software renderer (SwiftShader) transforms every point of a draw's index
// range, so one shared array of all points would cost every material all of
// them. `marks` (one entry per point) hold the new number of each point
// taken for the geometry stamped `stamp`.
function compactGeometry(model, indices, marks, stamp) {
    const taken = new Int32Array(indices.length);
    const renumbered = new Uint32Array(indices.length);
    let count = 0;
    for (let i = 0; i < indices.length; i++) {
        const point = indices[i];
        if (marks.stamp[point] !== stamp) {
            marks.stamp[point] = stamp;
            marks.number[point] = count;
            taken[count++] = point;
        }
        renumbered[i] = marks.number[point];
    }
    const positions = new Float32Array(3 * count);
    const uvs = new Float32Array(2 * count);
    for (let k = 0; k < count; k++) {
        positions.set(model.positions.subarray(3 * taken[k], 3 * taken[k] + 3), 3 * k);
        uvs.set(model.uvs.subarray(2 * taken[k], 2 * taken[k] + 2), 2 * k);
    }
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(positions, 3));
    geometry.setAttribute("uv", new THREE.BufferAttribute(uvs, 2));
    geometry.setIndex(new THREE.BufferAttribute(count < 65536 ? new Uint16Array(renumbered) : renumbered, 1));
    return geometry;
}

// Calls visit(x, y, z) with each triangle's cross product of two edges
// (twice its area, along its normal), in the model's own units.
function forEachCross(model, visit) {
    const p = model.positions;
    const a = new THREE.Vector3();
    const b = new THREE.Vector3();
    const c = new THREE.Vector3();
    for (const { indices } of model.primitives) {
        for (let i = 0; i < indices.length; i += 3) {
            a.fromArray(p, 3 * indices[i]);
            b.fromArray(p, 3 * indices[i + 1]).sub(a);
            c.fromArray(p, 3 * indices[i + 2]).sub(a);
            b.cross(c);
            visit(b.x, b.y, b.z);
        }
    }
}

// How often the faces cover an outline of area `outline` in sum, none
// counted larger than the outline (a face beyond it is cut off on screen).
function facesCover(model, outline) {
    let cover = 0;
    forEachCross(model, (x, y, z) => {
        cover += Math.min(Math.hypot(x, y, z) / 2, outline) / outline;
    });
    return cover;
}

// The sums of the size of each component of the faces' cross products.
function crossSums(model) {
    const sums = [0, 0, 0];
    forEachCross(model, (x, y, z) => {
        sums[0] += Math.abs(x);
        sums[1] += Math.abs(y);
        sums[2] += Math.abs(z);
    });
    return sums;
}

function surfaceMaterial(model, index, images) {
    const source = model.materials[index];
    const material = new THREE.MeshStandardMaterial({
        color: new THREE.Color().setRGB(...source.color, THREE.LinearSRGBColorSpace),
        side: THREE.DoubleSide, metalness: 0, roughness: 1, flatShading: true,
        polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1,
    });
    const image = source.texture >= 0 ? images.get(model.textureNames[source.texture]) : undefined;
    if (image) {
        material.map = new THREE.Texture(image);
        material.map.flipY = false;  // glTF's texture coordinates start at the top
        material.map.colorSpace = THREE.SRGBColorSpace;
        material.map.needsUpdate = true;
    }
    return material;
}
