// The scene: three.js draws the model's instances upright, lit and fitted
// (drawn_model.js: within the frame's budgets of triangles and of covered
// area, far instances simplified where levels have been made, the others as
// boxes or dots), with the grid, the section, the marks and the elements
// beyond triangles. A frame is drawn only when something changed.
import * as THREE from "three";
import { DrawnModel } from "./drawn_model.js";
import { outlinePairs } from "./elements.js";
import { kTriangleBudget, layOut } from "./layout.js";
import { sectionPlane } from "./navigation.js";
import { Stage } from "./stage.js";

export class Viewer {
    // Without WebGL the view is not `working` from the start; `onLost` is told
    // when it stops working later (the graphics context lost).
    constructor(container) {
        this.current = null;  // the model drawn (drawn_model.js)
        this.emptied = false;  // cleared, with nothing drawn in its place yet (see render)
        this.section = null;  // the plane that cuts the model, if any
        this.fitted = null;  // the box of the first view
        // How the view is set: the session's, which it changes (applySettings then draws them).
        this.settings = { orthographic: false, grid: false, fullDetail: false, shown: { outlines: false, lines: true, dots: true } };
        this.onDrawn = () => {};  // told when what the page says of the frame changes (close up, levels)
        // makeLevels({ positions, primitives, radius }): a promise of { levels, ms } (levels.js), or null: none are made.
        this.makeLevels = null;
        // The elements beyond triangles: their point numbers (kon2info's) and the objects drawn.
        this.elements = { outlines: [], lines: [], dots: [] };
        this.moving = false;
        this.stage = new Stage(container, {
            onChange: () => this.render(), onMoving: (moving) => this.setMoving(moving), onResize: () => this.resize(container),
        });
        if (this.stage.renderer) this.resize(container);
    }

    get navigation() {
        return this.stage.navigation;
    }

    get working() {
        return this.stage.working;
    }

    // What picks the model's instances and points (picking.js), or null.
    get picker() {
        return this.current?.picker ?? null;
    }

    // The part of the triangles drawn in full that the frame's budget lets be drawn at this view.
    get closeUp() {
        return this.current?.closeUp ?? 1;
    }

    // Follows the container's size; a frame is drawn when it changed. While
    // the view waits for a model, the model's first frame takes the size.
    resize(container) {
        if (!this.emptied && this.stage.fitContainer(container)) this.render();
    }

    // Draws a frame, unless the last model was cleared away and nothing
    // has replaced it yet (`emptied`: see show and reveal), so that a
    // model's first frame shows all of it, once. The budget may change the
    // notes, and so the view's size, first.
    render() {
        if (!this.working || this.emptied) return;
        this.applyBudget();
        this.stage.draw();
    }

    // Draws the view as it is after clear(), when no model replaces the last.
    reveal() {
        this.emptied = false;
        this.render();
    }

    // Frees everything the last model held. The view is hidden until what
    // replaces it is drawn: the next model (show), or nothing (reveal).
    clear() {
        this.stage.aids?.clear();
        this.current?.dispose((objects) => this.stage.retire(objects));
        this.current = null;
        this.fitted = null;
        this.emptied = true;
        this.setSection({ axis: "" });
        this.stage.hide();
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
        this.elements = { outlines: outlinePairs(elements.faces), lines: elements.lines, dots: elements.dots };
        const layout = layOut(model);
        const { full, fraction, everything, fitted, drawable } = layout;
        let drawn = 0;
        if (this.working) {
            this.navigation.radius = Math.max(1, everything.getBoundingSphere(new THREE.Sphere()).radius);
            this.current = new DrawnModel(this.stage.scene, model, images, { ...layout, budget: kTriangleBudget });
            drawn = this.current.drawnTriangles;
            for (const object of this.current.objects()) this.clip(object);
            const current = this.current;
            // Levels are made only where not every instance fits the budgets in full.
            if (full < model.nodes.length && this.makeLevels) {
                current.askForLevels(this.makeLevels, { wanted: () => this.current === current && this.working, clip: (object) => this.clip(object),
                    ready: () => {
                        this.onDrawn();
                        this.render();
                    } });
            }
            this.fitted = fitted;
            this.placeGrid();
            // Lit and fitted before the first frame: a frame from elsewhere can take seconds.
            this.stage.light(fitted.getBoundingSphere(new THREE.Sphere()));
            if (!again) this.navigation.fit(fitted);
        }
        return {
            full, fraction, boxesArePoints: layout.boxesArePoints, far: layout.far, zeroArea: layout.zeroArea,
            undrawable: model.nodes.flatMap(({ instance }, i) => (drawable[i] ? [] : [instance])),
            trianglesDrawn: fraction < 1 ? drawn : drawn * full, triangles: layout.triangles * model.nodes.length,
            size: everything.getSize(new THREE.Vector3()),
        };
    }

