// Tests of the page's batch with fake workers: the rows made of the programs'
// answers, report.csv's lines, and which worker converts which file when.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import test from "node:test";
import { Batch } from "../../web/batch.js";
import { csvRow, rowOf, sameOutputs } from "../../web/batch_report.js";
import { BatchPictures } from "../../web/batch_pictures.js";
import { sheetPages } from "../../web/batch_sheet.js";
import { shownEntries } from "../../web/batch_view.js";
import { BatchZip, runInOrder } from "../../web/batch_zip.js";

const facts = JSON.stringify({ points: 3, single_points: 0, two_point_elements: 1, triangles: 1, quads: 0, polygons: 2,
    instances: 4, materials: 1, unplaced: [1, 2], glb_note: "Nicht darstellbare Instanzen: 2\n" });
const done = (status, transcript, withFacts = true) => ({ kind: "done", status, transcript, facts: withFacts ? facts : "", files: [{ name: "a.glb", size: 96 }] });

test("a row from each kind of answer, and its line of report.csv", () => {
    const cases = [
        [done(0, "EOF not found!Nicht darstellbare Instanzen: 2\n"), "converted", "EOF not found!",
            'a.kon,converted,EOF not found!,3,0,1,1,0,2,4,2,1,7,,,,a.glb,96,"Nicht darstellbare Instanzen: 2\n",,,,,,\n'],
        [done(1, "falsches Punktformat in Zeile 3!\na.kon ist fehlerhaft\n", false), "refused", "falsches Punktformat in Zeile 3!\na.kon ist fehlerhaft\n",
            'a.kon,refused,"falsches Punktformat in Zeile 3!\na.kon ist fehlerhaft\n",,,,,,,,,,7,,,,,,,,,,,,\n'],
        [done(1, "Zu wenig Speicher!\n"), "failed", "Zu wenig Speicher!\n", null],
        [{ kind: "trapped", message: 'kon2gltf: RuntimeError: "unreachable", at 3' }, "failed", 'a.kon: kon2gltf: RuntimeError: "unreachable", at 3\n',
            'a.kon,failed,"a.kon: kon2gltf: RuntimeError: ""unreachable"", at 3\n",,,,,,,,,,7,,,,,,,,,,,,\n'],
    ];
    for (const [result, outcome, messages, line] of cases) {
        const row = rowOf(result, "a.kon");
        assert.deepEqual([row.outcome, row.messages], [outcome, messages]);
        if (line) assert.equal(csvRow("a.kon", row, 7.4, row.glb ? { glb: row.glb } : {}), line);
    }
    assert.equal(rowOf({ kind: "cancelled" }, "a.kon"), null);
});

test("inputs that would write the same output are named in pairs, whatever the case", () => {
    assert.deepEqual(sameOutputs(["a.kon", "b.kon", "A.bin", "a", ".kon", ".bin"], ".x"), new Map([
        [0, "a.x would also be written from A.bin\na.x would also be written from a\n"], [2, "A.x would also be written from a.kon\n"],
        [3, "a.x would also be written from a.kon\n"], [5, ".x would also be written from .kon\n"], [4, ".x would also be written from .bin\n"]]));
});

// Runners whose jobs wait until answered: runs[k] lists runner k's requests.
function fakeRunners() {
    const runs = [];
    const ended = [];
    const makeRunner = () => {
        const k = runs.push([]) - 1;
        return { run: (request) => new Promise((resolve) => runs[k].push({ name: request.name, resolve })), end: () => ended.push(k) };
    };
    return { runs, ended, makeRunner };
}
const settle = () => new Promise((resolve) => setImmediate(resolve));
const file = (name) => {
    const bytes = async () => new TextEncoder().encode("KON;").buffer;
    return { file: { size: 4, arrayBuffer: bytes, slice: () => ({ arrayBuffer: bytes }) }, path: name };
};

test("each worker takes the next file as it finishes one; inputs that share outputs run nowhere; Cancel keeps what is done", async () => {
    const { runs, ended, makeRunner } = fakeRunners();
    const batch = new Batch({ inputs: ["a.kon", "in/b.kon", "c.kon", "c.bin", "d.kon", "e.kon"].map(file), makeRunner, workers: 2 });
    const running = batch.run();
    await settle();
    assert.deepEqual(runs.map((jobs) => jobs.map((job) => job.name)), [["a.kon"], ["b.kon"]]);
    runs[1][0].resolve(done(0, ""));
    await settle();
    assert.deepEqual(runs[1].map((job) => job.name), ["b.kon", "d.kon"]);
    runs[0][0].resolve(done(1, "a.kon ist fehlerhaft\n"));
    await settle();
    assert.deepEqual(runs[0].map((job) => job.name), ["a.kon", "e.kon"]);
    batch.cancel();
    runs[0][1].resolve({ kind: "cancelled" });
    runs[1][1].resolve({ kind: "cancelled" });
    await running;
    assert.deepEqual(batch.entries.map((entry) => entry.row?.outcome ?? null), ["refused", "converted", "refused", "refused", null, null]);
    assert.match(batch.progress(), /^4\/6 files, 3 refused or failed, cancelled after 0:00$/);
    assert.deepEqual(ended.sort(), [0, 0, 1, 1]);
});

