// Figures of the page in headless Chromium (SwiftShader): time from giving a
// file to the first frame, frame time while orbiting, time to pick an
// instance with a click, the frames of the view's keys after it (fit the
// selection, zoom, standard views), memory of the browser.
//   node bench/page.mjs PAGE.html FILE...   (each file given in turn; the
//   first one ten times more at the end, for the memory after repeated drops)
import { execSync } from "node:child_process";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { chromium } from "../tests/gltf/node_modules/playwright-core/index.mjs";

const [pagePath, ...files] = process.argv.slice(2);
const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run", "--enable-precise-memory-info"],
});
// The resident memory of every Chromium process, in MiB.
const memory = () => Math.round(Number(execSync("ps -C chromium -o rss= | awk '{s+=$1} END {print s}'")) / 1024);

const page = await browser.newPage({ viewport: { width: 1100, height: 700 } });
await page.goto(pathToFileURL(path.resolve(pagePath)).href);
const give = async (file) => {
    const start = Date.now();
    await page.setInputFiles("#file-input", file);
    await page.waitForFunction((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
        && document.getElementById("file-name").textContent === name, path.basename(file), { timeout: 600000 });
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => resolve())));
    return Date.now() - start;
};
// Drags across the view 10 times, turning it by 36 degrees in all; each move
// renders a frame, finished by reading a pixel.
const orbit = () => page.evaluate(() => {
    const canvas = document.querySelector("#view canvas");
    const gl = canvas.getContext("webgl2");
    const pixel = new Uint8Array(4);
    const at = (x) => ({ pointerId: 1, isPrimary: true, pointerType: "mouse", button: 0, buttons: 1, clientX: x, clientY: 300, bubbles: true });
    // A step of a hundredth of the view's height turns the camera by 3.6 degrees, whatever its size.
    const step = canvas.clientHeight / 100;
    canvas.dispatchEvent(new PointerEvent("pointerdown", at(300)));
    const start = performance.now();
    for (let i = 1; i <= 10; i++) {
        canvas.ownerDocument.dispatchEvent(new PointerEvent("pointermove", at(300 + step * i)));
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    }
    const time = (performance.now() - start) / 10;
    canvas.ownerDocument.dispatchEvent(new PointerEvent("pointerup", at(500)));
    return time;
});
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
for (const file of files) {
    const time = await give(file);
    console.log(`${path.basename(file)}: first frame after ${time} ms, ${(await orbit()).toFixed(1)} ms a frame while orbiting, `
        + `${await pick()}, browser ${memory()} MiB; ${await page.textContent("#view-note")}`);
    const picked = await keys();
    await page.evaluate(() => document.querySelector("#view canvas").dispatchEvent(new KeyboardEvent("keydown", { key: "z", bubbles: true })));
    console.log(`  keys, ms a frame: ${picked}; orbiting the selection fitted: ${(await orbit()).toFixed(1)} ms a frame; `
        + `${await page.textContent("#view-note")}`);
}
const again = files[0];
for (let i = 0; i < 10; i++) await give(again);
console.log(`after ten more drops of ${path.basename(again)}: browser ${memory()} MiB`);
await browser.close();
