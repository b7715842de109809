// The scene and its budget: three.js draws the model's instances upright,
// lit and fitted, one instanced mesh per material, within a budget of
// triangles and of covered area; instances beyond it are drawn as boxes, and
// the page says so. At every view the faces drawn are held to what they may
// cover on the screen (budget.js), the selection first (focus.js). A frame
// is drawn only when something changed.
import * as THREE from "three";
import { coverAt, coverCurve, discScreens, kScreens } from "./budget.js";
import { bulkBox, placedBox } from "./bulk.js";
import { outlinePairs, placedElements } from "./elements.js";
import { Focus } from "./focus.js";
import { groundGrid, Navigation, sectionPlane } from "./navigation.js";
import { measureMarks, Picker } from "./picking.js";

const kTriangleBudget = 4_000_000;
// How often the drawn faces may cover the model's outline in sum: beyond it a
// frame takes seconds in a software renderer (and models of large, criss-crossing
// faces are slow on any GPU), so only part is drawn and the rest stands in as boxes.
const kCoverBudget = 16;
// Beyond this many instances in stand-in, each is a point at its box's centre.
const kMostBoxes = 4096;
const kStandIn = new THREE.Color(0x5a6a80);
const kStandInSelected = new THREE.Color(0xff7a00);
const kHidden = new THREE.Matrix4().makeScale(0, 0, 0);
// The GPU draws in float32, whose squares overflow past 2^64: an instance
// that places the model beyond 2^60 units (a scale factor of 1e38, say)
// cannot be drawn, and is left out of the view and its fit.
const kFarthest = 2 ** 60;
const kSunFrom = new THREE.Vector3(0.4, 1, 0.7);

export class Viewer {
    // Without WebGL the view is not `working` from the start; `onLost` is told
    // when it stops working later (the graphics context lost).
    constructor(container) {
        this.meshes = [];  // the instanced meshes of full instances
        this.boxes = null;  // the stand-in boxes
        this.retired = [];  // the meshes and boxes of the last model, freed after the next frame
        this.emptied = false;  // cleared, with nothing drawn in its place yet (see render)
        this.matrices = [];
        this.drawable = [];  // per node: whether the view can draw what it places
        this.full = 0;
        this.madePicker = null;  // see picker
        this.section = null;  // the plane that cuts the model, if any
        this.fitted = null;  // the box of the first view
        this.grid = null;  // { step, helper }
        // How the view is set: the session's, which it changes (applySettings then draws them).
        this.settings = { orthographic: false, grid: false, shown: { outlines: false, lines: true, dots: true } };
        this.marks = null;  // the measured points and the line between them
        this.pointMark = null;  // the corner named by the keys
        this.focus = null;  // the selected instance drawn on its own (focus.js)
        this.spheres = [];  // per node: the sphere round the bulk it places
        this.shown = null;  // per node: whether it is shown (1) or hidden (0)
        this.curve = null;  // the faces' shares of the bulk's disc (budget.js)
        this.closeUp = 1;  // the part of the triangles that the frame's budget lets be drawn at this view
        this.onCloseUp = () => {};  // told when closeUp changes
        // The elements beyond triangles: their point numbers (kon2info's) and the objects drawn.
        this.elements = { outlines: [], lines: [], dots: [] };
        this.elementObjects = [];
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
        canvas.setAttribute("aria-label", "3D view: drag, or Shift and the arrow keys, to turn; right-drag or the arrow keys to pan; "
            + "scroll, plus and minus to zoom; click an instance to select it; comma and period step through the selected "
            + "instance's corners, Enter measures to the one named; the view's other keys are named on its toolbar");
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
        new ResizeObserver(() => this.resize(container)).observe(container);
        this.resize(container);
    }

    // What picks the model's instances and points, made at its first use:
    // the model's first frame does not wait for it.
    get picker() {
        if (!this.madePicker && this.fitted) this.madePicker = new Picker(this.model, this.matrices, this.full, this.fraction, this.bulk);
        return this.madePicker;
    }

    get working() {
        return this.renderer !== null && !this.lost;
    }

    // Follows the container's size; a frame is drawn when it changed. While
    // the view waits for a model, the model's first frame takes the size.
    resize(container) {
        if (!this.emptied && this.fitContainer(container)) this.render();
    }

