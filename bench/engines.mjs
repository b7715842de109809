// A frame while orbiting, in each browser engine through the scenario's
// drivers (tests/web/engines; Firefox and WebKitGTK draw with Mesa's
// software rendering): each file given in turn, its simplified levels
// waited for, then 10 frames turning the view by 3.6 degrees each, three
// times, and 10 frames of the zoom keys (in, out, and so on: Firefox turns
// no view for a drag made of synthetic pointer events); the note over the
// view says what was drawn.
//   xvfb-run -a env LIBGL_ALWAYS_SOFTWARE=1 node bench/engines.mjs PAGE.html ENGINE FILE...
import path from "node:path";
import { pathToFileURL } from "node:url";
import { orbitFrames } from "./frames.mjs";

const [pagePath, engine, ...files] = process.argv.slice(2);
const { launch } = await import(`../tests/web/engines/${engine}.mjs`);
const page = await launch();
await page.open(pathToFileURL(path.resolve(pagePath)).href);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
async function waitFor(fn, arg) {
    for (const end = Date.now() + 600000; !(await page.evaluate(fn, arg)); await sleep(50)) if (Date.now() > end) throw new Error("timed out");
}
const orbit = async () => Math.round(await page.evaluate(orbitFrames));
// Ten frames of the zoom keys, in and out in turn, each finished by reading a pixel.
const zoomKeys = () => page.evaluate(() => {
    const canvas = document.querySelector("#view canvas");
    const gl = canvas.getContext("webgl2");
    const pixel = new Uint8Array(4);
    const start = performance.now();
    for (let i = 0; i < 10; i++) {
        canvas.dispatchEvent(new KeyboardEvent("keydown", { key: i % 2 ? "-" : "=", bubbles: true }));
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    }
    return Math.round((performance.now() - start) / 10);
});
console.log(`== ${page.name} ${page.version}`);
for (const file of files) {
    await page.setFiles("#file-input", [file]);
    await waitFor((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
        && document.getElementById("file-name").textContent === name, path.basename(file));
    await sleep(3000);  // the levels, where the model gets them
    const levels = await page.evaluate(() => [...document.querySelectorAll("#counts tr")]
        .find((row) => row.cells[0].textContent === "Simplified levels")?.cells[1].textContent ?? "none");
    const [frames, zooms] = [[], []];
    for (let run = 0; run < 3; run++) {
        frames.push(await orbit());
        await sleep(500);
        zooms.push(await zoomKeys());
        await sleep(500);
    }
    console.log(`${path.basename(file)}: ${frames.join(", ")} ms a frame while orbiting, ${zooms.join(", ")} ms a zoom key's; simplified levels: ${levels}; `
        + `${await page.evaluate(() => document.getElementById("view-note").textContent)}`);
}
await page.close();
