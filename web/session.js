// The page's state and its one owner: what the user gave, what the programs
// answered, what is shown and selected, how the view is set. Each action
// changes the state, then the panel and the notes are drawn from it
// (panel.js, notes.js). This file holds the sequence of files and their
// runs, the selection and the view; the .x, the drawing's files and the
// batch have their own (x_export.js, drawing_files.js, batch_session.js).
import { BatchWork } from "./batch_session.js";
import { DrawingFiles } from "./drawing_files.js";
import { readGlb } from "./glb.js";
import { textureFor } from "./intake.js";
import { XExport } from "./x_export.js";

// The stages of showing a file, marked for the browser's performance tools
// and the page's benchmark: "kon2x open" first, then each stage as it ends.
const kStages = ["open", "read", "converted", "facts", "glb", "scene", "frame"];
function stage(name) {
    if (name === "open") for (const each of kStages) performance.clearMarks(`kon2x ${each}`);
    performance.mark(`kon2x ${name}`);
}

// What belongs to the construction file shown; a new file starts from this.
function fileState(file, folder = "") {
    return {
        file,
        folder,                // the folder it was given in (intake.js's folderOf), whose textures it takes
        bytes: null,           // its content, read once
        busy: file !== null,   // while it is read, converted and drawn
        outcome: null,         // kon2info's result (jobs.js): kon2gltf's run; or { kind: "unreadable" | "failed", message }
        downloads: [],         // [{ name, url }]: the files the programs wrote, as they named them
        model: null,           // readGlb of its .glb
        info: null,            // kon2info's facts
        unplaced: new Set(),   // the instances that cannot be placed
        nodeOf: new Map(),     // instance number to node index
        view: null,            // what the viewer drew (Viewer.show)
        brokenTextures: [],    // NNNN.png files that do not decode
        x: null,               // making the .x: { phase: "running" | "done" | "cancelled" | "failed", text }
        selected: null,
        hidden: new Set(),
        alone: null,
        pointed: null,         // the point under the pointer, or named by the keys (pointReading)
        pointedByKeys: false,  // screen readers hear the points named by keys, not every one the pointer passes
        measuring: false,      // clicks take points to measure instead of selecting
        measured: [],          // the points taken, at most two (pointReading)
        section: { axis: "", at: 0.5, flipped: false },  // the section plane (Viewer.setSection)
        // making the drawings: { phase: "running" | "done" | "failed" | "cancelled", text, svg (kon2svg's text);
        // the drawing view adds its view (a viewBox) and far (how many line ends it left out of its fit) }
        drawing: null,
        drawingShown: false,   // the drawing view instead of the 3D view
    };
}

// An action that awaits checks `current()` after each await before it touches
// the state: a newer file may have taken its place meanwhile.
export class Session {
    // jobs: a JobRunner; viewer: a Viewer; render(session): draws the page;
    // instances: the InstanceList; drawingView: a DrawingView; batchView: a
    // BatchView; makeRunner(): a new JobRunner for a batch; makePictures():
    // a PictureMaker for the batch's cards; later(draw): calls draw in the next frame.
    constructor({ jobs, viewer, render, instances, drawingView, batchView, makeRunner, makePictures = null, later = (draw) => requestAnimationFrame(draw) }) {
        Object.assign(this, { jobs, viewer, instances, drawingView, batchView, drawPage: render });
        // What was given and how the view is set (kept across files), then the file shown.
        this.state = {
            intake: { refused: [] }, textureFiles: new Map(),
            settings: { orthographic: false, grid: false, fullDetail: false, shown: { outlines: false, lines: true, dots: true } },
            ...fileState(null),
        };
        this.opened = 0;  // counts the files opened, so that an older one's late answer is dropped
        this.draws = 0;  // counts the drawings started: only the latest one shows
        Object.assign(this, { xExport: new XExport(this), drawingFiles: new DrawingFiles(this), batches: new BatchWork(this, { makeRunner, makePictures, later }) });
        viewer.settings = this.state.settings;  // the viewer draws as they say
        viewer.stage.onLost = () => this.render();
        viewer.onDrawn = () => this.render();
    }

    render() {
        this.drawPage(this);
    }

    // Takes what one choice or drop gave (intake.js's sort): one file is
    // opened, several start a batch.
    async give({ models, textures, refused }) {
        for (const [name, file] of textures) this.state.textureFiles.set(name, file);
        this.state.intake.refused = refused;
        if (models.length > 1 || models.some(({ path }) => path.includes("/"))) return this.batches.start(models);
        if (models.length === 1) {
            this.state.batchShown = false;
            return this.open(models[0].file);
        }
        // Drawn again as it is seen, or, while its first drawing still decodes, in its place.
        if (textures.size && this.state.model) return this.guarded(this.currentCheck(), () => this.draw(this.currentCheck(), this.state.view !== null));
        this.render();
    }

    currentCheck() {
        const opened = this.opened;
        return () => opened === this.opened;
    }