    // Sizes the view to its container (a layout read); false when there is no
    // renderer, the container has no size, or the size is as it was.
    fitContainer(container = this.renderer?.domElement.parentElement) {
        const { width, height } = container.getBoundingClientRect();
        const size = this.renderer?.getSize(new THREE.Vector2());
        if (!this.renderer || width === 0 || height === 0 || (size.x === width && size.y === height)) return false;
        this.renderer.setSize(width, height);
        this.navigation.setAspect(width / height);
        this.navigation.controls.keyRotateSpeed = height / 72;  // Shift and an arrow key turn by 5 degrees
        return true;
    }

    // Draws a frame, unless the last model was cleared away and nothing
    // has replaced it yet (`emptied`: see show and reveal), so that a
    // model's first frame shows all of it, once. The budget may change the
    // notes, and so the view's size, first.
    render() {
        if (!this.working || this.emptied) return;
        this.applyBudget();
        this.fitContainer();
        this.renderer.render(this.scene, this.navigation.camera);
        this.renderer.domElement.style.visibility = "";
        // Freed once the browser has shown the frame: its materials have taken the programs over.
        if (this.retired.length) setTimeout(() => this.freeRetired());
        // The marker follows once per screen frame, apart from drawing the view.
        if (this.axes && !this.axesDue) {
            this.axesDue = true;
            requestAnimationFrame(() => {
                this.axesDue = false;
                this.navigation.drawAxes(this.axes);
            });
        }
    }

    freeRetired() {
        for (const object of this.retired.filter(Boolean)) {
            object.geometry.dispose();
            object.material.map?.dispose();
            object.material.dispose();
            object.dispose?.();
        }
        this.retired = [];
    }

    // Draws the view as it is after clear(), when no model replaces the last.
    reveal() {
        this.emptied = false;
        this.render();
    }

    // Frees everything the last model held. The view is hidden until what
    // replaces it is drawn: the next model (show), or nothing (reveal).
    clear() {
        this.focus?.dispose();
        this.focus = null;
        this.curve = null;
        this.closeUp = 1;
        this.removeMarks();
        this.removeGrid();
        for (const object of [...this.meshes, this.boxes].filter(Boolean)) this.scene.remove(object);
        // Freed after the next frame: a shader program whose last material is
        // freed is deleted, and the next model's materials would compile it again.
        this.retired.push(...this.meshes, this.boxes);
        if (!this.working) this.freeRetired();
        this.meshes = [];
        this.boxes = null;
        this.matrices = [];
        this.full = 0;
        this.madePicker = null;
        this.fitted = null;
        this.model = null;
        this.emptied = true;
        this.placeElements();
        this.setSection({ axis: "" });
        this.renderer?.renderLists.dispose();
        if (this.renderer) this.renderer.domElement.style.visibility = "hidden";
    }

    // Shows a model read by readGlb that has faces and nodes; `images` maps
    // NNNN to an ImageBitmap. Returns what is drawn: { full: instances drawn
    // in full, fraction: the part of the first one's triangles drawn when not
    // even one fits, boxesArePoints, trianglesDrawn, triangles: of the whole
    // model, far: points that faces use far outside the others, zeroArea: no
    // face has an area as placed, size: of the box of every placed point }.
    // `again`: the same model drawn anew, seen as it was. The caller draws
    // the first frame, once it has set the nodes, the section and the marks.
    show(model, images, elements = { dots: [], lines: [], faces: [] }, again = false) {
        this.clear();  // which holds back every frame until the caller's
        try {
            return this.build(model, images, elements, again);
        } finally {
            this.emptied = false;
        }
    }

