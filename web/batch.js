// A batch: many construction files, each converted by kon2info in one of a
// few workers, as kon2batch converts a folder. Each entry keeps its row (the
// outcome and the counts) only: its .glb is measured, not kept.
import { rowOf, sameOutputs } from "./batch_report.js";

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
    // files: the construction files, in the order given; skipped: how many
    // other files came with them; makeRunner(): a new JobRunner with a
    // worker of its own; onChange(): told as rows fill in.
    constructor({ files, skipped = 0, makeRunner, workers = 1, onChange = () => {}, now = () => performance.now() }) {
        const collisions = sameOutputs(files.map((file) => file.name));
        this.entries = files.map((file, i) => ({
            file, name: file.name, size: file.size, milliseconds: 0,
            // A refusal known before any run: another input would write the same output.
            row: collisions.has(i) ? { outcome: "refused", messages: collisions.get(i), counts: null, glb: null } : null,
        }));
        Object.assign(this, { skipped, onChange, now, phase: "running", started: now(), ended: null });
        this.runners = Array.from({ length: Math.min(workers, files.length) }, makeRunner);
        this.next = 0;  // the next entry to convert
    }

    // Converts every entry, each worker taking the next; resolves when all
    // are done or the batch is cancelled.
    async run() {
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
            const row = await this.convert(runner, entry);
            if (this.phase !== "running") return;
            entry.row = row;
            entry.milliseconds = this.now() - start;
            this.onChange();
        }
    }

    take() {
        while (this.next < this.entries.length && this.entries[this.next].row) this.next++;
        return this.next < this.entries.length ? this.next++ : null;
    }

    async convert(runner, { file, name }) {
        let bytes;
        try {
            bytes = await file.arrayBuffer();
        } catch (error) {
            return { outcome: "failed", messages: `${name} could not be read (${error.message}).\n`, counts: null, glb: null };
        }
        if (this.phase !== "running") return null;
        return rowOf(await runner.run({ program: "kon2info", name, bytes }, { discard: true }), name);
    }

    // Stops at once; the rows done so far stay.
    cancel() {
        if (this.phase !== "running") return;
        this.phase = "cancelled";
        for (const runner of this.runners) runner.end();
    }

    // What is done so far: { done, refused (or failed), total }.
    tally() {
        let done = 0;
        let refused = 0;
        for (const { row } of this.entries) {
            done += row !== null;
            refused += row !== null && row.outcome !== "converted";
        }
        return { done, refused, total: this.entries.length };
    }

    // "120/300 files, 4 refused or failed, 0:05 left", as kon2batch tells its progress.
    progress() {
        const { done, refused, total } = this.tally();
        const seconds = ((this.ended ?? this.now()) - this.started) / 1000;
        const end = this.phase === "running" ? done ? `, ${clock(seconds / done * (total - done))} left` : ""
            : this.phase === "cancelled" ? `, cancelled after ${clock(seconds)}` : ` in ${clock(seconds)}`;
        const skipped = this.skipped ? `; ${this.skipped} other file${this.skipped === 1 ? "" : "s"} skipped` : "";
        return `${done}/${total} files, ${refused} refused or failed${end}${skipped}`;
    }
}
