// Runs a program of kon2.wasm (kon2x, kon2gltf, kon2svg, kon2dxf, kon2info)
// under node:wasi as the native program runs:
//   node --no-warnings scripts/run_wasi.mjs kon2.wasm PROGRAM ARGUMENTS...
// The program sees PROGRAM as argv[0], the current folder
// (and the folder of every absolute argument), standard input, output and
// error, and ends with its own exit status. A trap (anything but a normal
// exit) is shown as what it is, on standard error, with status 134.
import { readFile } from 'node:fs/promises';
import { dirname, isAbsolute } from 'node:path';
import { WASI } from 'node:wasi';

const [wasmPath, program, ...args] = process.argv.slice(2);
const preopens = { '.': process.cwd() };
for (const argument of args) {
    if (isAbsolute(argument)) {
        preopens[dirname(argument)] = dirname(argument);
    }
}
const wasi = new WASI({
    version: 'preview1',
    args: [program, ...args],
    env: {},
    preopens,
    returnOnExit: true,
});
try {
    const module = await WebAssembly.compile(await readFile(wasmPath));
    const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
    process.exitCode = wasi.start(instance);
} catch (error) {
    process.stderr.write(`${program}: ${error}\n`);
    process.exitCode = 134;
}
