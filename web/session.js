// The page's state and its one owner: what the user gave, what the programs
// answered, what is shown and selected. Each action changes the state, then
// the panel and the notes are drawn from it (panel.js).
import { readGlb } from "./glb.js";

// A .x up to this size is made in memory and offered; a larger one goes to
// disk where the browser can stream it there, else it needs the program.
export const kLargestX = 512 << 20;
const kNoWebGL = "The 3D view is not available here (no WebGL); converting and downloading still work.";
const kLost = "The 3D view stopped: the browser took its graphics away. Converting and downloading still work; "
    + "reload the page to see models again.";

// What belongs to the construction file shown; a new file starts from this.
function fileState(file) {
    return {
        file,
        bytes: null,           // its content, read once
        busy: file !== null,   // while it is read, converted and drawn
        outcome: null,         // kon2gltf's result (jobs.js), or { kind: "unreadable" | "failed", message }
        downloads: [],         // [{ name, url }]: the files the programs wrote, as they named them
        model: null,           // readGlb of its .glb
        info: null,            // kon2info's summary
        infoProblem: "",       // why there is none
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
    // instances: the InstanceList; drawingView: a DrawingView.
    constructor({ jobs, viewer, render, instances, drawingView }) {
        Object.assign(this, { jobs, viewer, instances, drawingView, drawPage: render });
        // What was given (kept across files), then the file shown.
        this.state = { intake: { refused: [], models: [] }, textureFiles: new Map(), ...fileState(null) };
        this.opened = 0;  // counts the files opened, so that an older one's late answer is dropped
        this.draws = 0;  // counts the drawings started: only the latest one shows
        viewer.onLost = () => this.render();
        viewer.onCloseUp = () => this.render();
    }

    render() {
        this.drawPage(this);
    }

    // Takes what one choice or drop gave (intake.js's sort).
    async give({ models, textures, refused }) {
        for (const [name, file] of textures) this.state.textureFiles.set(name, file);
        this.state.intake.refused = refused;
        if (models.length) this.state.intake.models = models.length > 1 ? models : [];
        if (models.length === 1) return this.open(models[0]);
        if (textures.size && this.state.model) return this.guarded(this.currentCheck(), () => this.draw(this.currentCheck(), true));
        this.render();
    }

    currentCheck() {
        const opened = this.opened;
        return () => opened === this.opened;
    }

    // Reads, converts, counts and draws a construction file.
    async open(file) {
        this.jobs.cancel();
        this.opened++;
        const current = this.currentCheck();
        for (const { url } of this.state.downloads) URL.revokeObjectURL(url);
        Object.assign(this.state, fileState(file));
        this.viewer.clear();
        this.render();
        await this.guarded(current, () => this.convert(current));
        if (!current()) return;
        this.state.busy = false;
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

    async convert(current) {
        const file = this.state.file;
        let bytes;
        try {
            bytes = await file.arrayBuffer();
        } catch (error) {
            if (current()) this.state.outcome = { kind: "unreadable", message: `${file.name} could not be read (${error.message}).` };
            return;
        }
        if (!current()) return;
        this.state.bytes = bytes;
        const result = await this.run("kon2gltf");
        if (!current()) return;
        this.state.outcome = result;
        if (result.kind !== "done" || result.status !== 0) return;
        this.offer(result.files);
        const [glb] = result.files;  // kon2gltf writes one file
        const model = readGlb(await glb.blob.arrayBuffer());
        if (!current()) return;
        const info = await this.run("kon2info");
        if (!current()) return;
        this.takeInfo(info);
        this.state.model = model;
        model.nodes.forEach((node, i) => this.state.nodeOf.set(node.instance, i));
        await this.draw(current);
    }

    takeInfo(result) {
        if (result.kind === "done" && result.status === 0) {
            this.state.info = JSON.parse(result.stdout);
            this.state.unplaced = new Set(this.state.info.unplaced);
        } else {
            this.state.infoProblem = `Counting the model's elements ${result.kind === "cancelled" ? "was cancelled" : "failed"}: `
                + "no counts, no list of instances and no .x until Count again.";
        }
    }

    canCountAgain() {
        return this.state.model !== null && this.state.infoProblem !== "";
    }

    // Counts the model's elements again after counting was cancelled or
    // failed; with the counts, the model is drawn again as it is seen.
    async countAgain() {
        if (this.jobs.busy || !this.canCountAgain()) return;
        const current = this.currentCheck();
        this.state.infoProblem = "";
        this.state.busy = true;
        this.render();
        await this.guarded(current, async () => {
            const info = await this.run("kon2info");
            if (!current()) return;
            this.takeInfo(info);
            if (this.state.info) await this.draw(current, true);
        });
        if (current()) this.state.busy = false;
        this.render();
    }

    // Runs a program on the file's bytes (a copy each time).
    run(program, handlers) {
        return this.jobs.run({ program, name: this.state.file.name, bytes: this.state.bytes.slice(0) }, handlers);
    }

    offer(files) {
        for (const { name, blob } of files) this.state.downloads.push({ name, url: URL.createObjectURL(blob) });
    }

    // Decodes the textures the model names that were given, then draws it;
    // drawn again (`again`: textures given later, the counts), the camera stays.
    // A drawing started later takes its place.
    async draw(current, again = false) {
        const latest = ++this.draws;
        const images = new Map();
        const broken = [];
        for (const name of this.state.model.textureNames) {
            const file = this.state.textureFiles.get(name);
            if (!file) continue;
            try {
                images.set(name, await createImageBitmap(file));
            } catch {
                broken.push(`${name}.png`);
            }
        }
        if (!current() || latest !== this.draws) return;
        this.state.brokenTextures = broken;
        this.state.view = this.drawable() ? this.viewer.show(this.state.model, images, this.state.info?.elements, again) : null;
        // Drawn again, the section and the measurement stay too.
        if (this.state.section.axis) this.viewer.setSection(this.state.section);
        if (this.state.measured.length) this.viewer.setMarks(this.state.measured.map((reading) => reading.scene));
        this.updateNodes(this.state.nodeOf.keys());
    }

    drawable() {
        return this.state.model.positions !== null && this.state.model.nodes.length > 0;
    }

    // About how many bytes the .x has: each point and face line of every instance.
    xEstimate() {
        const c = this.state.info;
        return c.instances * (c.points * 70 + (c.triangles + c.quads + c.polygons) * 40);
    }

    canMakeX() {
        const { info, x } = this.state;
        return info?.x_name !== undefined && x?.phase !== "done"
            && (this.xEstimate() <= kLargestX || window.showSaveFilePicker !== undefined);
    }

    async makeX() {
        if (this.jobs.busy || !this.canMakeX()) return;
        const current = this.currentCheck();
        const name = this.state.info.x_name;
        const large = this.xEstimate() > kLargestX;
        let target = null;
        if (large) {
            try {
                target = await window.showSaveFilePicker({ suggestedName: name });
            } catch (error) {
                if (error.name !== "AbortError" && current()) this.setX("failed", `${name} was not saved: ${error.message}`);
                return;  // a cancelled dialog changes nothing
            }
            if (!current()) return;
        }
        this.setX("running", `Making ${name}…`);
        const result = large ? await this.streamX(target, current) : await this.run("kon2x");
        if (!current()) return;
        if (result.kind === "unwritable") {
            this.setX("failed", `${target.name} could not be written: ${result.message}`);
        } else if (result.kind === "cancelled") {
            this.setX("cancelled", `Making ${name} was cancelled.`);
        } else if (result.kind === "trapped") {
            this.setX("failed", `${name} was not made: the program stopped with an error (${result.message}).`);
        } else if (result.status !== 0) {
            this.setX("failed", `${name} was not made (exit status ${result.status}). ${result.messages}`);
        } else if (large) {
            this.setX("done", `${target.name} saved (${megabytes(result.written)}).`);
        } else {
            this.offer(result.files);
            this.setX("done", "");
        }
    }

    // Runs kon2x with its output streamed into the file handle; resolves
    // with the run's result (`written`: its size), or { kind: "unwritable",
    // message } when the file cannot be written (the run is then cancelled).
    async streamX(handle, current) {
        let failure = null;
        let written = 0;
        let stream;
        let writing = handle.createWritable().then((opened) => {
            stream = opened;
        });
        const stopped = (error) => {
            failure ??= error;
            if (current()) this.jobs.cancel();
        };
        const result = await this.run("kon2x", {
            onChunk: (name, bytes) => {
                written += bytes.byteLength;
                writing = writing.then(() => failure || stream.write(bytes)).catch(stopped);
            },
        });
        await writing.catch(stopped);
        try {
            if (!failure) await (result.kind === "done" && result.status === 0 ? stream.close() : stream.abort());
        } catch (error) {
            failure = error;
        }
        if (failure) await stream?.abort().catch(() => {});
        return failure ? { kind: "unwritable", message: failure.message } : { ...result, written };
    }

    setX(phase, text) {
        this.state.x = { phase, text };
        this.render();
    }

    xNote() {
        const state = this.state;
        if (state.x?.text) return state.x.text;
        if (!state.info?.x_name || this.xEstimate() <= kLargestX) return "";
        const size = `${state.info.x_name} will be about ${megabytes(this.xEstimate())}, more than this page makes in memory `
            + `(${megabytes(kLargestX)})`;
        return window.showSaveFilePicker ? `${size}: Make .x asks where to save it and writes it there.`
            : `${size}: convert it with the kon2x program.`;
    }

    cancel() {
        this.jobs.cancel();
    }

    textureNote() {
        const state = this.state;
        if (!state.model) return "";
        const missing = state.model.textureNames.filter((name) => !state.textureFiles.has(name)).map((name) => `${name}.png`);
        return [
            missing.length ? `Textures not given (drop them to see them): ${missing.join(", ")}.` : "",
            state.brokenTextures.length ? `Not pictures that can be read, drawn without them: ${state.brokenTextures.join(", ")}.` : "",
        ].filter(Boolean).join(" ");
    }

    // The one note over the view.
    viewNote() {
        const state = this.state;
        const notes = [...state.intake.refused, state.infoProblem];
        if (state.drawingShown) notes.push(farLinesNote(state.drawing?.far));
        else if (!this.viewer.working) notes.push(this.viewer.lost ? kLost : kNoWebGL);
        else if (state.model && !state.busy) notes.push(this.drawingNote());
        return notes.filter(Boolean).join(" ");
    }

    drawingNote() {
        const { info, model, view } = this.state;
        if (!model.positions) return "Nothing to draw: the model has no faces of three or more points.";
        if (!model.nodes.length) {
            return info?.instances ? "Nothing to draw: none of the model's instances can be placed." : "Nothing to draw: the model has no instances.";
        }
        if (!view) return "";
        const notes = [];
        if (view.zeroArea) notes.push("Nothing to see: every face of the model has zero area as placed.");
        const boxes = view.boxesArePoints ? "dots at their centres" : "boxes";
        if (view.fraction < 1) {
            notes.push(`Stand-in: this model's faces are too many or too large to draw at once; ${Math.round(100 * view.fraction)} % `
                + `of the first instance's triangles are drawn, every other instance as ${view.boxesArePoints ? "a dot at its centre" : "its box"}.`);
        } else if (view.full < model.nodes.length) {
            notes.push(`Stand-in: ${view.full} of ${model.nodes.length} instances drawn in full, the others as ${boxes}.`);
        }
        if (this.viewer.closeUp < 1) {
            notes.push(`Close up: ${Math.max(1, Math.round(100 * this.viewer.closeUp))} % of the triangles are drawn at this view, `
                + "since the faces would cover the screen too many times for a quick frame; move out to see them all.");
        }
        if (view.undrawable.length) {
            const listed = view.undrawable.slice(0, 5).join(", ") + (view.undrawable.length > 5 ? ", …" : "");
            notes.push(`${view.undrawable.length === 1 ? "Instance" : "Instances"} ${listed} ${view.undrawable.length === 1 ? "places" : "place"} `
                + "the model beyond 2^60 units, farther than the view can draw: left out of it.");
        }
        if (view.far) {
            notes.push(`${view.far} ${view.far === 1 ? "point that faces use lies" : "points that faces use lie"} far from the others, `
                + "outside the fitted view: zoom out to see them.");
        }
        return notes.join(" ");
    }

    countRows() {
        const { info, model, view } = this.state;
        const rows = [];
        if (info) {
            rows.push(["Points", info.points], ["Single points", info.single_points], ["Two-point elements", info.two_point_elements],
                ["Triangles", info.triangles], ["Quads", info.quads], ["Polygons", info.polygons],
                ["Instances", info.instances], ["Instances that cannot be placed", info.unplaced.length]);
        }
        if (model) rows.push(["Materials", model.materials.length]);
        if (view) {
            rows.push(["Triangles drawn", view.trianglesDrawn.toLocaleString("en")]);
            if (view.trianglesDrawn < view.triangles) rows.push(["Triangles in the model", view.triangles.toLocaleString("en")]);
            rows.push(["Size along x, y, z (units)", [view.size.x, view.size.y, view.size.z].map((v) => +v.toPrecision(6)).join(" × ")]);
        }
        return rows;
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

    // Shows the drawing view (on) or the 3D view. The drawings are made the
    // first time: kon2svg's and kon2dxf's files, offered as they named them.
    async showDrawing(on) {
        this.state.drawingShown = on;
        this.render();
        if (!on || (this.state.drawing && this.state.drawing.phase !== "cancelled") || this.jobs.busy || !this.state.bytes) return;
        const current = this.currentCheck();
        this.state.drawing = { phase: "running", text: "Making the drawing…" };
        this.render();
        const results = [];
        for (const program of ["kon2svg", "kon2dxf"]) {
            const result = await this.run(program);
            if (!current()) return;
            if (result.kind === "cancelled") {
                this.state.drawing = { phase: "cancelled", text: "Making the drawing was cancelled: show the drawing again to make it." };
                this.render();
                return;
            }
            results.push(result);
        }
        const failed = results.find((result) => result.kind !== "done" || result.status !== 0);
        if (failed) {
            this.state.drawing = { phase: "failed", text: `The drawing was not made${failed.kind === "done" ? ` (exit status ${failed.status})` : ""}.` };
        } else {
            for (const result of results) this.offer(result.files);
            const [svg] = results[0].files;  // kon2svg writes one file
            const text = await svg.blob.text();
            if (!current()) return;
            this.state.drawing = { phase: "done", text: "", svg: text };
        }
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
        if (this.state.view && this.viewer.working) {
            if (visibility) this.viewer.placeElements(this.shownNodes());
            for (const j of changed) {
                const i = this.state.nodeOf.get(j);
                if (i !== undefined) this.viewer.setNode(i, { visible: !this.isHidden(j), highlighted: j === this.state.selected });
            }
            this.viewer.render();
        }
        this.render();
    }
}

function farLinesNote(far) {
    return far ? `${far} ${far === 1 ? "line end lies" : "line ends lie"} far from the others, outside the fitted drawing: zoom out to see `
        + `${far === 1 ? "it" : "them"}.` : "";
}

function megabytes(bytes) {
    return bytes >= 2 ** 30 ? `${(bytes / 2 ** 30).toFixed(1)} GB` : `${Math.round(bytes / 2 ** 20)} MB`;
}