    // Puts the model into the scene, for show.
    build(model, images, elements, again) {
        this.model = model;
        this.elements = { outlines: outlinePairs(elements.faces), lines: elements.lines, dots: elements.dots };
        const [translation, rotation, scale] = [new THREE.Vector3(), new THREE.Quaternion(), new THREE.Vector3()];
        this.matrices = model.nodes.map((node) => new THREE.Matrix4().compose(
            translation.fromArray(node.translation), rotation.fromArray(node.rotation), scale.fromArray(node.scale)));
        const bulk = bulkBox(usedPoints(model));
        this.bulk = new THREE.Box3(new THREE.Vector3(...bulk.min), new THREE.Vector3(...bulk.max));
        const placedBulks = this.matrices.map((matrix) => placedBox(this.bulk, matrix));
        const near = (v) => Math.abs(v.x) <= kFarthest && Math.abs(v.y) <= kFarthest && Math.abs(v.z) <= kFarthest;
        this.drawable = placedBulks.map(({ min, max }) => near(min) && near(max));
        this.spheres = placedBulks.map((box) => box.getBoundingSphere(new THREE.Sphere()));
        const fitted = new THREE.Box3();  // this.placed(this.bulk), from the boxes placed already
        placedBulks.forEach((box, i) => this.drawable[i] && fitted.union(box));
        const box = new THREE.Box3(new THREE.Vector3(...model.box.min), new THREE.Vector3(...model.box.max));
        const everything = box.equals(this.bulk) ? fitted : this.placed(box);
        const { lengths, sums: [cx, cy, cz] } = crossFacts(model);
        const triangles = lengths.length;
        const { full, fraction } = this.budget(model, triangles, lengths, fitted);
        this.full = full;
        this.fraction = fraction;
        this.shown = new Uint8Array(model.nodes.length).fill(1);
        this.curve = coverCurve(lengths, this.bulk.getBoundingSphere(new THREE.Sphere()).radius);
        this.boxesArePoints = model.nodes.length - full > kMostBoxes;
        let drawn = 0;
        if (this.working) {
            this.navigation.radius = Math.max(1, everything.getBoundingSphere(new THREE.Sphere()).radius);
            drawn = this.addModel(model, images, fraction);
            this.focus = new Focus(this.scene, this.meshes);
            for (const tint of this.focus.tints()) this.clip(tint);
            if (full < model.nodes.length) this.addBoxes();
            this.fitted = fitted;
            this.placeGrid();
            // Lit and fitted before the first frame: a frame from elsewhere can take seconds.
            const sphere = fitted.getBoundingSphere(new THREE.Sphere());
            this.sun.position.copy(sphere.center).addScaledVector(kSunFrom, this.navigation.distanceToSee(sphere.radius));
            if (!again) this.navigation.fit(fitted);
        }
        return {
            full, fraction, boxesArePoints: this.boxesArePoints, far: bulk.far,
            undrawable: model.nodes.flatMap(({ instance }, i) => (this.drawable[i] ? [] : [instance])),
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
            this.addInstanced(geometry, surfaceMaterial(model, primitive.material, images)).userData.count = primitive.indices.length;
        }
        return drawn;
    }

    // How many instances are drawn in full, and when not even one fits, which
    // part of the first one's triangles is drawn.
    budget(model, triangles, lengths, placed) {
        const size = placed.getSize(new THREE.Vector3());
        const outline = Math.max(size.x * size.y, size.y * size.z, size.x * size.z);
        const cover = outline > 0 ? facesCover(lengths, outline) : 0;
        const fits = Math.min(kTriangleBudget / Math.max(triangles, 1), cover > 0 ? kCoverBudget / cover : Infinity);
        const full = Math.min(model.nodes.length, Math.max(1, Math.floor(fits)));
        return { full, fraction: Math.min(1, fits) };
    }

    // The box `box` of the model placed by every instance that can be drawn (for which shown(i) holds).
    placed(box, shown = () => true) {
        const all = new THREE.Box3();
        this.matrices.forEach((matrix, i) => {
            if (this.drawable[i] && shown(i)) all.union(placedBox(box, matrix));
        });
        return all;
    }

    // Node i's matrix where it can be drawn, else one that hides it.
    drawnMatrix(i) {
        return this.drawable[i] ? this.matrices[i] : kHidden;
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
        for (const object of [...this.meshes, this.boxes, ...this.elementObjects, ...(this.focus?.tints() ?? [])]) this.clip(object);
        this.render();
    }

    // Lets the section plane cut `object` (none: nothing).
    clip(object) {
        if (!object) return;
        object.material.clippingPlanes = this.section ? [this.section] : null;
        object.material.needsUpdate = true;
    }

    // Draws the settings as they are now: the projection, the grid, the elements.
    applySettings() {
        if (!this.working) return;
        this.navigation.setOrthographic(this.settings.orthographic);
        this.placeGrid();
        this.placeElements();
        this.render();
    }

