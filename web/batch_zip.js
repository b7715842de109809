// "Download all": the chosen formats of every converted entry of a batch,
// each run now in workers of its own, and report.csv, in one zip
// (client-zip, ZIP64 where it needs it): streamed into a file as it is made
// where the browser can save to one, else made in memory up to kLargestZip.
import { downloadZip } from "client-zip";
import { baseName } from "./batch.js";
import { csvRow, firstLine, kCsvHeader, kFormats, sameOutputs } from "./batch_report.js";
import { folderOf } from "./intake.js";

export const kLargestZip = 2 ** 30;

// Runs tasks[i](runner) on runners in turn, at most one a runner, and
// yields their results in the tasks' order, `ahead` under way at most.
export async function* runInOrder(tasks, runners, ahead = runners.length) {
    const chains = runners.map(() => Promise.resolve());
    const started = [];
    const launch = (i) => {
        const k = i % runners.length;
        started[i] = chains[k] = chains[k].then(() => tasks[i](runners[k]));
    };
    for (let i = 0; i < Math.min(ahead, tasks.length); i++) launch(i);
    for (let i = 0; i < tasks.length; i++) {
        const result = await started[i];
        if (i + ahead < tasks.length) launch(i + ahead);
        yield result;
    }
}

export class BatchZip {
    // formats: the chosen extensions ("glb", ...); makeRunner, workers and
    // onChange as the Batch takes them; limit: the most bytes of outputs
    // held (Infinity where the zip is streamed into a file).
    constructor(batch, formats, { makeRunner, workers = 1, onChange = () => {}, limit = kLargestZip }) {
        const chosen = kFormats.filter(([format]) => formats.includes(format));
        // Inputs that share outputs name the first format chosen, as kon2batch does.
        const inputs = batch.entries.flatMap((entry, i) => entry.row?.outcome === "skipped" ? [] : [i]);
        const lines = sameOutputs(inputs.map((i) => batch.entries[i].name), `.${chosen[0]?.[0]}`);
        this.collisions = new Map([...lines].map(([k, text]) => [inputs[k], text]));
        this.tasks = batch.entries.flatMap((entry, i) => entry.row?.outcome !== "converted" ? []
            : chosen.map(([format, program]) => ({ i, format, program })));
        // done: the runs ended; held: the files in the zip; left: those the limit left out.
        Object.assign(this, { batch, onChange, limit, phase: "running", stopped: false, done: 0, held: 0, left: 0, bytes: 0, written: 0, blob: null });
        this.aborting = new AbortController();
        this.runners = Array.from({ length: Math.min(workers, this.tasks.length) }, makeRunner);
    }

    // Resolves with the zip's Blob, made in memory, or null where it was
    // cancelled; with `writable` (a file's WritableStream) the zip is written
    // there as it is made (`written`: its size) and null resolved.
    async make(writable = null) {
        try {
            const zip = downloadZip(this.entries());
            if (writable) await zip.body.pipeThrough(this.counter()).pipeTo(writable, { signal: this.aborting.signal });
            const blob = writable ? null : await zip.blob();
            if (this.phase === "running") Object.assign(this, { phase: "done", blob });
        } catch (error) {
            if (this.phase === "running") Object.assign(this, { phase: "failed", problem: `${error.message ?? error}` });
        }
        this.stop();
        this.onChange();
        return this.blob;
    }

    // Counts the bytes written (`written`).
    counter() {
        return new TransformStream({
            transform: (chunk, controller) => {
                this.written += chunk.byteLength;
                controller.enqueue(chunk);
            },
        });
    }

    // Stops making the zip; a file it was written into is left unwritten.
    cancel() {
        if (this.phase !== "running") return;
        this.phase = "cancelled";
        this.aborting.abort(new Error("cancelled"));
        this.stop();
    }

    // No run starts from now on, and those under way end.
    stop() {
        this.stopped = true;
        for (const runner of this.runners) runner.end();
    }

    // The zip's entries as they are made: each output under the name its
    // program gave it, in its input's folder, then report.csv.
    async* entries() {
        const outputs = this.batch.entries.map(() => ({}));
        const spent = this.batch.entries.map((entry) => entry.milliseconds);
        const rows = this.batch.entries.map((entry, i) => entry.row && { ...entry.row, messages: this.collisions.get(i) ?? entry.row.messages });
        const run = ({ i, program }) => async (runner) => {
            const start = performance.now();
            const { file, name } = this.batch.entries[i];
            const bytes = await file.arrayBuffer().catch((error) => error);
            if (this.stopped) return { kind: "cancelled" };
            const result = bytes instanceof ArrayBuffer ? await runner.run({ program, name: baseName(name), bytes })
                : { kind: "trapped", message: `${name} could not be read (${bytes.message})` };
            spent[i] += performance.now() - start;
            return result;
        };
        const results = runInOrder(this.tasks.map(run), this.runners);
        for (const { i, format } of this.tasks) {
            const { value: result } = await results.next();
            if (this.phase !== "running" || result.kind === "cancelled") return;
            const file = result.kind === "done" && result.status === 0 ? result.files[0] : null;
            if (!file) {
                this.failed(rows[i], outputs[i], format, result);
                continue;
            }
            if (this.bytes + file.size > this.limit) {
                this.left = this.tasks.length - this.done;  // the zip ends with what fits
                this.stop();
                break;
            }
            this.bytes += file.size;
            this.done++;
            this.held++;
            // Beside its input, in the input's folder.
            const name = folderOf(this.batch.entries[i].name) + file.name;
            outputs[i][format] = { name, size: file.size, note: format === "glb" ? rows[i].glb?.note ?? "" : "" };
            this.onChange();
            yield { name, input: file.blob };
        }
        const report = this.batch.entries.map((entry, i) => rows[i] && rows[i].outcome !== "skipped" ? csvRow(entry.name, rows[i], spent[i], outputs[i]) : "");
        yield { name: "report.csv", input: kCsvHeader + report.join("") };
    }

    // An output that its program did not write: the entry failed, as
    // kon2batch counts an input whose output could not be written.
    failed(row, outputs, format, result) {
        const line = `${format} not made: ${result.kind === "done" ? firstLine(result.messages) || `exit status ${result.status}` : result.message}\n`;
        Object.assign(row, { outcome: "failed", messages: row.messages + line });
        outputs[format] = { name: "", size: 0, note: line };
        this.done++;
    }
}
