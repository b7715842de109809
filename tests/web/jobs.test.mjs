// Tests of the job runner against a fake worker: every job ends in exactly one
// result, its own, whatever the worker answers in which order.
import assert from "node:assert/strict";
import test from "node:test";
import { JobRunner } from "../../web/jobs.js";

// A runner whose workers record what they were sent and answer when told to.
function runner() {
    const workers = [];
    const jobs = new JobRunner(() => {
        const worker = { posted: [], terminated: false };
        Object.assign(worker, {
            postMessage: (message) => worker.posted.push(message),
            terminate: () => { worker.terminated = true; },
            answer: (data) => worker.onmessage({ data }),
        });
        workers.push(worker);
        return worker;
    });
    return { jobs, workers };
}

const request = (program) => ({ program, name: "house.kon", bytes: new ArrayBuffer(4) });
const done = (job, status = 0) => ({ type: "result", job, status, messages: "", transcript: "", files: [{ name: `${job}.glb` }], facts: "" });

// Resolves to what the promise has settled with so far, or "pending".
const settled = (promise) => Promise.race([promise, new Promise((resolve) => setImmediate(() => resolve("pending")))]);

test("a newer job cancels the running one, and the older one's late answers are dropped", async () => {
    const { jobs, workers } = runner();
    const first = jobs.run(request("kon2x"));
    const second = jobs.run(request("kon2gltf"));
    assert.deepEqual(await first, { kind: "cancelled" });
    assert.ok(workers[0].terminated);
    workers[0].answer(done(1));  // the stopped worker's answer
    workers[1].answer(done(1));  // an answer for another job than the running one
    workers[1].answer({ type: "chunk", job: 1, name: "a.x", bytes: new ArrayBuffer(1) });
    assert.equal(await settled(second), "pending");
    workers[1].answer(done(2, 1));
    assert.deepEqual(await second, { kind: "done", status: 1, messages: "", transcript: "", files: [{ name: "2.glb" }], facts: "" });
});

test("cancelling ends the job as cancelled, without a status, and the next job gets a new worker", async () => {
    const { jobs, workers } = runner();
    const chunks = [];
    const making = jobs.run(request("kon2x"), { onChunk: (name) => chunks.push(name) });
    assert.equal(workers[0].posted[0].stream, true);
    workers[0].answer({ type: "chunk", job: 1, name: "house.x", bytes: new ArrayBuffer(1) });
    workers[0].answer({ type: "progress", job: 1, written: 5 });
    assert.equal(jobs.running.written, 5);
    jobs.cancel();
    jobs.cancel();
    assert.deepEqual(await making, { kind: "cancelled" });
    assert.deepEqual(chunks, ["house.x"]);
    const next = jobs.run(request("kon2gltf"));
    assert.equal(workers.length, 2);
    workers[1].answer({ type: "failed", job: 2, message: "RuntimeError: unreachable" });
    assert.deepEqual(await next, { kind: "trapped", message: "kon2gltf: RuntimeError: unreachable" });
});

test("an error the worker did not catch ends the running job and replaces the worker", async () => {
    const { jobs, workers } = runner();
    const running = jobs.run(request("kon2x"));
    workers[0].onerror({ message: "out of memory" });
    assert.deepEqual(await running, { kind: "trapped", message: "out of memory" });
    assert.ok(workers[0].terminated);
    jobs.run(request("kon2x"));
    assert.equal(workers.length, 2);
});
