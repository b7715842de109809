// Figures of the page in headless Chromium (SwiftShader), medians of five:
// the time from choosing a file to its first frame, split into the page's
// stages, and the frames drawn meanwhile; frame time while orbiting, time
// to pick an instance with a click, the frames of the view's keys after it
// (fit the selection, zoom, standard views); "Make .x" from the click to
// the link (or, past the in-memory limit, to the file saved through a
// stand-in save dialog), against kon2.wasm under node over the page's own
// WASI layer in the same run (the run alone, and a whole node process);
// memory of the browser; the simplified levels made for far instances; with --batch, every file of FOLDER in one batch,
// with one worker and with two.
//   node bench/page.mjs PAGE.html FILE... [--batch FOLDER]   (each file given
//   in turn; the first one ten times more at the end, for the memory after
//   repeated drops; kon2.wasm is read from PAGE.html's folder)
import { execFileSync, execSync } from "node:child_process";
import { readdirSync, readFileSync } from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { chromium } from "../tests/gltf/node_modules/playwright-core/index.mjs";
import { MemoryWasi } from "../web/wasi.js";
import { orbitFrames } from "./frames.mjs";

const kRuns = 5;
const [pagePath, ...given] = process.argv.slice(2);
const batchFolder = given.includes("--batch") ? given.splice(given.indexOf("--batch"), 2)[1] : null;
const files = given;
const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run", "--enable-precise-memory-info"],
});
// The resident memory of every Chromium process, in MiB.
const memory = () => Math.round(Number(execSync("ps -C chromium -o rss= | awk '{s+=$1} END {print s}'")) / 1024);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const range = (values) => `${Math.min(...values)} to ${Math.max(...values)} ms`;