    // Reads, converts, counts and draws a construction file, given in `folder`.
    async open(file, folder = "") {
        stage("open");
        const reading = file.arrayBuffer();  // while the last file is cleared away
        reading.catch(() => {});  // convert reports it
        this.close(file, folder);
        const current = this.currentCheck();
        await this.guarded(current, () => this.convert(current, reading));
        if (!current()) return;
        this.state.busy = false;
        if (!this.state.view) this.viewer.reveal();  // the view, emptied
        this.render();
    }

    // Puts the file shown away, and shows `file` (or none) in its place.
    close(file = null, folder = "") {
        this.jobs.cancel();
        this.opened++;
        for (const { url } of this.state.downloads) URL.revokeObjectURL(url);
        Object.assign(this.state, fileState(file, folder));
        this.viewer.clear();
        this.render();
    }

    // Runs an action; an error it did not expect becomes the outcome shown.
    async guarded(current, action) {
        try {
            await action();
        } catch (error) {
            if (current()) this.state.outcome = { kind: "failed", message: `the page failed: ${error}` };
        }
        this.render();
    }

    async convert(current, reading) {
        const file = this.state.file;
        let bytes;
        try {
            bytes = await reading;
        } catch (error) {
            if (current()) this.state.outcome = { kind: "unreadable", message: `${file.name} could not be read (${error.message}).` };
            return;
        }
        if (!current()) return;
        stage("read");
        this.state.bytes = bytes;
        const result = await this.run("kon2info");
        if (!current()) return;
        stage("converted");
        this.state.outcome = result;
        if (result.kind !== "done" || result.status !== 0) return;
        this.offer(result.files);
        if (result.facts) {
            this.state.info = JSON.parse(result.facts);
            this.state.unplaced = new Set(this.state.info.unplaced);
        }
        stage("facts");
        const [glb] = result.files;  // kon2info writes kon2gltf's one file
        const model = readGlb(await glb.blob.arrayBuffer());
        if (!current()) return;
        stage("glb");
        this.state.model = model;
        model.nodes.forEach((node, i) => this.state.nodeOf.set(node.instance, i));
        await this.draw(current);
    }

    // Runs a program on the file's bytes (a copy each time).
    run(program, handlers) {
        return this.jobs.run({ program, name: this.state.file.name, bytes: this.state.bytes.slice(0) }, handlers);
    }

    offer(files) {
        for (const { name, blob } of files) this.state.downloads.push({ name, url: URL.createObjectURL(blob) });
    }

    // Decodes the textures the model names that were given, then draws it;
    // drawn again (`again`: textures given later), the camera stays.
    // A drawing started later takes its place.
    async draw(current, again = false) {
        const latest = ++this.draws;
        const images = new Map();
        const broken = [];
        for (const name of this.state.model.textureNames) {
            const file = textureFor(this.state.textureFiles, this.state.folder, name);
            if (!file) continue;
            try {
                images.set(name, await createImageBitmap(file));
            } catch {
                broken.push(`${name}.png`);
            }
        }
        if (!current() || latest !== this.draws) return;
        // From here on all is drawn at once: the panel as it will stay, then the view's one frame.
        if (!again) this.state.busy = false;
        this.state.brokenTextures = broken;
        this.state.view = this.drawable() ? this.viewer.show(this.state.model, images, this.state.info?.elements, again) : null;
        stage("scene");
        // Drawn again, the section and the measurement stay too.
        if (this.state.section.axis) this.viewer.setSection(this.state.section);
        if (this.state.measured.length) this.viewer.setMarks(this.state.measured.map((reading) => reading.scene));
        // A new model is drawn with every instance shown and none selected.
        this.updateNodes(again ? this.state.nodeOf.keys() : []);
        stage("frame");
    }

    drawable() {
        return this.state.model.positions !== null && this.state.model.nodes.length > 0;
    }

    cancel() {
        this.jobs.cancel();
    }

    rowState(j) {
        const state = this.state;
        return {
            hidden: this.isHidden(j), unplaced: state.unplaced.has(j), selected: j === state.selected,
            values: state.info?.instance_values?.[j],
        };
    }

    // The nodes the view shows: shown(i) for node i.
    shownNodes() {
        return (i) => !this.isHidden(this.state.model.nodes[i].instance);
    }

    // A click on the view at `pointer` (normalised device coordinates): it
    // takes a point while measuring, else selects the instance under it (or none).
    clickAt(pointer) {
        if (!this.state.view) return;
        const hit = this.viewer.pick(pointer, this.shownNodes());
        if (!this.state.measuring) {
            this.select(hit ? this.state.model.nodes[hit.node].instance : null);
            return;
        }
        if (hit && hit.point !== null) this.measure(this.pointReading(hit));
    }

    // Takes the point `reading` into the measurement (a third starts it again).
    measure(reading) {
        const measured = this.state.measured.length === 2 ? [] : this.state.measured;
        this.state.measured = [...measured, reading];
        this.viewer.setMarks(this.state.measured.map((taken) => taken.scene));
        this.render();
    }

