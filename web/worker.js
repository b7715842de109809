// The worker that runs the programs (kon2x, kon2gltf, kon2info; kon2svg and
// kon2dxf) of the one WebAssembly module, chosen by argv[0],
// the only place where WebAssembly runs. Message in: convert, one job. Out,
// each carrying the job's number: progress, chunk (with `stream`), then
// exactly one of result or failed. Bytes travel as transfers or Blobs.
import { MemoryWasi } from "./wasi.js";
import { programs } from "kon2x-programs";

const kProgressStep = 8 << 20;
const kTypes = { kon2gltf: "model/gltf-binary", kon2x: "text/plain", kon2svg: "image/svg+xml", kon2dxf: "image/vnd.dxf" };
// The prompts, which the programs write on their own and which only wait for Enter.
const kPrompts = new Set(["Return->", "--> "]);
let module = null;

function programModule() {
    module ??= new WebAssembly.Module(Uint8Array.from(atob(programs), (c) => c.charCodeAt(0)));
    return module;
}

// Runs `program` on the file `name`. With `stream`, every file the program
// writes is handed on in chunks as it is written instead of being kept.
function convert({ job, program, name, bytes, stream }) {
    let written = 0;
    let reported = 0;
    const onWrite = (file, chunk) => {
        written += chunk.length;
        if (written - reported >= kProgressStep) {
            reported = written;
            postMessage({ type: "progress", job, written });
        }
        if (!stream) return false;
        postMessage({ type: "chunk", job, name: file, bytes: chunk.buffer }, [chunk.buffer]);
        return true;
    };
    const wasi = new MemoryWasi([program, name], new Map([[name, new Uint8Array(bytes)]]), { onWrite });
    try {
        const status = wasi.start(new WebAssembly.Instance(programModule(), wasi.imports()));
        const files = wasi.writtenFiles().map((file) => ({
            name: file.name, size: file.size, blob: stream ? null : new Blob(file.chunks, { type: kTypes[program] ?? "" }),
        }));
        const stdout = program === "kon2info" ? new TextDecoder().decode(wasi.consoleBytes(1)) : "";
        postMessage({ type: "result", job, status, messages: wasi.consoleText(kPrompts), files, stdout });
    } catch (error) {
        // A trap is shown as what it is, never as running out of memory.
        postMessage({ type: "failed", job, message: `${program}: ${error}` });
    }
}

onmessage = ({ data }) => {
    if (data.type === "convert") convert(data);
};
