// One model as the view draws it, held to the frame's budgets: its full mesh
// and stand-ins (model_meshes.js), its simplified levels once they are made
// (detail.js), and the selected instance drawn on its own (focus.js). At
// every frame the faces drawn in full are held to what they may cover on the
// screen (budget.js), the selection first; with levels, each frame chooses
// which instances are drawn in full, simplified, or as dots.
import * as THREE from "three";
import { coverAt, discScreens, kScreens } from "./budget.js";
import { Detail } from "./detail.js";
import { ElementObjects } from "./elements.js";
import { Focus } from "./focus.js";
import { placedBox } from "./bulk.js";
import { flatColours, ModelMeshes } from "./model_meshes.js";
import { Picker } from "./picking.js";

export class DrawnModel {
    // nodes: { matrices, drawable, spheres, full, fraction, bulk,
    // boxesArePoints, curve: the full mesh's coverCurve, triangles: of one
    // instance, budget: the frame's triangles }.
    constructor(scene, model, images, nodes) {
        this.scene = scene;
        this.model = model;
        this.images = images;
        this.nodes = nodes;
        this.parts = new ModelMeshes(scene, model, images, nodes);
        this.focus = new Focus(scene, this.parts.meshes);
        this.shown = new Uint8Array(model.nodes.length).fill(1);  // per node: shown (1) or hidden (0)
        this.detail = null;
        this.levels = null;  // { triangles: of each level, ms: the time they took }
        this.closeUp = 1;  // the part of the triangles that the frame's budget lets be drawn at this view
        this.frame = null;  // with levels: what the last frame drew (chooseLevels's sums and tolerance)
        this.fullNodes = null;  // with levels: the nodes the last frame drew in full
        this.elements = new ElementObjects(scene);  // of the nodes drawn in full
        this.placedFor = "";  // elementsKey of the nodes the elements were placed for
        this.madePicker = null;  // see picker
    }

    // What picks the model's instances and points on the full mesh, made at
    // its first use: the model's first frame does not wait for it.
    get picker() {
        if (!this.madePicker) {
            const { matrices, full, fraction, bulk } = this.nodes;
            this.madePicker = new Picker(this.model, matrices, full, fraction, bulk);
            this.madePicker.focus = this.focus.node;
        }
        return this.madePicker;
    }

    // The instance and point under `pointer` (normalised device coordinates)
    // among the nodes for which shown(i) holds: Picker.pick's answer, or null.
    pick(pointer, camera, shown, section) {
        return this.picker.pick(pointer, camera, (i) => this.nodes.drawable[i] && shown(i), section);
    }

    // The corners of node `node`'s drawn triangles that `section` (if any) keeps, by number.
    keptCorners(node, section) {
        if (!this.picker.inFull(node) || !this.nodes.drawable[node]) return [];
        return this.picker.corners().filter((point) => !section || section.distanceToPoint(this.picker.placed(node, point)) >= 0);
    }

    // The box of the bulk placed by every instance that can be drawn and for which shown(i) holds.
    placedBulk(shown) {
        const all = new THREE.Box3();
        this.nodes.matrices.forEach((matrix, i) => {
            if (this.nodes.drawable[i] && shown(i)) all.union(placedBox(this.nodes.bulk, matrix));
        });
        return all;
    }

    get drawnTriangles() {
        return this.parts.drawn;
    }

    // Everything the section cuts.
    objects() {
        return [...this.parts.objects(), ...this.focus.tints(), ...(this.detail?.objects() ?? []), ...this.elements.objects];
    }

    // Has the levels of the model made away from the page by `makeLevels`
    // (see Viewer) and takes them if there are any and `wanted()` still
    // holds once they come, `clip` letting the section cut them; then
    // `ready()`. The promise returned resolves once that is settled, with
    // levels or none.
    askForLevels(makeLevels, { wanted, clip, ready }) {
        const { positions, primitives } = this.model;
        const radius = this.nodes.bulk.getBoundingSphere(new THREE.Sphere()).radius;
        return makeLevels({ positions, primitives, radius }).then(({ levels, ms }) => {
            if (!levels.length || !wanted()) return;
            this.addLevels(levels, ms);
            for (const object of this.detail.objects()) clip(object);
            ready();
        }, () => {});
    }

    // Takes the levels made of the model (levels.js) in `ms` milliseconds.
    addLevels(made, ms) {
        const { spheres, bulk, curve, budget, full } = this.nodes;
        this.detail = new Detail(this.scene, made, {
            colours: flatColours(this.model, this.images), radius: bulk.getBoundingSphere(new THREE.Sphere()).radius,
            full: { triangles: this.parts.drawn, curve }, count: spheres.length, budget: { triangles: budget, screens: kScreens, full },
        });
        this.levels = { triangles: made.map((level) => level.triangles), ms };
    }