    // The pointer moved to `pointer` over the view (null: it left).
    pointAt(pointer) {
        const hit = pointer && this.state.view ? this.viewer.pick(pointer, this.shownNodes()) : null;
        const reading = hit && hit.point !== null ? this.pointReading(hit) : null;
        if (reading?.key === this.state.pointed?.key) return;
        if (this.state.pointedByKeys) this.viewer.setPointMark(null);
        Object.assign(this.state, { pointed: reading, pointedByKeys: false });
        this.render();
    }

    // Names the next (step 1) or the previous (-1) corner of the selected
    // instance that the section keeps, and marks it: the keyboard's pointer.
    pointStep(step) {
        const node = this.state.nodeOf.get(this.state.selected);
        const corners = node === undefined || this.isHidden(this.state.selected) ? [] : this.viewer.keptCorners(node);
        if (!corners.length) return;
        const now = this.state.pointed?.instance === this.state.selected ? corners.indexOf(this.state.pointed.point) : -1;
        const next = now < 0 ? (step > 0 ? 0 : corners.length - 1) : (now + step + corners.length) % corners.length;
        Object.assign(this.state, { pointed: this.pointReading({ node, point: corners[next] }), pointedByKeys: true });
        this.viewer.setPointMark(this.state.pointed.scene);
        this.render();
    }

    // Enter while measuring: takes the corner that the keys name.
    takePointed() {
        if (this.state.measuring && this.state.pointedByKeys && this.state.pointed) this.measure(this.state.pointed);
    }

    // A point as the file has it and as its instance places it, in the file's
    // axes (the scene's y and z turned round): { instance, point, file, placed, scene, key }.
    pointReading({ node, point }) {
        const scene = this.viewer.picker.placed(node, point);
        const p = this.state.model.positions;
        return {
            instance: this.state.model.nodes[node].instance, point, scene, key: `${node} ${point}`,
            file: [p[3 * point], -p[3 * point + 1], -p[3 * point + 2]].map((v) => v + 0),
            placed: [scene.x, -scene.y, -scene.z],
        };
    }

    // Shows the drawing view (on) or the 3D view; the drawing's files are made the first time.
    async showDrawing(on) {
        this.state.drawingShown = on;
        this.render();
        if (on && this.drawingFiles.due()) await this.drawingFiles.make();
    }

    // Changes how the view is set by `change` (some of orthographic, grid,
    // fullDetail, and shown: which elements beyond triangles are drawn).
    setSettings({ shown, ...change }) {
        Object.assign(this.state.settings, change);
        Object.assign(this.state.settings.shown, shown);
        this.viewer.applySettings();
        this.render();
    }

    // Changes the section plane by `change` (some of axis, at, flipped).
    setSection(change) {
        Object.assign(this.state.section, change);
        this.viewer.setSection(this.state.section);
        this.render();
    }

    setMeasuring(on) {
        Object.assign(this.state, { measuring: on, measured: [] });
        this.viewer.setMarks([]);
        this.render();
    }

    // The view of the shown instances (fit all), of the selected one, or a standard view.
    fitAll() {
        if (!this.viewer.fitTo(this.shownNodes())) this.viewer.showView("oblique");
    }

    fitSelection() {
        const node = this.state.nodeOf.get(this.state.selected);
        if (node !== undefined) this.viewer.fitTo((i) => i === node);
    }

    isHidden(j) {
        return this.state.alone !== null ? j !== this.state.alone : this.state.hidden.has(j);
    }

    // Selects instance j (null: none).
    select(j) {
        const previous = this.state.selected;
        this.state.selected = j;
        this.updateNodes([previous, j].filter((k) => k !== null), false);
    }

    toggleHidden() {
        const { selected, hidden } = this.state;
        if (selected === null) return;
        this.state.alone = null;
        if (!hidden.delete(selected)) hidden.add(selected);
        this.updateNodes(this.state.nodeOf.keys());
    }

    showAlone() {
        if (this.state.selected === null) return;
        this.state.alone = this.state.selected;
        this.updateNodes(this.state.nodeOf.keys());
    }

    showAll() {
        this.state.alone = null;
        this.state.hidden.clear();
        this.updateNodes(this.state.nodeOf.keys());
    }

    // Redraws the instances `changed`; `visibility`: which are shown may have changed.
    updateNodes(changed, visibility = true) {
        const drawn = this.state.view && this.viewer.working;
        if (drawn) {
            if (visibility) this.viewer.placeElements(this.shownNodes());
            for (const j of changed) {
                const i = this.state.nodeOf.get(j);
                if (i !== undefined) this.viewer.setNode(i, { visible: !this.isHidden(j), highlighted: j === this.state.selected });
            }
        }
        this.render();  // the panel first: the view's frame follows its layout
        if (drawn) this.viewer.render();
    }
}