const page = await browser.newPage({ viewport: { width: 1100, height: 700 } });
await page.goto(pathToFileURL(path.resolve(pagePath)).href);
// Counts the frames the view draws (each starts with a clear).
await page.evaluate(() => {
    const prototype = WebGL2RenderingContext.prototype;
    const clear = prototype.clear;
    window.drawnFrames = 0;
    prototype.clear = function counted(mask) {
        window.drawnFrames++;
        return clear.call(this, mask);
    };
});
const idle = () => page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 300))));
// Gives `file` to the page with the page idle; resolves with the time from
// choosing it (the page's "kon2x open" mark, at the input's change event) to
// the first screen frame after its view's first frame ("kon2x frame"), the
// page's stages between the two (name to ms) and the frames drawn.
const give = async (file) => {
    await idle();
    await page.evaluate(() => {
        performance.clearMarks();
        window.drawnFrames = 0;
        window.shownAt = 0;
        const watch = () => {
            if (performance.getEntriesByName("kon2x frame").length) window.shownAt = performance.now();
            else requestAnimationFrame(watch);
        };
        requestAnimationFrame(watch);
    });
    await page.setInputFiles("#file-input", file);
    await page.waitForFunction((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
        && document.getElementById("file-name").textContent === name && window.shownAt > 0, path.basename(file), { timeout: 600000 });
    const { time, stages } = await page.evaluate(() => {
        const marks = performance.getEntriesByType("mark").filter((mark) => mark.name.startsWith("kon2x "));
        const stages = Object.fromEntries(marks.slice(1).map((mark, i) => [mark.name.slice(6), Math.round(mark.startTime - marks[i].startTime)]));
        return { time: Math.round(window.shownAt - marks[0].startTime), stages };
    });
    await idle();
    return { time, stages, frames: await page.evaluate(() => window.drawnFrames) };
};
// The medians of five gives of `file`: the time, each stage, the frames.
const firstFrames = async (file) => {
    const runs = [];
    for (let i = 0; i < kRuns; i++) runs.push(await give(file));
    const stages = Object.keys(runs[0].stages).map((name) => `${name} ${median(runs.map((run) => run.stages[name] ?? 0))}`);
    const marked = runs.map((run) => Object.values(run.stages).reduce((sum, ms) => sum + ms, 0));
    return `first frame after ${range(runs.map((run) => run.time))} (median ${median(runs.map((run) => run.time))}; `
        + `${stages.join(", ")}, to the screen ${median(runs.map((run, i) => run.time - marked[i]))}); `
        + `frames drawn ${[...new Set(runs.map((run) => run.frames))].join(" or ")}`;
};
const orbit = () => page.evaluate(orbitFrames);
// A click at the view's centre: the time until the instance under it is
// selected, the panel and the frame drawn (the page's handlers run at once).
const pick = () => page.evaluate(() => {
    const canvas = document.querySelector("#view canvas");
    const box = canvas.getBoundingClientRect();
    const at = { pointerId: 1, isPrimary: true, pointerType: "mouse", button: 0, bubbles: true,
        clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 };
    const start = performance.now();
    canvas.dispatchEvent(new PointerEvent("pointerdown", { ...at, buttons: 1 }));
    canvas.dispatchEvent(new PointerEvent("pointerup", { ...at, buttons: 0 }));
    const values = document.getElementById("instance-values");
    return `${(performance.now() - start).toFixed(0)} ms to pick ${values?.hidden ?? true ? "nothing" : `instance ${values.querySelector("dd").textContent}`}`;
});
// The view's keys with instance 0 selected (Home in the list): fit the
// selection, zoom in three times, the top and front views, fit all; each
// key's frame timed, finished by reading a pixel.
const keys = () => page.evaluate(() => {
    document.getElementById("instance-list").dispatchEvent(new KeyboardEvent("keydown", { key: "Home", bubbles: true }));
    const canvas = document.querySelector("#view canvas");
    const gl = canvas.getContext("webgl2");
    const pixel = new Uint8Array(4);
    return ["z", "=", "=", "=", "t", "f", "a"].map((key) => {
        const start = performance.now();
        canvas.dispatchEvent(new KeyboardEvent("keydown", { key, bubbles: true }));
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
        return `${key} ${(performance.now() - start).toFixed(0)}`;
    }).join(", ");
});

// "Make .x" on `file`, from the click to the link, or to the file saved
// where the .x is streamed (into a stand-in save dialog that keeps nothing);
// undefined where the page cannot make it, or would stream more than 1 GB.
// The file is given anew each time.
const makeX = async (file) => {
    const times = [];
    for (let i = 0; i < kRuns; i++) {
        await give(file);
        const [, size, unit] = /about ([\d.]+) (MB|GB)/.exec(await page.textContent("#x-note")) ?? [, 0, "MB"];
        if (!await page.isVisible("#make-x") || size * (unit === "GB" ? 1024 : 1) > 1024) return undefined;
        const time = await page.evaluate(() => new Promise((resolve) => {
            window.showSaveFilePicker = async ({ suggestedName }) => ({ name: suggestedName, createWritable: async () => ({
                write: async () => {}, close: async () => {}, abort: async () => {},
            }) });
            let clicked = 0;
            document.getElementById("make-x").addEventListener("click", () => { clicked = performance.now(); }, { capture: true, once: true });
            const done = () => document.querySelector('a[download$=".x"]') !== null
                || /saved \(|was not|could not/.test(document.getElementById("x-note").textContent);
            new MutationObserver((changes, observer) => {
                if (!done()) return;
                observer.disconnect();
                resolve(Math.round(performance.now() - clicked));
            }).observe(document.getElementById("panel"), { childList: true, subtree: true, characterData: true });
            document.getElementById("make-x").click();
        }));
        times.push(time);
    }
    return times;
};
// kon2x of kon2.wasm on `file` under node over web/wasi.js, the module
// compiled once: each run instantiates it, converts and keeps the .x in memory.
const wasmModule = new WebAssembly.Module(readFileSync(path.join(path.dirname(pagePath), "kon2.wasm")));
const nodeX = (file) => {
    const name = path.basename(file);
    const bytes = new Uint8Array(readFileSync(file));
    return Array.from({ length: kRuns }, () => {
        const start = performance.now();
        const wasi = new MemoryWasi(["kon2x", name], new Map([[name, bytes.slice()]]));
        if (wasi.start(new WebAssembly.Instance(wasmModule, wasi.imports())) !== 0) throw new Error(`kon2x failed on ${name}`);
        return Math.round(performance.now() - start);
    });
};

// The same as one node process, its start and the compile included: what a
// person running it under node waits for.
const wasiUrl = pathToFileURL(path.resolve(path.dirname(new URL(import.meta.url).pathname), "../web/wasi.js")).href;
const kWholeRun = `import { readdirSync, readFileSync } from "node:fs"; import { basename } from "node:path";
    import { MemoryWasi } from ${JSON.stringify(wasiUrl)};
    const [wasm, file] = process.argv.slice(1);
    const wasi = new MemoryWasi(["kon2x", basename(file)], new Map([[basename(file), new Uint8Array(readFileSync(file))]]));
    process.exitCode = wasi.start(new WebAssembly.Instance(new WebAssembly.Module(readFileSync(wasm)), wasi.imports()));`;
const nodeProcessX = (file) => Array.from({ length: kRuns }, () => {
    const start = performance.now();
    execFileSync(process.execPath, ["--input-type=module", "-e", kWholeRun, path.join(path.dirname(pagePath), "kon2.wasm"), file], { stdio: "ignore" });
    return Math.round(performance.now() - start);
});

// The counts' row of the simplified levels (their triangles, the time they
// took), waited for a few seconds after the first frame; "none" without it.
const levels = () => page.waitForFunction(() => [...document.querySelectorAll("#counts tr")]
    .find((row) => row.cells[0].textContent === "Simplified levels")?.cells[1].textContent, null, { timeout: 5000 })
    .then((handle) => handle.jsonValue(), () => "none");

for (const file of files) {
    const name = path.basename(file);
    console.log(`${name}: ${await firstFrames(file)}; simplified levels: ${await levels()}`);
    console.log(`  ${(await orbit()).toFixed(1)} ms a frame while orbiting, ${await pick()}, browser ${memory()} MiB; `
        + `${await page.textContent("#view-note")}`);
    const picked = await keys();
    await page.evaluate(() => document.querySelector("#view canvas").dispatchEvent(new KeyboardEvent("keydown", { key: "z", bubbles: true })));
    console.log(`  keys, ms a frame: ${picked}; orbiting the selection fitted: ${(await orbit()).toFixed(1)} ms a frame; `
        + `${await page.textContent("#view-note")}`);
    const x = await makeX(file);
    if (!x) continue;
    const [node, whole] = [nodeX(file), nodeProcessX(file)];
    console.log(`  Make .x: ${range(x)} (median ${median(x)}); node over web/wasi.js ${range(node)} (median ${median(node)}), `
        + `${(median(x) / median(node)).toFixed(2)} x node; as a whole node process ${range(whole)} (median ${median(whole)}), `
        + `${(median(x) / median(whole)).toFixed(2)} x; ${await page.textContent("#x-note")}`);
}
if (files.length) {
    for (let i = 0; i < 10; i++) await give(files[0]);
    console.log(`after ten more drops of ${path.basename(files[0])}: browser ${memory()} MiB`);
}

// Every file of `folder` in one batch on a new page that sees `cores`
// cores: the time from choosing them to the last row, and the browser's
// memory before, at its peak, after, and after opening and leaving 20 rows.
async function batch(folder, cores) {
    const batchPage = await browser.newPage({ viewport: { width: 1100, height: 700 } });
    await batchPage.addInitScript((cores) => Object.defineProperty(Navigator.prototype, "hardwareConcurrency", { get: () => cores }), cores);
    await batchPage.goto(pathToFileURL(path.resolve(pagePath)).href);
    const inputs = readdirSync(folder).sort().map((name) => path.join(folder, name));
    await batchPage.evaluate(() => document.getElementById("file-input").addEventListener("change", () => { window.chosenAt = performance.now(); }, { capture: true }));
    const lastRow = batchPage.evaluate((total) => new Promise((resolve) => {
        const watch = () => {
            if (new RegExp(`^${total}/${total} files, .* in `).test(document.getElementById("batch-progress").textContent)) resolve(performance.now() - window.chosenAt);
            else requestAnimationFrame(watch);
        };
        watch();
    }), inputs.length);
    // The pictures drawn, and the time they took on the page's thread.
    await batchPage.evaluate(() => {
        window.pictures = { count: 0, ms: 0 };
        new PerformanceObserver((list) => list.getEntries().filter((entry) => entry.name === "kon2x picture")
            .forEach((entry) => Object.assign(window.pictures, { count: window.pictures.count + 1, ms: window.pictures.ms + entry.duration, last: performance.now() }))).observe({ type: "measure" });
    });
    const before = memory();
    let peak = before;
    const sampling = setInterval(() => { peak = Math.max(peak, memory()); }, 100);
    await batchPage.setInputFiles("#file-input", inputs);
    const ms = Math.round(await lastRow);
    // Pages before the cards have no pictures to wait for.
    const converted = await batchPage.evaluate(() => {
        const [, done, refused] = /^(\d+)\/\d+ files, (\d+) refused/.exec(document.getElementById("batch-progress").textContent);
        return document.getElementById("batch-layout") ? done - refused : 0;
    });
    await batchPage.waitForFunction((converted) => window.pictures.count >= converted, converted, { timeout: 0 });
    const pictures = await batchPage.evaluate(() => ({ ...window.pictures, last: window.pictures.last - window.chosenAt }));
    clearInterval(sampling);
    const after = memory();
    for (let row = 0; row < 20; row++) {
        const name = await batchPage.textContent(`#batch-rows [data-row="${row}"] span`);
        await batchPage.click(`#batch-rows [data-row="${row}"]`);
        await batchPage.waitForFunction((name) => document.getElementById("file-name").textContent === name
            && document.querySelector("main").getAttribute("aria-busy") === "false", name);
        await batchPage.click("#batch-back");
    }
    const rows = memory();
    await batchPage.close();
    const drawn = pictures.count ? `; ${pictures.count} pictures, ${(pictures.ms / pictures.count).toFixed(1)} ms each, the last ${Math.round(pictures.last)} ms after choosing` : "";
    return { ms, text: `browser ${before} MiB before, ${peak} MiB at the peak, ${after} MiB after${drawn}, ${rows} MiB after opening and leaving 20 rows` };
}
if (batchFolder) {
    const count = readdirSync(batchFolder).length;
    for (let run = 0; run < 3; run++) {
        const one = await batch(batchFolder, 1);
        const two = await batch(batchFolder, 2);
        console.log(`${count} files in a batch, choosing them to the last row: one worker ${one.ms} ms (${one.text}); `
            + `two workers ${two.ms} ms, ${(two.ms / one.ms).toFixed(2)} x (${two.text})`);
    }
}
await browser.close();
