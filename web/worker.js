// The worker that runs the programs (kon2x, kon2gltf, kon2info) as WebAssembly,
// the only place where WebAssembly runs. Messages in: convert. Out: progress,
// result, failed. Bytes travel as transfers or Blobs, never as copies.
import { MemoryWasi } from "./wasi.js";
import { programs } from "kon2x-programs";

const kProgressStep = 8 << 20;
const modules = new Map();

function moduleOf(program) {
    if (!modules.has(program)) {
        const bytes = Uint8Array.from(atob(programs[program]), (c) => c.charCodeAt(0));
        modules.set(program, new WebAssembly.Module(bytes));
    }
    return modules.get(program);
}

// The prompts, which the programs write on their own and which only wait for Enter.
const kPrompts = new Set(["Return->", "--> "]);

// Runs `program` on the file `name`; `stream`: hand the output on in chunks
// as it is written instead of keeping it.
function convert({ program, name, bytes, outputName, stream }) {
    let written = 0;
    let reported = 0;
    const onWrite = (file, chunk) => {
        written += chunk.length;
        if (written - reported >= kProgressStep) {
            reported = written;
            postMessage({ type: "progress", program, written });
        }
        if (stream && file === outputName) {
            postMessage({ type: "chunk", program, bytes: chunk.buffer }, [chunk.buffer]);
            return true;
        }
        return false;
    };
    const wasi = new MemoryWasi([program, name], new Map([[name, new Uint8Array(bytes)]]), onWrite);
    try {
        const status = wasi.start(new WebAssembly.Instance(moduleOf(program), wasi.imports()));
        const type = program === "kon2gltf" ? "model/gltf-binary" : program === "kon2x" ? "text/plain" : "";
        const output = status === 0 && outputName && !stream ? wasi.fileBlob(outputName, type) : null;
        const stdout = program === "kon2info" ? wasi.consoleText() : "";
        postMessage({ type: "result", program, status, messages: wasi.consoleText(kPrompts), output, stdout, written });
    } catch (error) {
        // A trap is shown as what it is, never as running out of memory.
        postMessage({ type: "failed", program, message: `${program}: ${error}` });
    }
}

onmessage = (event) => {
    if (event.data.type === "convert") convert(event.data);
};