    // The grid on the ground under the model, in squares of `grid.step` units, where the settings ask for it.
    placeGrid() {
        this.removeGrid();
        if (this.settings.grid && this.fitted && this.working) {
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
        const drawnAndShown = (i) => this.drawable[i] && shown(i);
        return this.working && this.picker ? this.picker.pick(pointer, this.navigation.camera, drawnAndShown, this.section) : null;
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

    // Marks the corner that the keys name (a scene position; null: none).
    setPointMark(position) {
        removeObject(this.scene, this.pointMark);
        this.pointMark = position ? measureMarks([position], 0x1060e0) : null;
        if (this.pointMark) this.scene.add(this.pointMark);
        this.render();
    }

    removeMarks() {
        removeObject(this.scene, this.marks);
        removeObject(this.scene, this.pointMark);
        this.marks = this.pointMark = null;
    }

    // The corners of node `node`'s drawn triangles that the section keeps, by number.
    keptCorners(node) {
        if (!this.picker || !this.picker.inFull(node) || !this.drawable[node]) return [];
        return this.picker.corners().filter((point) => !this.section || this.section.distanceToPoint(this.picker.placed(node, point)) >= 0);
    }

    addInstanced(geometry, material) {
        const mesh = new THREE.InstancedMesh(geometry, material, this.full);
        for (let i = 0; i < this.full; i++) mesh.setMatrixAt(i, this.drawnMatrix(i));
        // The instances span the model, which is nearly always in sight: culling
        // would cost each mesh a sphere round every instance, for nothing.
        mesh.frustumCulled = false;
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
            this.centres = new Float32Array(3 * count).fill(NaN);  // NaN: not drawn
            for (let i = 0; i < count; i++) {
                if (this.drawable[this.full + i]) center.clone().applyMatrix4(this.matrices[this.full + i]).toArray(this.centres, 3 * i);
            }
            const geometry = new THREE.BufferGeometry();
            geometry.setAttribute("position", new THREE.BufferAttribute(this.centres.slice(), 3));
            const colours = new Float32Array(3 * count);
            for (let i = 0; i < count; i++) kStandIn.toArray(colours, 3 * i);
            geometry.setAttribute("color", new THREE.BufferAttribute(colours, 3));
            this.boxes = new THREE.Points(geometry, new THREE.PointsMaterial({ vertexColors: true, size: 3, sizeAttenuation: false }));
            this.boxes.frustumCulled = false;  // the dots not drawn are NaN, which no bounding sphere holds
        } else {
            const size = this.bulk.getSize(new THREE.Vector3());
            const geometry = new THREE.BoxGeometry(size.x, size.y, size.z);
            geometry.translate(center.x, center.y, center.z);
            this.boxes = new THREE.InstancedMesh(geometry, new THREE.MeshBasicMaterial({ wireframe: true }), count);
            for (let i = 0; i < count; i++) {
                this.boxes.setMatrixAt(i, this.drawnMatrix(this.full + i));
                this.boxes.setColorAt(i, kStandIn);
            }
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
            const object = this.settings.shown[kind]
                && placedElements(kind, this.model.positions, this.elements[kind], drawn, (i) => this.drawable[i] && shown(i));
            if (!object) continue;
            object.userData.kind = kind;
            this.clip(object);
            this.scene.add(object);
            this.elementObjects.push(object);
        }
    }

    // Node i drawn (or not), highlighted (or not): the highlighted one is the focus.
    setNode(i, { visible, highlighted }) {
        this.shown[i] = visible ? 1 : 0;
        const focused = visible && highlighted && this.drawable[i] && this.focus !== null;
        if (focused) this.setFocus(i);
        else if (this.focus?.node === i) this.setFocus(null);
        const drawn = visible && !focused;
        if (i < this.full) {
            for (const mesh of this.meshes) {
                mesh.setMatrixAt(i, drawn ? this.drawnMatrix(i) : kHidden);
                mesh.instanceMatrix.needsUpdate = true;
            }
        } else if (this.boxesArePoints) {
            const k = i - this.full;
            const { position, color } = this.boxes.geometry.attributes;
            position.setXYZ(k, ...(drawn ? this.centres.subarray(3 * k, 3 * k + 3) : [NaN, NaN, NaN]));
            color.setXYZ(k, ...(highlighted ? kStandInSelected : kStandIn));
            position.needsUpdate = color.needsUpdate = true;
        } else if (this.boxes) {
            this.boxes.setMatrixAt(i - this.full, drawn ? this.drawnMatrix(i) : kHidden);
            this.boxes.setColorAt(i - this.full, highlighted ? kStandInSelected : kStandIn);
            this.boxes.instanceMatrix.needsUpdate = this.boxes.instanceColor.needsUpdate = true;
        }
    }

    // Draws node i (null: none) on its own, in full where the budget allows,
    // whether it is one of those drawn in full or a stand-in; picked as drawn.
    setFocus(i) {
        const previous = this.focus.node;
        if (previous === i) return;
        this.focus.place(i, i === null ? null : this.matrices[i]);
        this.picker.focus = i;
        if (previous !== null && this.shown[previous]) this.setNode(previous, { visible: true, highlighted: false });
    }

    // Lets the faces drawn cover the screen at most kScreens times at this
    // view: the focus first, in full where it fits alone (it is drawn twice:
    // its surfaces and its tint), the instances drawn in full then share what
    // is left, never beyond the part that the model's own budget draws.
    applyBudget() {
        if (!this.curve || !this.meshes.length) return;
        const camera = this.navigation.camera;
        camera.updateMatrixWorld();
        const screens = (i) => coverAt(this.curve, discScreens(this.spheres[i], camera));
        const focus = this.focus.node;
        const focusCover = focus === null ? 0 : 2 * screens(focus);
        const focusShare = focusCover > kScreens ? kScreens / focusCover : 1;
        let others = 0;
        for (let i = 0; i < this.full; i++) if (i !== focus && this.shown[i] && this.drawable[i]) others += screens(i);
        const left = kScreens - focusCover * focusShare;
        const share = Math.min(this.fraction, others > left ? left / others : 1);
        this.focus.setDrawn(focusShare);
        for (const mesh of this.meshes) mesh.geometry.setDrawRange(0, 3 * Math.floor((share * mesh.userData.count) / 3));
        const closeUp = Math.min(focusShare, others > 0 ? share / this.fraction : 1);
        if (Math.abs(closeUp - this.closeUp) > 0.005 || (closeUp === 1) !== (this.closeUp === 1)) {
            this.closeUp = closeUp;
            this.onCloseUp();
        }
    }

    snapshot() {
        this.render();
        return new Promise((resolve) => this.renderer.domElement.toBlob(resolve, "image/png"));
    }
}

// Takes `object` (if any) out of `scene` and frees what it holds.
function removeObject(scene, object) {
    if (!object) return;
    scene.remove(object);
    object.traverse((part) => {
        part.geometry?.dispose();
        part.material?.dispose();
    });
}

// The positions of the points that faces use, each once.
function usedPoints(model) {
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
        for (let axis = 0; axis < 3; axis++) points[3 * k + axis] = model.positions[3 * i + axis];
        k++;
    }
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
        const point = taken[k];
        for (let axis = 0; axis < 3; axis++) positions[3 * k + axis] = model.positions[3 * point + axis];
        uvs[2 * k] = model.uvs[2 * point];
        uvs[2 * k + 1] = model.uvs[2 * point + 1];
    }
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(positions, 3));
    geometry.setAttribute("uv", new THREE.BufferAttribute(uvs, 2));
    geometry.setIndex(new THREE.BufferAttribute(count < 65536 ? new Uint16Array(renumbered) : renumbered, 1));
    return geometry;
}

