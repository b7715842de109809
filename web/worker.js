// The worker that runs the programs (kon2x, kon2gltf, kon2info, kon2counts; kon2svg and
// kon2dxf) of the one WebAssembly module, chosen by argv[0],
// the only place where WebAssembly runs. Messages in: module, the programs
// compiled once by the page (or why they could not be); convert, one job,
// which waits for the module. Out, each carrying the job's number: progress,
// chunk (with `stream`), then exactly one of result or failed. Bytes travel
// as transfers or Blobs.
import { MemoryWasi } from "./wasi.js";

// Progress is told at most this often (ms): the page draws its panel each time.
const kProgressEvery = 250;
// A file's bytes are gathered into Blob parts of this size (see BlobParts).
const kPartSize = 16 << 20;
const kTypes = { kon2gltf: "model/gltf-binary", kon2info: "model/gltf-binary", kon2counts: "model/gltf-binary", kon2x: "text/plain", kon2svg: "image/svg+xml", kon2dxf: "image/vnd.dxf" };
// The prompts, which the programs write on their own and which only wait for Enter.
const kPrompts = new Set(["Return->", "--> "]);
let programs = null;  // { module } or { problem }
let waiting = null;  // the job that came before the module

// A file written as Blob parts: each write is copied out of the program's
// memory into a buffer reused for every part, and each full buffer into a
// part. Copying each write into its own array, or making a Blob of each,
// costs a 210 MB .x about a third more.
class BlobParts {
    constructor() {
        this.parts = [];
        this.buffer = new Uint8Array(kPartSize);  // untouched pages cost nothing
        this.used = 0;
    }

    add(bytes) {
        if (this.used + bytes.length > this.buffer.length) this.flush();
        if (bytes.length > this.buffer.length) {
            this.parts.push(new Blob([bytes]));
        } else {
            this.buffer.set(bytes, this.used);
            this.used += bytes.length;
        }
    }

    flush() {
        if (this.used) this.parts.push(new Blob([this.buffer.subarray(0, this.used)]));
        this.used = 0;
    }

    blob(type) {
        this.flush();
        return new Blob(this.parts, { type });
    }
}

// Runs `program` on the file `name`. With `stream`, every file the program
// writes is handed on in chunks as it is written instead of being kept;
// with `discard`, it is only measured.
// kon2info and kon2counts are given a file for the facts beside the input
// (`NAME.json`, never the name of the input or of its .glb), returned as `facts`.
function convert({ job, program, name, bytes, stream, discard }) {
    let written = 0;
    let reportedAt = performance.now();
    const factsName = program === "kon2info" || program === "kon2counts" ? `${name}.json` : null;
    const kept = new Map();  // file name to BlobParts
    const onWrite = (file, chunk) => {
        written += chunk.length;
        if (performance.now() - reportedAt >= kProgressEvery) {
            reportedAt = performance.now();
            postMessage({ type: "progress", job, written });
        }
        if (file === factsName) return false;
        if (discard) return true;
        if (stream) {
            const copy = chunk.slice();
            postMessage({ type: "chunk", job, name: file, bytes: copy.buffer }, [copy.buffer]);
        } else {
            if (!kept.has(file)) kept.set(file, new BlobParts());
            kept.get(file).add(chunk);
        }
        return true;
    };
    const args = factsName ? [program, name, factsName] : [program, name];
    const wasi = new MemoryWasi(args, new Map([[name, new Uint8Array(bytes)]]), { onWrite });
    try {
        const status = wasi.start(new WebAssembly.Instance(programs.module, wasi.imports()));
        const facts = wasi.files.get(factsName);
        const files = wasi.writtenFiles().filter((file) => file.name !== factsName).map((file) => ({
            name: file.name, size: file.size,
            blob: stream || discard ? null : kept.get(file.name)?.blob(kTypes[program]) ?? new Blob([], { type: kTypes[program] }),
        }));
        postMessage({
            type: "result", job, status, messages: wasi.consoleText(kPrompts), files,
            transcript: wasi.consoleText(kPrompts, { lineEnds: false }),
            facts: facts?.created ? new TextDecoder().decode(facts.bytes()) : "",
        });
    } catch (error) {
        // A trap is shown as what it is, never as running out of memory.
        postMessage({ type: "failed", job, message: `${error}` });
    }
}

function start(job) {
    if (programs.problem) postMessage({ type: "failed", job: job.job, message: programs.problem });
    else convert(job);
}

onmessage = ({ data }) => {
    if (data.type === "module") {
        programs = data;
        if (waiting) start(waiting);
        waiting = null;
    } else if (data.type === "convert") {
        if (programs) start(data);
        else waiting = data;
    }
};
