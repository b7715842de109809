// Runs the converters of kon2.wasm over the page's own WASI layer
// (web/wasi.js) and the Linux build on the same inputs, all in this one node
// process (each module compiled once), and compares exit statuses, console
// bytes and every file left in the folder. Besides the inputs: no argument,
// two arguments, a missing input, an output that cannot be created, and
// kon2x with 8 MiB of memory running out while loading.
//   node compare_wasi.mjs NATIVE_FOLDER WASM_FOLDER INPUT...
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { MemoryWasi } from "../../web/wasi.js";
import { runAnswered } from "./native.mjs";

const [nativeFolder, wasmFolder, ...inputs] = process.argv.slice(2);
const work = mkdtempSync(path.join(tmpdir(), "compare-wasi-"));
let checked = 0;
let failed = 0;

// A run's status and console bytes, and the files (name to bytes) left in its folder.
function runWasm(module, program, args, files, folders = []) {
    const wasi = new MemoryWasi([program, ...args], files, { folders });
    let status = "trap";
    try {
        status = wasi.start(new WebAssembly.Instance(module, wasi.imports()));
    } catch (error) {
        console.log(`${program} ${args.join(" ")}: ${error}`);
    }
    const left = new Map([...wasi.files].map(([name, file]) => [name, file.bytes()]));
    return { status, out: wasi.consoleBytes(1), err: wasi.consoleBytes(2), files: left };
}

function runNative(program, args, files, folders = []) {
    const folder = path.join(work, `${checked}`);
    mkdirSync(folder);
    for (const [name, bytes] of files) writeFileSync(path.join(folder, name), bytes);
    for (const name of folders) mkdirSync(path.join(folder, name));
    const run = runAnswered(path.resolve(nativeFolder, program), args, { cwd: folder, env: { ...process.env, LC_ALL: "C.UTF-8" } });
    const left = new Map(readdirSync(folder, { withFileTypes: true }).filter((entry) => entry.isFile())
        .map((entry) => [entry.name, readFileSync(path.join(folder, entry.name))]));
    rmSync(folder, { recursive: true });
    return { status: run.status ?? `signal ${run.signal}`, out: run.stdout, err: run.stderr, files: left };
}

function differences(expected, got) {
    const found = [];
    if (expected.status !== got.status) found.push(`status ${expected.status} vs ${got.status}`);
    for (const stream of ["out", "err"]) {
        if (!Buffer.from(expected[stream]).equals(Buffer.from(got[stream]))) {
            found.push(`std${stream} ${JSON.stringify(String(expected[stream]))} vs ${JSON.stringify(String(got[stream]))}`);
        }
    }
    for (const name of new Set([...expected.files.keys(), ...got.files.keys()])) {
        const [a, b] = [expected.files.get(name), got.files.get(name)];
        if (!a || !b || !Buffer.from(a).equals(Buffer.from(b))) found.push(`${name} ${!a ? "only in WebAssembly" : !b ? "only native" : "differs"}`);
    }
    return found;
}

function check(label, expected, got) {
    checked++;
    const found = differences(expected, got);
    if (found.length) {
        failed++;
        console.log(`DIFFERENT: ${label}: ${found.join("; ")}`);
    }
}

function compare(program, module, label, args, files, folders) {
    check(`${program} ${label}`, runNative(program, args, files, folders), runWasm(module, program, args, files, folders));
}

const compile = (name) => new WebAssembly.Module(readFileSync(path.join(wasmFolder, `${name}.wasm`)));
const inputFiles = inputs.map((input) => [path.basename(input), readFileSync(input)]);
const module = compile("kon2");
const extensions = { kon2x: ".x", kon2gltf: ".glb", kon2svg: ".svg", kon2dxf: ".dxf" };
for (const [program, extension] of Object.entries(extensions)) {
    for (const [name, bytes] of inputFiles) compare(program, module, name, [name], new Map([[name, bytes]]));
    compare(program, module, "with no argument", [], new Map());
    compare(program, module, "with two arguments", ["a", "b"], new Map());
    compare(program, module, "with a missing input", ["missing.kon"], new Map());
    const [name, bytes] = inputFiles[0];
    const output = name.replace(/(\.[^.]*)?$/, extension);
    compare(program, module, "with an output that cannot be created", [name], new Map([[name, bytes]]), [output]);
}
// kon2info, the page's one run on a file, and kon2counts, the batch's, are
// kon2gltf with the facts beside its .glb: written, as JSON, exactly where
// kon2gltf converts.
for (const [name, bytes] of inputFiles) {
    const expected = runNative("kon2gltf", [name], new Map([[name, bytes]]));
    for (const program of ["kon2info", "kon2counts"]) {
        const got = runWasm(module, program, [name, `${name}.json`], new Map([[name, bytes]]));
        const facts = got.files.get(`${name}.json`);
        got.files.delete(`${name}.json`);
        check(`${program} ${name} as kon2gltf`, expected, got);
        if ((expected.status === 0) !== (facts !== undefined && JSON.parse(new TextDecoder().decode(facts)).points >= 0)) {
            failed++;
            console.log(`DIFFERENT: ${program} ${name}: ${facts ? "facts with" : "no facts with"} exit status ${expected.status}`);
        }
    }
}

// 32767 points with 60 extra colour entries each: about 8 MiB of entries.
const big = ["KON;KRUV", "X", ...Array.from({ length: 32767 }, (_, i) => `${i};${i};${i};1;2;3;0;0;0${";1;2;3;4".repeat(60)}`),
    "Flaechen", "0;1;2", "ScalX", "1;1;1;0;0;0;0;0;0", ""].join("\n");
check("kon2x with 8 MiB running out of memory while loading",
    { status: 1, out: "Zu wenig Speicher!\nReturn->--> ", err: "big.kon ist fehlerhaft\n", files: new Map([["big.kon", big]]) },
    runWasm(compile("kon2_8mib"), "kon2x", ["big.kon"], new Map([["big.kon", new TextEncoder().encode(big)]])));

rmSync(work, { recursive: true });
console.log(`compared ${checked} runs of the WebAssembly programs over web/wasi.js with the Linux build: ${checked - failed} equal, ${failed} different`);
process.exit(failed ? 1 : 0);
