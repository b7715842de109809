// Runs the programs in the worker one job at a time. Every job has its own
// number and ends in exactly one result; an answer for any other job than
// the running one is dropped, whatever arrives in which order.

// What a job ends in:
//   { kind: "done", status, messages, transcript (the messages as kon2batch
//     reports them: no line end where a prompt was), files: [{ name, size, blob }], facts (kon2info's or kon2counts' JSON, or "") }
//   { kind: "cancelled" }: cancelled, or superseded by a newer job
//   { kind: "trapped", message }: the program stopped with an error
// The program as the page names it: kon2info and kon2counts are kon2gltf
// with the model's facts (or its counts alone) written beside its .glb.
function programTitle(program) {
    return program === "kon2info" || program === "kon2counts" ? "kon2gltf" : program;
}

export class JobRunner {
    // makeWorker(): a new worker (a Worker, or anything with postMessage,
    // terminate, onmessage and onerror). onChange(): told when a job starts,
    // makes progress or ends.
    constructor(makeWorker, onChange = () => {}) {
        this.makeWorker = makeWorker;
        this.onChange = onChange;
        this.worker = null;
        this.running = null;  // the job that runs: { id, program, written (bytes so far), resolve, onChunk }
        this.lastId = 0;
    }

    get busy() {
        return this.running !== null;
    }

    // Runs `program` (named by programTitle while it runs) on the bytes of
    // file `name` (transferred) and resolves with its result. A running job
    // is cancelled first. With onChunk(name, bytes) the files are handed on
    // as they are written instead of kept; with `discard` they are only
    // measured (their blob is null).
    run({ program, name, bytes }, { onChunk = null, discard = false } = {}) {
        this.cancel();
        const id = ++this.lastId;
        const result = new Promise((resolve) => {
            this.running = { id, program: programTitle(program), written: 0, resolve, onChunk };
        });
        try {
            this.workerOf().postMessage({ type: "convert", job: id, program, name, bytes, stream: onChunk !== null, discard }, [bytes]);
        } catch (error) {
            this.finish({ kind: "trapped", message: `${programTitle(program)} could not start: ${error.message}` });
        }
        this.onChange();
        return result;
    }

    // Ends the running job, if any, as cancelled: the worker is stopped and
    // a new one started at once, ready for the next job.
    cancel() {
        if (!this.running) return;
        this.end();
        this.prepare();
    }

    // Stops the worker, and ends the running job, if any, as cancelled.
    end() {
        this.worker?.terminate();
        this.worker = null;
        if (this.running) this.finish({ kind: "cancelled" });
    }

    // Starts the worker before the first job needs it.
    prepare() {
        this.workerOf();
    }

    workerOf() {
        if (!this.worker) {
            const worker = this.makeWorker();
            worker.onmessage = ({ data }) => this.receive(worker, data);
            // An error the worker did not catch: it is replaced for the next job.
            worker.onerror = (event) => {
                event.preventDefault?.();
                if (worker !== this.worker) return;
                worker.terminate();
                this.worker = null;
                if (this.running) this.finish({ kind: "trapped", message: `${event.message ?? event}` });
            };
            this.worker = worker;
        }
        return this.worker;
    }

    receive(worker, data) {
        const job = this.running;
        if (worker !== this.worker || !job || data.job !== job.id) return;
        if (data.type === "progress") {
            job.written = data.written;
            this.onChange();
        } else if (data.type === "chunk") {
            job.onChunk?.(data.name, data.bytes);
        } else if (data.type === "result") {
            const { status, messages, transcript, files, facts } = data;
            this.finish({ kind: "done", status, messages, transcript, files, facts });
        } else if (data.type === "failed") {
            this.finish({ kind: "trapped", message: `${job.program}: ${data.message}` });
        }
    }

    finish(result) {
        const job = this.running;
        this.running = null;
        job.resolve(result);
        this.onChange();
    }
}
