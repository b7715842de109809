// The session's batch: starting one from several files or a folder, its
// pictures, opening its entries in the 3D view and going back, the filter,
// sort and layout, "Save sheet", the formats, and "Download all".
import { Batch, batchWorkers } from "./batch.js";
import { BatchPictures } from "./batch_pictures.js";
import { drawSheet, saveFile } from "./batch_sheet.js";
import { outcomeText, shownEntries } from "./batch_view.js";
import { BatchZip, kLargestZip } from "./batch_zip.js";
import { downloadZip } from "client-zip";
import { folderOf } from "./intake.js";

const kDrawEvery = 100;

export class BatchWork {
    // session: the Session; makeRunner(): a new JobRunner with a worker of
    // its own; makePictures(): a PictureMaker (or null: no pictures), made
    // at the first batch; later(draw): calls draw in the next frame.
    constructor(session, { makeRunner, makePictures, later }) {
        Object.assign(this, { session, makeRunner, makePictures, later, due: false, pictures: null });
        this.workers = batchWorkers(globalThis.navigator?.hardwareConcurrency ?? 1);
        // What the batch view shows; kept across batches. sheet: "running" while the sheet is drawn.
        session.state.batchView = { filter: "all", sort: "given", cards: true, sheet: null, formats: new Set(["glb", "svg"]) };
        Object.assign(session.state, { batch: null, batchShown: false, zip: null });
    }

    // Whether the batch's entries get pictures.
    get pictured() {
        return this.pictures?.working ?? false;
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

    // Converts the construction files among `inputs` ([{ file, path }]); the last batch is cancelled.
    async start(inputs) {
        const state = this.session.state;
        this.cancel();
        this.session.close();
        if (state.zip?.url) URL.revokeObjectURL(state.zip.url);
        this.pictures?.clear();
        // Made at the first batch, and again where the last one's graphics were taken away.
        if (this.makePictures && !this.pictured) this.pictures = new BatchPictures(this.makePictures(), state.textureFiles, () => this.renderSoon());
        const onModel = this.pictured ? (entry, blob) => this.pictures.add(entry, blob) : null;
        const batch = new Batch({ inputs, makeRunner: this.makeRunner, workers: this.workers, onChange: () => this.renderSoon(), onModel });
        if (onModel) this.pictures.converting = () => batch.phase === "running";
        Object.assign(state, { batch, batchShown: true, zip: null });
        this.session.render();
        await batch.run();
        if (onModel && state.batch === batch) await this.pictures.catchUp(this.makeRunner());
    }

    // Opens entry i of the batch in the 3D view, converting it again.
    open(i) {
        const entry = this.session.state.batch?.entries[i];
        if (!entry) return undefined;
        this.session.state.batchShown = false;
        return this.session.open(entry.file, folderOf(entry.name));
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

    setSort(sort) {
        this.session.state.batchView.sort = sort;
        this.session.render();
    }

    // Cards with pictures, or rows.
    setCards(on) {
        this.session.state.batchView.cards = on;
        this.session.render();
    }

    // Saves the cards shown, in their order, as one PNG page, or a zip of them.
    async saveSheet() {
        const { batch, batchView: view } = this.session.state;
        if (!batch || view.sheet === "running") return;
        view.sheet = "running";
        this.session.render();
        try {
            const cards = shownEntries(batch.entries, view.filter, view.sort).map((i) => {
                const { name, row, picture } = batch.entries[i];
                const failed = row?.outcome === "refused" || row?.outcome === "failed";
                return { name, outcome: outcomeText(row, batch.phase === "cancelled") || "waiting", failed, picture: picture?.blob ?? null };
            });
            const pages = await drawSheet(cards);
            if (!pages.length) return;
            if (pages.length === 1) saveFile(pages[0], "kon2x-sheet.png");
            else saveFile(await downloadZip(pages.map((page, k) => ({ name: `kon2x-sheet-${k + 1}.png`, input: page }))).blob(), "kon2x-sheet.zip");
        } finally {
            view.sheet = null;
            this.session.render();
        }
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