    // The bulk of the instances for which shown(i) holds in sight, from the
    // view `name`; false when none is shown.
    fitTo(shown, name) {
        const box = this.current?.placedBulk(shown);
        if (!this.working || !box || box.isEmpty()) return false;
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
        for (const object of this.current?.objects() ?? []) this.clip(object);
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
        this.stage.aids?.setGrid(this.settings.grid && this.fitted && this.working ? this.fitted : null);
    }

    get grid() {
        return this.stage.aids?.grid ?? null;
    }

    // The instance and point under `pointer` (normalised device coordinates)
    // among the nodes for which shown(i) holds: Picker.pick's answer, or null.
    pick(pointer, shown) {
        return this.working ? this.current?.pick(pointer, this.navigation.camera, shown, this.section) ?? null : null;
    }

    // Marks the measured points (scene positions) and the line between them.
    setMarks(positions) {
        this.stage.aids?.setMarks(positions);
        this.render();
    }

    // Marks the corner that the keys name (a scene position; null: none).
    setPointMark(position) {
        this.stage.aids?.setPointMark(position);
        this.render();
    }

    // The corners of node `node`'s drawn triangles that the section keeps, by number.
    keptCorners(node) {
        return this.current?.keptCorners(node, this.section) ?? [];
    }

    // While the camera is moved, frames are cheaper: a quarter of the pixels
    // and no face outlines; the full frame when it rests.
    setMoving(moving) {
        this.moving = moving;
        this.stage.setMoving(moving);
        this.current?.elements.setMoving(moving);
        if (moving) return;
        this.render();
        if (this.current?.frame) this.onDrawn();  // the note and counts of the frame at rest
    }

    // The elements of the instances drawn in full that are shown (shown(i)),
    // placed anew; the caller draws the frame.
    placeElements(shown = this.nodeShown) {
        this.nodeShown = shown;
        if (this.working) this.current?.placeElements(this.elements, shown, this.elementSettings());
    }

    elementSettings() {
        return { kinds: this.settings.shown, clip: (object) => this.clip(object), moving: this.moving };
    }

    // Node i drawn (or not), highlighted (or not): the highlighted one is the
    // focus, drawn on its own in full where the budget allows, whether it is
    // one of those drawn in full or a stand-in; picked as drawn.
    setNode(i, state) {
        this.current?.setNode(i, state);
    }

    // Holds the frame to its budgets (drawn_model.js), the page told when
    // what it says of the frame changes. With levels the instances drawn in
    // full change as the camera moves; their elements follow once it rests.
    applyBudget() {
        if (!this.current) return;
        const camera = this.navigation.camera;
        camera.updateMatrixWorld();
        // While the camera moves the page is told once it rests (setMoving).
        if (this.current.apply(camera, this.stage.height, this.settings.fullDetail) && !this.moving) this.onDrawn();
        if (!this.moving) this.current.followElements(this.elements, this.nodeShown, this.elementSettings());
    }

    snapshot() {
        this.render();
        return this.stage.snapshot();
    }
}