test("the zip's runs go to the workers in turn and come back in order, whichever ends first", async () => {
    const { runs, makeRunner } = fakeRunners();
    const tasks = ["a", "b", "c"].map((name) => (runner) => runner.run({ name }));
    const results = runInOrder(tasks, [makeRunner(), makeRunner()]);
    const first = results.next();
    await settle();
    runs[1][0].resolve("b");
    runs[0][0].resolve("a");
    assert.deepEqual(await first, { value: "a", done: false });
    assert.equal((await results.next()).value, "b");
    await settle();
    runs[0][1].resolve("c");
    assert.deepEqual(runs.map((jobs) => jobs.map((job) => job.name)), [["a", "c"], ["b"]]);
    assert.equal((await results.next()).value, "c");
});

test("a zip of 70,000 files streamed into a file opens with Python's zipfile (ZIP64 past 65,535 entries)", async () => {
    const names = Array.from({ length: 70000 }, (_, i) => `in/m${i}.kon`);
    const entries = names.map((name) => ({ name, file: { arrayBuffer: async () => new ArrayBuffer(1) }, milliseconds: 0, row: rowOf(done(0, ""), name) }));
    const makeRunner = () => ({ end() {}, run: async ({ name }) => ({ ...done(0, ""), files: [{ name: name.replace(".kon", ".glb"), size: 1, blob: new Blob(["g"]) }] }) });
    const chunks = [];
    const zip = new BatchZip({ entries }, ["glb"], { makeRunner, limit: Infinity });
    await zip.make(new WritableStream({ write: (chunk) => { chunks.push(chunk); } }));
    const folder = mkdtempSync(path.join(tmpdir(), "zip64-"));
    writeFileSync(path.join(folder, "all.zip"), Buffer.concat(chunks));
    const read = spawnSync("python3", ["-c", `import csv, io, sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(len(z.namelist()), z.read("in/m0.glb").decode(), z.read("in/m69999.glb").decode(), len(list(csv.reader(io.StringIO(z.read("report.csv").decode(), newline="")))))`, path.join(folder, "all.zip")], { encoding: "utf8" });
    rmSync(folder, { recursive: true, force: true });
    assert.deepEqual([zip.phase, zip.held, read.stdout.trim()], ["done", 70000, "70001 g g 70001"]);
});

test("the sheet's pages hold at most 23 by 24 cards, and the sorts keep the given order among equals", () => {
    const pages = (count) => sheetPages(count).map(({ count, columns, rows }) => [count, columns, rows]);
    assert.deepEqual([0, 1, 24, 553].map(pages), [[], [[1, 1, 1]], [[24, 23, 2]], [[552, 23, 24], [1, 23, 1]]]);
    const entry = (name, size, outcome, faces) => ({ name, size, row: outcome && { outcome, counts: faces === undefined ? null : { triangles: faces, quads: 0, polygons: 0 } } });
    const entries = [entry("a10", 5, "converted", 3), entry("a2", 9, "refused"), entry("b", 5, "converted", 7), entry("c", 1, null)];
    for (const [filter, sort, order] of [["all", "name", [1, 0, 2, 3]], ["all", "size", [1, 0, 2, 3]], ["all", "faces", [2, 0, 1, 3]],
        ["all", "outcome", [1, 0, 2, 3]], ["converted", "given", [0, 2]], ["refused", "name", [1]]]) {
        assert.deepEqual(shownEntries(entries, filter, sort), order, `${filter} by ${sort}`);
    }
});

test("pictures: a .glb past the bytes that may wait is made again once the batch ends; a new batch drops what was under way", async () => {
    const glb = new Blob([readFileSync(new URL("../corpus/house.glb", import.meta.url))]);
    const drawn = [];
    const maker = { working: true, release() {}, draw: async (model) => (drawn.push(model.nodes.length), { png: Promise.resolve(new Blob(["png"])) }) };
    const pictures = new BatchPictures(maker, new Map(), () => {});
    const entries = ["a.kon", "b.kon", "in/c.kon", "d.kon"].map((name) => ({ name, file: { arrayBuffer: async () => new ArrayBuffer(1) }, picture: null }));
    pictures.add(entries[0], glb);  // drawn at once
    pictures.add(entries[1], glb);  // waits
    pictures.add(entries[2], new Blob([new Uint8Array(64 << 20)]));
    const runs = [];
    await pictures.catchUp({ run: async ({ name }) => (runs.push(name), { kind: "done", status: 0, files: [{ blob: glb }] }), end() {} });
    for (let k = 0; k < 20; k++) await settle();
    assert.deepEqual([runs, drawn.length, entries.map((entry) => Boolean(entry.picture?.url))], [["c.kon"], 3, [true, true, true, false]]);
    pictures.add(entries[3], glb);
    pictures.clear();
    await settle();
    assert.equal(entries[3].picture, null);
});