    // Node i drawn (or not), highlighted (or not): the highlighted one is the
    // focus, drawn on its own in full where the budget allows.
    setNode(i, { visible, highlighted }) {
        this.shown[i] = visible ? 1 : 0;
        const focused = visible && highlighted && this.nodes.drawable[i];
        if (focused) this.setFocus(i);
        else if (this.focus.node === i) this.setFocus(null);
        this.parts.setNode(i, visible && !focused, highlighted);
    }

    setFocus(i) {
        const previous = this.focus.node;
        if (previous === i) return;
        this.focus.place(i, i === null ? null : this.nodes.matrices[i]);
        if (this.madePicker) this.madePicker.focus = i;
        if (previous !== null && this.shown[previous]) this.setNode(previous, { visible: true, highlighted: false });
    }

    // The nodes drawn in full at this frame.
    drawnInFull() {
        return this.fullNodes ?? Array.from({ length: this.nodes.full }, (_, i) => i);
    }

    // The elements `numbers` ({ outlines, lines, dots }) of the nodes drawn
    // in full, the focus too, that are shown (shown(i)); settings: ElementObjects.place's.
    placeElements(numbers, shown, settings) {
        const nodes = [...this.drawnInFull()];
        const focus = this.focus.node;
        if (focus !== null && !nodes.includes(focus)) nodes.push(focus);
        this.placedFor = this.elementsKey();
        const { matrices, drawable } = this.nodes;
        this.elements.place(numbers, this.model.positions, nodes.map((i) => matrices[i]), (k) => drawable[nodes[k]] && shown(nodes[k]), settings);
    }

    // The elements placed anew where the nodes drawn in full have changed (with levels, or leaving them).
    followElements(numbers, shown, settings) {
        const any = numbers.lines.length + numbers.dots.length + (settings.kinds.outlines ? numbers.outlines.length : 0) > 0;
        if (any && this.elementsKey() !== this.placedFor) this.placeElements(numbers, shown, settings);
    }

    // Names the nodes drawn in full (those of the frame, or the first `full`) and the focus.
    elementsKey() {
        return `${this.fullNodes ?? "first"}|${this.focus.node}`;
    }

    // Sets what `camera` (its matrices up to date) draws on a drawing
    // `height` pixels high: with levels (unless `fullDetail`), each
    // instance's level; then the share of the triangles drawn in full.
    // Returns whether what the page says of the frame has changed.
    apply(camera, height, fullDetail) {
        const before = this.summary();
        const { drawable, spheres, matrices } = this.nodes;
        const focus = this.focus.node;
        if (this.detail && !fullDetail) {
            this.frame = this.detail.choose(camera, height, spheres, (i) => drawable[i] && this.shown[i] && i !== focus);
            this.fullNodes = this.detail.place(matrices, spheres);
            this.parts.placeFull(this.fullNodes);
        } else {
            this.detail?.hide();
            this.frame = this.fullNodes = null;
            this.parts.placeFixed((i) => drawable[i] && this.shown[i] && i !== focus);
        }
        this.applyCover(camera);
        return this.summary() !== before;
    }

    // Lets the faces drawn in full cover the screen at most kScreens times
    // at this view: the focus first, in full where it fits alone (it is
    // drawn twice: its surfaces and its tint), the others drawn in full then
    // share what is left, never beyond the part that the model's own budget draws.
    applyCover(camera) {
        const { curve, fraction, drawable } = this.nodes;
        const screens = (i) => coverAt(curve, discScreens(this.nodes.spheres[i], camera));
        const focus = this.focus.node;
        const focusCover = focus === null ? 0 : 2 * screens(focus);
        const focusShare = focusCover > kScreens ? kScreens / focusCover : 1;
        let others = 0;
        for (const i of this.drawnInFull()) if (i !== focus && this.shown[i] && drawable[i]) others += screens(i);
        const left = kScreens - focusCover * focusShare;
        const share = Math.min(fraction, others > left ? left / others : 1);
        this.focus.setDrawn(focusShare);
        this.parts.setShare(share);
        this.closeUp = Math.min(focusShare, others > 0 ? share / fraction : 1);
    }

    // What the page says of the frame, as text to compare.
    summary() {
        const frame = this.frame ? [this.frame.tolerance, this.frame.simplified > 0, this.frame.standIns > 0, this.frame.cut > 0] : [];
        return `${Math.max(1, Math.round(100 * this.closeUp))} ${this.closeUp === 1} ${frame}`;
    }

    // Takes everything out of the scene: the meshes and levels to be freed
    // by `retire` (Stage's) after the next frame.
    dispose(retire) {
        this.elements.clear();
        this.focus.dispose();
        retire([...this.parts.objects(), ...(this.detail?.objects() ?? [])]);
    }
}
