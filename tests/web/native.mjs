// Starts a native program of the family with its answers at the prompts read
// from a file. Never from a pipe: a program that converts without a prompt
// exits without reading them, and node's write into the pipe it closed then
// fails (EPIPE), or not, by timing alone.
import { spawnSync } from "node:child_process";
import { closeSync, mkdtempSync, openSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";

let folder = null;
const files = new Map();

// The file that holds `answers`, written once per process.
function answersFile(answers) {
    if (!files.has(answers)) {
        if (folder === null) {
            folder = mkdtempSync(path.join(tmpdir(), "answers-"));
            process.on("exit", () => rmSync(folder, { recursive: true, force: true }));
        }
        const file = path.join(folder, `${files.size}`);
        writeFileSync(file, answers);
        files.set(answers, file);
    }
    return files.get(answers);
}

// spawnSync's result for PROGRAM ARGS, with `answers` (four line feeds
// unless given) as its standard input; `stdout` and `stderr` as spawnSync
// takes them (default: captured). Throws where the program did not start.
export function runAnswered(program, args, { answers = "\n".repeat(4), cwd, env, stdout = "pipe", stderr = "pipe" } = {}) {
    const input = openSync(answersFile(answers), "r");
    const run = spawnSync(program, args, { cwd, env, stdio: [input, stdout, stderr] });
    closeSync(input);
    if (run.error) throw run.error;
    return run;
}
