// The harness's native runs: a program that exits without reading its
// answers ends as it chose, however many answers it was given (through a
// pipe, a mebibyte of them fails with EPIPE every time).
import assert from "node:assert/strict";
import test from "node:test";
import { runAnswered } from "./native.mjs";

test("a program's answers come from a file, read or not", () => {
    const mebibyte = "\n".repeat(1 << 20);
    for (const [script, answers, status, out] of [
        ["process.exit(3)", mebibyte, 3, ""],
        ["process.stdout.write(require('fs').readFileSync(0).subarray(0, 3)); process.exit(1)", "a\nb\nc\n", 1, "a\nb"],
        ["process.stdout.write(String(require('fs').readFileSync(0).length))", undefined, 0, "4"],
    ]) {
        const run = runAnswered(process.execPath, ["-e", script], { answers });
        assert.deepEqual([run.status, String(run.stdout)], [status, out], script);
    }
});
