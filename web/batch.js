// A batch: many construction files, each converted by kon2counts (kon2gltf
// with the counts) in one of a few workers, as kon2batch converts a folder.
// Each entry keeps its row (the outcome and the counts) and its picture
// (batch_pictures.js): its .glb is handed over for that, or only measured.
import { rowOf, sameOutputs } from "./batch_report.js";
import { folderOf, isConstructionHead } from "./intake.js";

// A file that is not a construction file, as kon2batch skips it.
const kSkipped = { outcome: "skipped", messages: "", counts: null, glb: null };

// A path's last part: the programs run on the file by its own name.
export function baseName(path) {
    return path.slice(folderOf(path).length);
}

// How many workers a batch uses: two where the machine has two cores.
export function batchWorkers(cores) {
    return cores >= 2 ? 2 : 1;
}

// "0:05": minutes and seconds.
function clock(seconds) {
    const whole = Math.max(0, Math.round(seconds));
    return `${Math.floor(whole / 60)}:${String(whole % 60).padStart(2, "0")}`;
}

export class Batch {
    // inputs: [{ file, path }] in the order given (those that are not
    // construction files are skipped as they are read), each entry named by
    // its path; makeRunner(): a new JobRunner with a worker of its own;
    // onChange(): told as rows fill in; onModel(entry, blob): where given,
    // takes each converted entry's .glb.
    constructor({ inputs, makeRunner, workers = 1, onChange = () => {}, onModel = null, now = () => performance.now() }) {
        this.entries = inputs.map(({ file, path }) => ({ file, name: path, size: file.size, milliseconds: 0, row: null, picture: null }));
        Object.assign(this, { onChange, onModel, now, phase: "running", started: now(), ended: null });
        this.runners = Array.from({ length: Math.min(workers, inputs.length) }, makeRunner);
        this.next = 0;  // the next entry to convert
    }

    // Converts every entry, each worker taking the next; resolves when all
    // are done or the batch is cancelled.
    async run() {
        await this.refuseSharedOutputs();
        await Promise.all(this.runners.map((runner) => this.work(runner)));
        if (this.phase === "running") this.phase = "done";
        this.ended = this.now();
        for (const runner of this.runners) runner.end();
        this.onChange();
    }

    async work(runner) {
        for (let i = this.take(); i !== null && this.phase === "running"; i = this.take()) {
            const entry = this.entries[i];
            const start = this.now();
            const [row, glb] = await this.convert(runner, entry);
            if (this.phase !== "running") return;
            entry.row = row;
            entry.milliseconds = this.now() - start;
            this.onChange();
            if (glb) this.onModel(entry, glb);
        }
    }

    // Construction files that would write the same output as another are
    // refused before any run. Only the files whose names share an output
    // are looked at first: reading every file's head at once would hold up
    // the page (a quarter of a second for 2,000 files).
    async refuseSharedOutputs() {
        const names = this.entries.map((entry) => entry.name);
        await Promise.all([...sameOutputs(names).keys()].map(async (i) => {
            const { file } = this.entries[i];
            const head = await file.slice(0, 4).arrayBuffer().catch(() => null);
            if (head && !isConstructionHead(new Uint8Array(head))) this.entries[i].row = kSkipped;
        }));
        const kept = this.entries.flatMap((entry, i) => entry.row ? [] : [i]);
        for (const [k, messages] of sameOutputs(kept.map((i) => names[i]))) {
            this.entries[kept[k]].row = { outcome: "refused", messages, counts: null, glb: null };
        }
    }

    take() {
        while (this.next < this.entries.length && this.entries[this.next].row) this.next++;
        return this.next < this.entries.length ? this.next++ : null;
    }

    // [the entry's row, its .glb's Blob where converted and onModel takes it].
    async convert(runner, { file, name }) {
        let bytes;
        try {
            bytes = await file.arrayBuffer();
        } catch (error) {
            return [{ outcome: "failed", messages: `${name} could not be read (${error.message}).\n`, counts: null, glb: null }, null];
        }
        if (this.phase !== "running") return [null, null];
        if (!isConstructionHead(new Uint8Array(bytes, 0, Math.min(4, bytes.byteLength)))) return [kSkipped, null];
        const result = await runner.run({ program: "kon2counts", name: baseName(name), bytes }, { discard: !this.onModel });
        const row = rowOf(result, name);
        return [row, row?.outcome === "converted" && this.onModel ? result.files[0]?.blob ?? null : null];
    }

    // Stops at once; the rows done so far stay.
    cancel() {
        if (this.phase !== "running") return;
        this.phase = "cancelled";
        for (const runner of this.runners) runner.end();
    }

    // What is done so far: { done, refused (or failed), skipped, total }.
    tally() {
        const count = { done: 0, refused: 0, skipped: 0, total: this.entries.length };
        for (const { row } of this.entries) {
            count.done += row !== null;
            count.refused += row?.outcome === "refused" || row?.outcome === "failed";
            count.skipped += row?.outcome === "skipped";
        }
        return count;
    }

    // "120/300 files, 4 refused or failed, 0:05 left": done of all the files
    // given, those skipped among them.
    progress() {
        const { done, refused, skipped, total } = this.tally();
        const seconds = ((this.ended ?? this.now()) - this.started) / 1000;
        const end = this.phase === "running" ? done ? `, ${clock(seconds / done * (total - done))} left` : ""
            : this.phase === "cancelled" ? `, cancelled after ${clock(seconds)}` : ` in ${clock(seconds)}`;
        const others = skipped ? `; ${skipped} not construction file${skipped === 1 ? "" : "s"}, skipped` : "";
        return `${done}/${total} files, ${refused} refused or failed${end}${others}`;
    }
}