// Of each triangle's cross product of two edges (twice its area, along its
// normal), in the model's own units: its length (`lengths`, one per
// triangle), and the sums of the size of each of its components (`sums`).
function crossFacts(model) {
    const p = model.positions;
    const [a, b, c] = [new THREE.Vector3(), new THREE.Vector3(), new THREE.Vector3()];
    const lengths = new Float64Array(model.primitives.reduce((sum, { indices }) => sum + indices.length / 3, 0));
    const sums = [0, 0, 0];
    let k = 0;
    for (const { indices } of model.primitives) {
        for (let i = 0; i < indices.length; i += 3) {
            a.fromArray(p, 3 * indices[i]);
            b.fromArray(p, 3 * indices[i + 1]).sub(a);
            c.fromArray(p, 3 * indices[i + 2]).sub(a);
            b.cross(c);
            lengths[k++] = b.length();
            sums[0] += Math.abs(b.x);
            sums[1] += Math.abs(b.y);
            sums[2] += Math.abs(b.z);
        }
    }
    return { lengths, sums };
}

// How often the faces cover an outline of area `outline` in sum, none
// counted larger than the outline (a face beyond it is cut off on screen).
function facesCover(lengths, outline) {
    return lengths.reduce((cover, length) => cover + Math.min(length / 2, outline) / outline, 0);
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
