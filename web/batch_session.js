// The session's batch: starting one from several files, opening its rows in
// the 3D view and going back, the filter and the formats, and "Download all".
import { Batch, batchWorkers } from "./batch.js";
import { BatchZip, kLargestZip } from "./batch_zip.js";

const kDrawEvery = 100;

export class BatchWork {
    // session: the Session; makeRunner(): a new JobRunner with a worker of
    // its own; later(draw): calls draw in the next frame.
    constructor(session, makeRunner, later) {
        Object.assign(this, { session, makeRunner, later, due: false });
        this.workers = batchWorkers(globalThis.navigator?.hardwareConcurrency ?? 1);
        // What the batch view shows; kept across batches.
        session.state.batchView = { filter: "all", formats: new Set(["glb", "svg"]) };
        Object.assign(session.state, { batch: null, batchShown: false, zip: null });
    }

    // Draws the page soon, at most every kDrawEvery ms: rows fill in far
    // faster than that, and each drawing takes the main thread from the
    // workers' messages.
    renderSoon() {
        if (this.due) return;
        this.due = true;
        setTimeout(() => this.later(() => {
            this.due = false;
            this.session.render();
        }), kDrawEvery);
    }

    // Converts the construction files among `files`; the last batch is cancelled.
    async start(files) {
        const state = this.session.state;
        this.cancel();
        this.session.close();
        if (state.zip?.url) URL.revokeObjectURL(state.zip.url);
        const batch = new Batch({ files, makeRunner: this.makeRunner, workers: this.workers, onChange: () => this.renderSoon() });
        Object.assign(state, { batch, batchShown: true, zip: null });
        this.session.render();
        await batch.run();
    }

    // Opens entry i of the batch in the 3D view, converting it again.
    open(i) {
        const entry = this.session.state.batch?.entries[i];
        if (!entry) return undefined;
        this.session.state.batchShown = false;
        return this.session.open(entry.file);
    }

    // Shows the list again.
    back() {
        this.session.state.batchShown = true;
        this.session.render();
    }

    cancel() {
        this.session.state.batch?.cancel();
        this.session.state.zip?.cancel?.();
        this.session.render();
    }

    setFilter(filter) {
        this.session.state.batchView.filter = filter;
        this.session.render();
    }

    setFormat(format, on) {
        const { formats } = this.session.state.batchView;
        if (on) formats.add(format);
        else formats.delete(format);
        this.session.render();
    }

    // Makes the zip: streamed into the file the save dialog names where the
    // browser has one (a dialog cancelled changes nothing), else in memory.
    async makeZip() {
        const state = this.session.state;
        if (!state.batch || state.zip?.phase === "running") return;
        const target = window.showSaveFilePicker ? await this.saveTarget() : null;
        if (target === undefined || state.zip?.phase === "running") return;
        if (state.zip?.url) URL.revokeObjectURL(state.zip.url);
        const zip = new BatchZip(state.batch, [...state.batchView.formats], {
            makeRunner: this.makeRunner, workers: this.workers, onChange: () => this.renderSoon(), limit: target ? Infinity : kLargestZip,
        });
        zip.savedAs = target?.name ?? null;
        state.zip = zip;
        this.session.render();
        const blob = await zip.make(target?.writable ?? null);
        if (blob && state.zip === zip) zip.url = URL.createObjectURL(blob);
        this.session.render();
    }

    // { name, writable } of the file chosen in the save dialog; undefined
    // where it was cancelled, or could not be opened (said in the zip's note).
    async saveTarget() {
        try {
            const handle = await window.showSaveFilePicker({ suggestedName: "kon2x-batch.zip" });
            return { name: handle.name, writable: await handle.createWritable() };
        } catch (error) {
            if (error.name !== "AbortError") this.session.state.zip = { phase: "failed", problem: `kon2x-batch.zip could not be opened: ${error.message}` };
            this.session.render();
            return undefined;
        }
    }
}
