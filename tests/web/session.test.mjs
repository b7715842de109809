// Tests of the page's state owner with fake programs: a file that answers
// late never touches the newer one, nor starts a program for it.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import test from "node:test";
import { Session } from "../../web/session.js";

const settle = () => new Promise((resolve) => setImmediate(resolve));
const later = () => {
    let resolve;
    return { promise: new Promise((done) => { resolve = done; }), resolve: (value) => resolve(value) };
};

function session() {
    const runs = [];
    const jobs = { running: null, cancel() {}, run: (request) => new Promise((resolve) => runs.push({ request, resolve })) };
    const viewer = { working: true, stage: {}, clear() {}, show: () => ({}), setNode() {}, render() {}, reveal() {}, placeElements() {} };
    const page = new Session({ jobs, viewer, render() {}, instances: { show() {} } });
    return { page, started: () => runs.map(({ request }) => `${request.program} ${request.name}`), runs };
}

test("a file read after a newer one was given is dropped", async () => {
    const { page, started } = session();
    const read = later();
    page.open({ name: "a.kon", arrayBuffer: () => read.promise });
    page.open({ name: "b.kon", arrayBuffer: async () => new ArrayBuffer(2) });
    await settle();
    read.resolve(new ArrayBuffer(9));
    await settle();
    assert.deepEqual(started(), ["kon2info b.kon"]);
    assert.equal(page.state.bytes.byteLength, 2);
});

test("an older file's .glb read back after a newer one was given starts nothing", async () => {
    const { page, started, runs } = session();
    page.open({ name: "a.kon", arrayBuffer: async () => new ArrayBuffer(9) });
    await settle();
    const glb = later();
    const blob = Object.assign(new Blob([]), { arrayBuffer: () => glb.promise });
    runs[0].resolve({ kind: "done", status: 0, messages: "", files: [{ name: "a.glb", blob }], facts: "" });
    await settle();
    page.open({ name: "b.kon", arrayBuffer: async () => new ArrayBuffer(2) });
    glb.resolve(new Uint8Array(readFileSync(new URL("../corpus/house.glb", import.meta.url))).buffer);
    await settle();
    assert.deepEqual(started(), ["kon2info a.kon", "kon2info b.kon"]);
    assert.deepEqual(page.state.downloads, []);
});

test("one run gives the .glb and the counts; a drawing cancelled starts again when asked, and a newer file is not told of it", async () => {
    const { page, started, runs } = session();
    const answer = async (result) => {
        runs.at(-1).resolve(result);
        for (let i = 0; i < 20; i++) await settle();
    };
    page.open({ name: "a.kon", arrayBuffer: async () => new ArrayBuffer(9) });
    await settle();
    const blob = new Blob([readFileSync(new URL("../corpus/house.glb", import.meta.url))]);
    await answer({ kind: "done", status: 0, messages: "", files: [{ name: "a.glb", blob }], facts: '{"unplaced":[1],"elements":{"dots":[],"lines":[],"faces":[]}}' });
    assert.deepEqual([...page.state.unplaced], [1]);
    page.showDrawing(true);
    await answer({ kind: "cancelled" });
    page.showDrawing(false);
    page.showDrawing(true);
    page.open({ name: "b.kon", arrayBuffer: async () => new ArrayBuffer(9) });
    await answer({ kind: "cancelled" });
    assert.deepEqual(started(), ["kon2info a.kon", "kon2svg a.kon", "kon2svg a.kon", "kon2info b.kon"]);
    assert.equal(page.state.drawing, null);
});
