// Drives build/web/kon2x.html as a person would, opened from disk, in one
// browser engine (tests/web/engines: chromium, firefox or webkitgtk):
//   node page.mjs ENGINE PAGE.html NATIVE_BUILD [--screenshot OUT.png]
// The bundled example (picture, counts, downloads against the golden files,
// an instance hidden by mouse and chosen by keys), then 100 generated files
// in one session (outcome, messages and .glb as NATIVE_BUILD's kon2gltf gives
// them, and a visible model wherever a face is large enough to see), then the faults a
// user met. A step that fails is named, and the steps after it still run.
// With --screenshot it only writes a picture of the example.
import { spawnSync } from "node:child_process";
import { createHash } from "node:crypto";
import { closeSync, mkdirSync, mkdtempSync, openSync, readdirSync, readFileSync, rmSync, truncateSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";
import { Box3, MathUtils, Matrix4, PerspectiveCamera, Quaternion, Sphere, Vector3 } from "three";
import { houseColours, houseSpots, showsTheHouse } from "../gltf/house_colours.mjs";
import { readGlb } from "../../web/glb.js";
import { layOut } from "../../web/layout.js";
import { runAnswered } from "./native.mjs";

const [engine, pagePath, build, option, screenshotPath] = process.argv.slice(2);
const nativeBuild = path.resolve(build);
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const corpus = (name) => path.join(source, "tests/corpus", name);
const example = path.join(source, "examples/house.kon");
const work = mkdtempSync(path.join(tmpdir(), "page-"));
const failures = [];
const expect = (ok, what) => {
    console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
    if (!ok) failures.push(what);
};

// A flaky start of the engine (not the page) gets one second chance, reported.
const { launch } = await import(`./engines/${engine}.mjs`);
const started = Date.now();
const page = await launch().catch((error) => {
    console.log(`second chance: ${engine} did not start (${error.message.split("\n")[0]})`);
    return launch();
});
console.log(`== ${page.name} ${page.version}`);

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// Waits until `fn(arg)`, evaluated in the page, is true.
async function waitFor(fn, arg, what, timeout = 60000) {
    for (const end = Date.now() + timeout; !(await page.evaluate(fn, arg)); await sleep(25)) {
        if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    }
}
const shown = (name) => waitFor((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
    && document.getElementById("file-name").textContent === name, name, `${name} to be shown`);
// Gives files to the file input; waits until the page shows `name` and is no longer busy.
const give = async (files, name = path.basename([files].flat()[0])) => {
    await page.setFiles("#file-input", [files].flat());
    await shown(name);
};
const text = (selector) => page.evaluate((selector) => document.querySelector(selector).textContent, selector);
const visible = (selector) => page.evaluate((selector) => [...document.querySelectorAll(selector)].some((element) => element.getClientRects().length > 0), selector);
const counts = () => page.evaluate(() => Object.fromEntries([...document.querySelectorAll("#counts tr")]
    .map((row) => [row.cells[0].textContent, row.cells[1].textContent])));
// Chooses the option labelled `label` of the list `selector`, as a change by the user.
const choose = (label, selector) => page.evaluate(([label, selector]) => {
    const list = document.querySelector(selector);
    list.value = [...list.options].find((option) => option.label === label).value;
    list.dispatchEvent(new Event("change"));
}, [label, selector]);
// The bytes behind the download link named `name`, or null: read inside the page.
const linkBytes = async (name) => {
    const base64 = await page.evaluate(async (name) => {
        const link = [...document.querySelectorAll("a[download]")].find((anchor) => anchor.download === name);
        if (!link) return null;
        const reader = new FileReader();
        reader.readAsDataURL(await (await fetch(link.href)).blob());
        await new Promise((resolve) => { reader.onload = resolve; });
        return reader.result.slice(reader.result.indexOf(",") + 1);
    }, name);
    return base64 === null ? null : Buffer.from(base64, "base64");
};
// A picture of the view (or of `selector`) once the last frame is on the screen.
const picture = async (selector = "#canvas-box canvas") => {
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => resolve(true)))));
    return page.screenshot(selector);
};
// How many pixels of the picture `png` differ clearly from the view's
// background (drawn), are clearly blue (the lines' colour), dark, or of a
// middle lightness (soft: a line's blurred edge).
const pixelCounts = (png) => page.evaluate(async (png) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
    context.drawImage(image, 0, 0);
    const { data } = context.getImageData(0, 0, image.width, image.height);
    const found = { drawn: 0, blue: 0, dark: 0, soft: 0 };
    for (let i = 0; i < data.length; i += 4) {
        const lightness = (data[i] + data[i + 1] + data[i + 2]) / 3;
        found.soft += lightness >= 100 && lightness < 220;
        found.drawn += Math.abs(data[i] - 232) + Math.abs(data[i + 1] - 238) + Math.abs(data[i + 2] - 244) > 30;
        found.blue += data[i + 2] > data[i] + 60 && data[i + 2] > data[i + 1] + 30;
        found.dark += Math.max(data[i], data[i + 1], data[i + 2]) < 100;
    }
    return found;
}, png.toString("base64"));
const drawnPixels = async () => (await pixelCounts(await picture())).drawn;

// Errors the page did not catch, and requests that left the machine, from inside the page.
const watch = () => page.evaluate(() => {
    window.uncaught = [];
    addEventListener("error", (event) => window.uncaught.push(`${event.message}`));
    addEventListener("unhandledrejection", (event) => window.uncaught.push(`${event.reason}`));
});
const requestsSeen = () => page.evaluate(() => performance.getEntriesByType("resource").map((entry) => entry.name)
    .filter((name) => !/^(file|data|blob):/.test(name)).length);

async function theExample() {
    await countFrames();
    await give(example);
    await sleep(500);
    const frames = await page.evaluate(() => window.drawnFrames);
    expect(frames === 1, `a new file is drawn in one frame, its line and all (${frames})`);
    expect(await showsTheHouse(page, await picture()), "the example shows both houses upright in their colours");
    const rows = await counts();
    expect(rows.Instances === "2" && rows["Instances that cannot be placed"] === "0" && rows["Triangles drawn"] === "32"
        && !("Simplified levels" in rows), `two instances, both placed, every triangle drawn, none simplified: ${JSON.stringify(rows)}`);
    expect((await linkBytes("house.glb"))?.equals(readFileSync(corpus("house.glb"))), "the .glb has kon2gltf's bytes");
    await page.click("#make-x");
    await waitFor(() => document.querySelector('a[download="house.x"]') !== null, null, "the .x");
    expect((await linkBytes("house.x")).equals(readFileSync(corpus("house.x"))), "the .x has kon2x's bytes");
    const before = await houseColours(page, await picture());
    await page.click('#instance-rows [data-instance="1"]');
    await page.click("#hide");
    expect((await houseColours(page, await picture())).walls < before.walls * 0.8, "hiding an instance removes it from the picture");
    await page.click("#show-all");
    const clicked = await picture();
    await page.click('#instance-rows [data-instance="0"]');
    await page.press("#instance-list", ["End", "Home", "ArrowDown", "ArrowLeft", "ArrowUp", "ArrowDown", "Enter"]);
    expect(await page.evaluate(() => document.querySelector('#instance-rows [data-instance="1"]').getAttribute("aria-selected")) === "true"
        && (await picture()).equals(clicked), "keys in the instance list select as a click does, and never move the view");
}

// Counts the frames the view draws (each starts with a clear) from now on, inside the page.
const countFrames = () => page.evaluate(() => {
    const prototype = WebGL2RenderingContext.prototype;
    if (!prototype.uncountedClear) {
        prototype.uncountedClear = prototype.clear;
        prototype.clear = function clear(mask) {
            window.drawnFrames++;
            return this.uncountedClear(mask);
        };
    }
    window.drawnFrames = 0;
});
const canvas = "#canvas-box canvas";
const selectedValues = () => page.evaluate(() => {
    const terms = [...document.querySelectorAll("#instance-values dt")].map((term) => term.textContent);
    return document.getElementById("instance-values").hidden ? null
        : Object.fromEntries(terms.map((term, i) => [term, document.querySelectorAll("#instance-values dd")[i].textContent]));
});
let largest = null;  // theLargest's file
const bothHouses = ({ wall, roof }) => [wall.left, wall.right, roof.left, roof.right].every((spot) => spot.count > 300);

// Finding one's way in the example (house 0 on the left, the mirrored and
// turned house 1 on the right), picking and measuring, as a person would.
async function theViewer() {
    await countFrames();
    await sleep(1000);
    expect(await page.evaluate(() => window.drawnFrames) === 0, "no frame is drawn while nothing changes");
    await page.press(canvas, ["z", ...Array(6).fill("=")]);
    const zoomed = await houseSpots(page, await picture());
    await page.press(canvas, ["Escape", "a"]);
    expect(!bothHouses(zoomed) && bothHouses(await houseSpots(page, await picture())), "fit all after zooming into a wall shows both houses again");
    await page.press(canvas, ["t"]);
    const top = await picture();
    const { wall, roof } = await houseSpots(page, top);
    expect(roof.left.count > 2000 && roof.right.count > 2000 && wall.left.count + wall.right.count < (roof.left.count + roof.right.count) / 5,
        `the top view shows both red roofs from above (${roof.left.count} and ${roof.right.count} roof pixels, ${wall.left.count + wall.right.count} of walls)`);
    await page.clickAt(canvas, 5, 5);
    const none = await selectedValues();
    await page.clickAt(canvas, Math.round(roof.right.x), Math.round(roof.right.y));
    const values = await selectedValues();
    const [[red], [tinted]] = [await colours(top, [[roof.right.x, roof.right.y]]), await colours(await picture(), [[roof.right.x, roof.right.y]])];
    const inSight = await page.evaluate(() => ["instance-1", "instance-values"].every((id) => {
        const [item, panel] = [document.getElementById(id), document.getElementById("panel")].map((e) => e.getBoundingClientRect());
        return item.top >= panel.top && item.bottom <= Math.min(panel.bottom, innerHeight) + 2;  // rounding
    }));
    expect(inSight && Math.max(...red.map((c, i) => Math.abs(c - tinted[i]))) > 40,
        `the selection shows on the red roof (${red} becomes ${tinted}), its row and values in sight`);
    const sorted = (object) => JSON.stringify(Object.entries(object ?? {}).sort());
    expect(none === null && sorted(values) === sorted({ Instance: "1", "Scale factors": "-1, 1, 1", "Angles (degrees)": "0, 30, 0",
        Offset: "250, 0, 0", Mirrors: "yes" }) && await text("#instance-1") === "Instance 1: scale -1, 1, 1; angles 0, 30, 0; offset 250, 0, 0; mirrors",
    `clicking the second house selects instance 1 and shows its values as the file has them: ${JSON.stringify(values)}`);
    await page.press(canvas, ["f", "p", "m"]);
    const front = (await houseSpots(page, await picture())).wall.left;
    await page.clickAt(canvas, front.left + 3, front.bottom - 3);
    await page.clickAt(canvas, front.right - 3, front.bottom - 3);
    const distance = await text("#readout");
    expect(distance === "Distance from point 0 of instance 0 to point 1 of instance 0: 100 units.",
        `measuring between two corners of a wall gives the file's distance: ${distance}`);
    for (const key of [".", "Enter", ".", "Enter"]) await page.press(canvas, [key]);  // a key a time: WebKitWebDriver may lose one of a quick run
    const byKeys = await text("#readout");
    expect(byKeys === "Distance from point 0 of instance 1 to point 1 of instance 1: 100 units." && await text("#announcement") === byKeys,
        `the keys step through the selected instance's corners and measure, and are heard: ${byKeys}`);
    await page.press(canvas, ["Escape", "p", "r"]);
    const before = await houseSpots(page, await picture());
    for (let turn = 0; turn < 6; turn++) await page.press(canvas, ["Shift+ArrowLeft"]);  // a chord a time: WebKitWebDriver mixes chords
    const turned = await houseSpots(page, await picture());
    expect(Math.hypot(turned.wall.left.x - before.wall.left.x, turned.wall.left.y - before.wall.left.y) > 15,
        `Shift and an arrow key turn the view (${before.wall.left.x.toFixed(0)} to ${turned.wall.left.x.toFixed(0)})`);
    await page.press(canvas, ["r"]);
}

// The colours of the picture `png` at `points` ([x, y] each), as [r, g, b].
const colours = (png, points) => page.evaluate(async ([png, points]) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
    context.drawImage(image, 0, 0);
    return points.map(([x, y]) => [...context.getImageData(Math.round(x), Math.round(y), 1, 1).data.slice(0, 3)]);
}, [png.toString("base64"), points]);
const dark = ([r, g, b]) => Math.max(r, g, b) < 150;

// What the file holds beyond triangles: lines, face outlines, the section
// plane and the drawing, as a person would use them.
async function beyondTriangles() {
    const points = ["0;0;0", "100;0;0", "100;-100;0", "0;-100;0", "-50;0;0", "-50;-100;0"].map((p) => `${p};230;220;200`);
    await give(named("quad.kon", `KON;KRUV\nX\n${points.join("\n")}\nFlaechen\n0;1;2;3\n4;5\nScalX\n1;1;1;0;0;0;0;0;0\n`));
    await page.press(canvas, ["f", "p"]);
    const withLines = (await pixelCounts(await picture())).blue;
    await page.click("#lines");
    const withoutLines = (await pixelCounts(await picture())).blue;
    expect(withLines > 50 && withoutLines === 0, `a two-point element shows as a line and hides with its toggle (${withLines}, then ${withoutLines} blue pixels)`);
    await page.click("#edges");
    const shot = await picture();
    const { wall } = await houseSpots(page, shot);
    const [l, r, t, b] = [Math.min(wall.left.left, wall.right.left), Math.max(wall.left.right, wall.right.right),
        Math.min(wall.left.top, wall.right.top), Math.max(wall.left.bottom, wall.right.bottom)];
    const [mx, my] = [(l + r) / 2, (t + b) / 2];
    const inside = [0.3, 0.5, 0.7].flatMap((f) => [[l + f * (r - l), t + f * (b - t)], [l + f * (r - l), b - f * (b - t)]]);
    // Across each side, a few pixels: the outline is dark in one of them.
    const sides = [-3, -2, -1, 0, 1, 2, 3].map((d) => [[mx, t + d], [mx, b + d], [l + d, my], [r + d, my]]);
    const [across, around] = [await colours(shot, inside), await colours(shot, sides.flat())];
    const outlined = [0, 1, 2, 3].map((side) => around.filter((_, i) => i % 4 === side).some(dark));
    expect(!across.some(dark) && outlined.every(Boolean), `a quad's face outline shows its four edges and no diagonal (${JSON.stringify([across, outlined])})`);
    await page.click("#edges");
    await page.click("#lines");
    await page.press(canvas, ["p"]);
    await give(example);
    await choose("x", "#section-axis");
    const cut = await houseSpots(page, await picture());
    expect(cut.wall.left.count > 2000 && cut.wall.right.count + cut.roof.right.count < 50,
        `a section plane across x through the middle hides the house beyond it (${cut.wall.left.count} wall pixels on the left, ${cut.wall.right.count + cut.roof.right.count} on the right)`);
    await choose("none", "#section-axis");
    await page.press(canvas, ["d"]);
    await waitFor(() => document.querySelector('a[download="house.dxf"]') !== null && document.querySelector("#drawing-box svg") !== null,
        null, "the drawings");
    const drawing = await pixelCounts(await picture("#drawing-box"));
    expect(drawing.dark > 300 && (await linkBytes("house.svg"))?.equals(readFileSync(corpus("house.svg")))
        && (await linkBytes("house.dxf"))?.equals(readFileSync(corpus("house.dxf"))),
    `the drawing view shows the example's outline (${drawing.dark} dark pixels), and house.svg and house.dxf have kon2svg's and kon2dxf's bytes`);
    await page.press("#drawing-box", ["d"]);
}

// The drawing view as a person uses it: zoomed in by keys its lines stay
// sharp, the wheel zooms out, it keeps its view while hidden, and D shows it
// for a file that has no 3D view.
async function theDrawing() {
    await give(corpus("grid.kon"));
    await page.press(canvas, ["d"]);
    await waitFor(() => document.querySelector("#drawing-box svg") !== null, null, "the drawing");
    await page.press("#drawing-box", Array(10).fill("+"));
    const zoomed = await pixelCounts(await picture("#drawing-box"));
    await page.press("#drawing-box", ["d"]);
    await page.press(canvas, ["d"]);
    const again = await pixelCounts(await picture("#drawing-box"));
    await page.evaluate(() => {
        const box = document.getElementById("drawing-box");
        const { left, top, width, height } = box.getBoundingClientRect();
        box.dispatchEvent(new WheelEvent("wheel", { deltaY: 100, clientX: left + width / 2, clientY: top + height / 2, bubbles: true, cancelable: true }));
    });
    const out = await pixelCounts(await picture("#drawing-box"));
    expect(zoomed.dark > 5000 && zoomed.soft < zoomed.dark / 2 && Math.abs(again.dark - zoomed.dark) < zoomed.dark / 50 && Math.abs(out.dark - zoomed.dark) > zoomed.dark / 10,
        `zoomed in by keys the drawing stays sharp and keeps its zoom when shown again; the wheel zooms out (${JSON.stringify([zoomed, again, out])})`);
    await give(named("lines.kon", "KON;KRUV\nX\n0;0;0\n100;0;0\nFlaechen\n0;1\nScalX\n1;1;1;0;0;0;0;0;0\n"));
    await page.press(canvas, ["d"]);
    await waitFor(() => document.querySelector("#drawing-box svg") !== null, null, "the drawing of lines");
    expect(!/Nothing to draw/.test(await text("#view-note")) && (await pixelCounts(await picture("#drawing-box"))).blue > 20,
        "D shows the drawing of a file that has no 3D view, under no note of the 3D view");
}

// The largest model (32767 instances of 32767 triangles) picked by a click;
// how long the page took to answer is reported.
async function theLargest() {
    const count = 32767;
    const points = Array.from({ length: count }, (_, i) => `${(i % 181) * 10};${-Math.floor(i / 181) * 10};${(i * 7) % 50};200;100;50`);
    // Faces across the whole grid and instances over each other, as the
    // bench model's: a stand-in draws part of one instance, a frame stays cheap.
    const faces = Array.from({ length: count }, (_, i) => `${i};${(i * 7919 + 1) % count};${(i * 104729 + 2) % count}`);
    const instances = Array.from({ length: count }, (_, k) => `1;1;1;0;0;0;${(k % 13) * 50};0;${(k % 11) * 50}`);
    largest = named("largest.kon", `KON;KRUV\nX\n${points.join("\n")}\nFlaechen\n${faces.join("\n")}\nScalX\n${instances.join("\n")}\n`);
    await give(largest);
    const box = await page.evaluate((selector) => document.querySelector(selector).getBoundingClientRect().toJSON(), canvas);
    const started = Date.now();
    await page.clickAt(canvas, Math.round(box.width / 2), Math.round(box.height / 2));
    await waitFor(() => !document.getElementById("instance-values").hidden, null, "a picked instance");
    const values = await selectedValues();
    expect(values !== null, `a click picks instance ${values?.Instance} of the largest model; the page answered in ${Date.now() - started} ms`);
    await page.click("#alone");
    const alone = await drawnPixels();
    expect(alone > 5000, `an instance that stood in as a dot, shown alone, is drawn as the model (${alone} pixels)`);
    await page.click("#show-all");
}

// The bench's office block on a grid of 180 by 180, fitted and then zoomed
// in five steps: each instance whose box covers 3 px or more, projected
// with the page's camera, is drawn as the model, never as a dot of the
// stand-ins' colour.
async function aTown() {
    const town = path.join(work, "town.kon");
    spawnSync(path.join(nativeBuild, "bench/make_bench_model"), ["--building", town], { stdio: "inherit" });
    await give(town);
    await waitFor(() => /^4: /.test([...document.querySelectorAll("#counts tr")].find((row) => row.cells[0].textContent === "Simplified levels")
        ?.cells[1].textContent), null, "the levels");
    const model = readGlb(new Uint8Array(await linkBytes("town.glb")).buffer);
    const size = await page.evaluate((selector) => document.querySelector(selector).getBoundingClientRect().toJSON(), canvas);
    const { matrices, bulk, fitted } = layOut(model);
    const sphere = fitted.getBoundingSphere(new Sphere());
    const halfFov = MathUtils.degToRad(20);
    const camera = new PerspectiveCamera(40, size.width / size.height, 1, 1e9);
    const distance = (1.1 * sphere.radius) / Math.sin(Math.min(halfFov, Math.atan(Math.tan(halfFov) * camera.aspect)));
    for (const zoom of [1, 1.25 ** 5]) {
        await page.evaluate(([selector, steps]) => {
            for (let step = 0; step < steps; step++) document.querySelector(selector).dispatchEvent(new KeyboardEvent("keydown", { key: "=", bubbles: true }));
        }, [canvas, Math.round(Math.log(zoom) / Math.log(1.25))]);
        camera.position.copy(sphere.center).addScaledVector(new Vector3(0.55, 0.45, 1).normalize(), distance / zoom);
        camera.lookAt(sphere.center);
        camera.updateMatrixWorld();
        const boxes = matrices.map((matrix) => {
            const box = new Box3().setFromPoints([0, 1, 2, 3, 4, 5, 6, 7].map((k) => new Vector3(k & 1 ? bulk.max.x : bulk.min.x,
                k & 2 ? bulk.max.y : bulk.min.y, k & 4 ? bulk.max.z : bulk.min.z).applyMatrix4(matrix).project(camera)));
            return [box.min.x, box.max.y, box.max.x, box.min.y].map((v, k) => (k % 2 ? (1 - v) * size.height : (v + 1) * size.width) / 2);
        }).filter(([left, top, right, bottom]) => Math.max(right - left, bottom - top) >= 3 && left >= 1 && top >= 1
            && right < size.width - 1 && bottom < size.height - 1);
        const shown = await drawnAsModel(await picture(), boxes);
        const note = await text("#view-note");
        expect((zoom === 1 || boxes.length > 100) && shown === boxes.length && /Far instances drawn simplified/.test(note) && !/more as dots/.test(note),
            `the town ${zoom === 1 ? "fitted" : "zoomed in"}: ${shown} of the ${boxes.length} instances of 3 px or more drawn as the model, none as a dot (${note})`);
    }
    await page.click("#full-detail");
    expect(/^Stand-in: \d+ of 32400 instances drawn in full, the others as dots/.test(await text("#view-note")),
        "Full detail draws the instances in full that the budgets allow, and says so");
    await page.click("#full-detail");
}

// Of `boxes` (left, top, right, bottom on the picture `png`), how many show
// a pixel of the model's colours, and not a stand-in's dot at their centre.
const drawnAsModel = (png, boxes) => page.evaluate(async ([png, boxes]) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
    context.drawImage(image, 0, 0);
    const { data, width } = context.getImageData(0, 0, image.width, image.height);
    const at = (x, y) => data.subarray(4 * (Math.round(y) * width + Math.round(x)), 4 * (Math.round(y) * width + Math.round(x)) + 3);
    const standIn = ([r, g, b]) => Math.abs(r - 0x5a) + Math.abs(g - 0x6a) + Math.abs(b - 0x80) < 20;
    const background = ([r, g, b]) => Math.abs(r - 232) + Math.abs(g - 238) + Math.abs(b - 244) < 30;
    const around = (x, y) => [-1, 0, 1].flatMap((dx) => [-1, 0, 1].map((dy) => at(x + dx, y + dy)));
    const modelColoured = ([left, top, right, bottom]) => {
        for (let y = Math.ceil(top); y <= bottom; y++) for (let x = Math.ceil(left); x <= right; x++) if (!standIn(at(x, y)) && !background(at(x, y))) return true;
        return false;
    };
    return boxes.filter((box) => !around((box[0] + box[2]) / 2, (box[1] + box[3]) / 2).every(standIn) && modelColoured(box)).length;
}, [png.toString("base64"), boxes]);

// A Cancel stops the worker; the next file runs in a new one, which is given
// the programs compiled when the page loaded: nothing compiles them again.
async function aCancel() {
    await page.evaluate(() => {
        Object.assign(window, { compiles: 0, modulePosts: 0 });
        const [{ compile, compileStreaming, Module }, post] = [{ ...WebAssembly }, Worker.prototype.postMessage];
        // Put back after the count: an engine (WebKitGTK) may report errors in what a driver's script defined.
        window.uncount = () => {
            Object.assign(WebAssembly, { compile, compileStreaming, Module });
            Worker.prototype.postMessage = post;
        };
        for (const [name, real] of [["compile", compile], ["compileStreaming", compileStreaming]]) {
            WebAssembly[name] = (...args) => {
                window.compiles++;
                return real(...args);
            };
        }
        WebAssembly.Module = function counted(...args) { window.compiles++; return new Module(...args); };
        Worker.prototype.postMessage = function counted(message, ...rest) {
            window.modulePosts += message?.type === "module";
            return post.call(this, message, ...rest);
        };
        // Cancel as soon as the conversion starts (its progress line shows).
        new MutationObserver((changes, observer) => {
            if (document.getElementById("progress").hidden) return;
            observer.disconnect();
            document.getElementById("cancel").click();
        }).observe(document.getElementById("progress"), { attributes: true });
    });
    await give(largest);
    const cancelled = await text("#outcome");
    await give(example);
    const counted = await page.evaluate(() => [window.compiles, window.modulePosts, window.uncount()].slice(0, 2));
    expect(cancelled === "Not converted: cancelled." && await text("#outcome") === "Converted." && counted.join() === "0,1",
        `after a Cancel (${cancelled}) the next file converts in a new worker given the compiled programs (compiles, posts: ${counted})`);
}

// Files under names a person gives them, written for the engine to upload.
function named(name, bytes) {
    const folder = mkdtempSync(path.join(work, "named-"));
    writeFileSync(path.join(folder, name), bytes);
    return path.join(folder, name);
}

async function faults() {
    await give(corpus("bad-point-line.kon"));
    expect(await text("#messages") === "falsches Punktformat in Zeile 3!\nbad-point-line.kon ist fehlerhaft\n"
        && !await visible("a[download]") && await drawnPixels() < 1000, "a broken file replaces the model: the reader's message, no model, no download");
    for (const name of ["Häuser.kon", ".kon", 'say "hi".kon']) {
        await give(named(name, readFileSync(example)));
        const glb = name.replace(/kon$/, "glb");
        expect((await linkBytes(glb))?.length > 0 && (await counts()).Points === "10", `${name} is offered as ${glb}, the name kon2gltf gave it, and counted`);
    }
    await give(corpus("unplaceable-instances.kon"));
    expect((await counts())["Instances that cannot be placed"] === "2" && /Instance 2 \(cannot be placed\)/.test(await text("#instance-rows")),
        "the instances that cannot be placed are named");
    await give(named("lines.kon", "KON;KRUV\nX\n0;0;0\n1;0;0\nFlaechen\n0;1\nScalX\n1;1;1;0;0;0;0;0;0\n2;2;2;0;0;0;0;0;0\n"));
    const lines = await counts();
    expect(lines["Instances that cannot be placed"] === "0" && !("Size along x, y, z (units)" in lines)
        && /no faces of three or more points/.test(await text("#view-note")), "a model with nothing to draw says so, nothing stale");
    await give(corpus("far-points.kon"));
    expect((await houseColours(page, await picture())).roofs > 2000 && /^2 points that faces use lie far/.test(await text("#view-note")),
        "points far away are left out of the fit and named");
    await page.press(canvas, ["d"]);
    await waitFor(() => document.querySelector("#drawing-box svg") !== null, null, "the drawing of far points");
    expect(/^\d+ line ends? lies? far from the others, outside the fitted drawing/.test(await text("#view-note")) && !await visible("#view-tools"),
        "the drawing leaves far line ends out of its fit and names them; the 3D view's tools wait meanwhile");
    await page.press("#drawing-box", ["d"]);
    await give(corpus("zero-area.kon"));
    expect(/every face of the model has zero area/.test(await text("#view-note")), "faces of zero area are named");
    await give([corpus("texture-names.kon"), named("0007.png", "not a picture")]);
    expect(/drawn without them: 0007\.png/.test(await text("#textures")) && await drawnPixels() > 1000, "a texture that does not decode is named, the model drawn");
    await give(corpus("textured.kon"));
    await page.press(canvas, ["f"]);
    const plain = await pixelCounts(await picture());
    await page.setFiles("#file-input", [corpus("0007.png")]);
    await waitFor(() => document.getElementById("textures").textContent === "", null, "the texture");
    const textured = await pixelCounts(await picture());
    expect(plain.blue === 0 && textured.blue > 1000 && Math.abs(textured.drawn - plain.drawn) < plain.drawn / 50,
        `a texture given later decodes and shows, and the view stays where it was (${JSON.stringify([plain, textured])})`);
    await give(corpus("flt-max-scale.kon"));
    expect(await drawnPixels() > 1000 && /^Instance 2 places the model beyond 2\^60 units/.test(await text("#view-note")),
        "an instance placed beyond what the view can draw is left out of it and named, the other two drawn");
    const film = named("film.mp4", "");
    truncateSync(film, 300 << 20);
    await give([film, example], "house.kon");
    expect(/^film\.mp4 is 300 MB/.test(await text("#view-note")), "a refused file stays named when a model comes with it");
    await give(corpus("worked-triangle.kon"));
    await aLargeX();
    await page.evaluate(() => document.querySelector("canvas").getContext("webgl2").getExtension("WEBGL_lose_context").loseContext());
    await give(example);
    expect(/^The 3D view stopped/.test(await text("#view-note")) && !await visible("#snapshot"), "a lost view stays explained");
}

// A model whose .x is larger than the page makes in memory: saved through
// the engine's save dialog where it has one, else left to the program.
async function aLargeX() {
    const instances = Array(32767).fill("1;1;1;0;0;0;0;0;0").join("\n");
    const points = Array.from({ length: 300 }, (_, i) => `${i};${i % 7};0;200;100;50`).join("\n");
    const file = named("many.kon", `KON;KRUV\nX\n${points}\nFlaechen\n0;1;2\n5;6;200\nScalX\n${instances}\n`);
    await give(file);
    const many = await counts();
    expect(/^many\.x will be about \d+ MB/.test(await text("#x-note")) && many["Triangles in the model"] === "65,534"
        && Number(many["Triangles drawn"].replace(",", "")) < 65534, `the .x's size is stated before it is made; what is drawn is counted: ${JSON.stringify(many)}`);
    if (await page.evaluate(() => window.showSaveFilePicker === undefined)) {
        expect(/convert it with the kon2x program\.$/.test(await text("#x-note")) && !await visible("#make-x"),
            "without a save dialog, a large .x is left to the program");
        return;  // the stream below is for the engines that have one
    }
    // No driver answers the native save dialog: a stand-in takes the chunks, or fails after 64 MB.
    await page.evaluate(() => {
        window.saved = { chunks: [], end: "", failAfter: 64 << 20 };
        window.showSaveFilePicker = async ({ suggestedName }) => ({ name: suggestedName, createWritable: async () => {
            let written = 0;
            return {
                write: async (bytes) => {
                    written += bytes.byteLength;
                    if (written > window.saved.failAfter) throw new Error("the disk is full");
                    window.saved.chunks.push(bytes);
                },
                close: async () => { window.saved.end = "closed"; },
                abort: async () => { window.saved.end = "aborted"; },
            };
        } });
    });
    await give(file);
    await page.click("#make-x");
    await waitFor(() => /could not be written/.test(document.getElementById("x-note").textContent), null, "the failed write", 300000);
    const failed = await page.evaluate(() => [document.getElementById("x-note").textContent, window.saved.end]);
    await page.evaluate(() => Object.assign(window.saved, { chunks: [], end: "", failAfter: Infinity }));
    await page.click("#make-x");
    await waitFor(() => /saved \(/.test(document.getElementById("x-note").textContent), null, "the streamed .x", 300000);
    const digest = await page.evaluate(async () => {
        const bytes = await new Blob(window.saved.chunks).arrayBuffer();
        window.saved.chunks = [];
        return [...new Uint8Array(await crypto.subtle.digest("SHA-256", bytes))].map((b) => b.toString(16).padStart(2, "0")).join("");
    });
    expect(failed[0] === "many.x could not be written: the disk is full" && failed[1] === "aborted" && digest === nativeDigest(file, "many.x"),
        `a large .x streams into the file chosen with kon2x's bytes (SHA-256 ${digest}), and a write that fails halfway says so and aborts it (${failed})`);
}

// The SHA-256 of the file OUTPUT that the Linux kon2x writes for `file`.
function nativeDigest(file, output) {
    const folder = mkdtempSync(path.join(work, "native-x-"));
    writeFileSync(path.join(folder, path.basename(file)), readFileSync(file));
    runAnswered(path.join(nativeBuild, "kon2x"), [path.basename(file)], { cwd: folder });
    const digest = createHash("sha256").update(readFileSync(path.join(folder, output))).digest("hex");
    rmSync(folder, { recursive: true });
    return digest;
}

// kon2gltf's outcome as the page shows it: the console without prompts.
function native(file) {
    const folder = mkdtempSync(path.join(work, "native-"));
    const name = path.basename(file);
    writeFileSync(path.join(folder, name), readFileSync(file));
    const console = openSync(path.join(folder, "console"), "w");
    const run = runAnswered(path.join(nativeBuild, "kon2gltf"), [name], { cwd: folder, stdout: console, stderr: console });
    closeSync(console);
    let messages = "";
    for (const piece of readFileSync(path.join(folder, "console"), "utf8").split(/(Return->|--> )/)) {
        messages += !/^(Return->|--> )$/.test(piece) ? piece : messages && !messages.endsWith("\n") ? "\n" : "";
    }
    const glb = readdirSync(folder).find((entry) => entry.endsWith(".glb"));
    return { status: run.status, messages, glb, bytes: glb && readFileSync(path.join(folder, glb)) };
}

// Whether a face, as an instance places it, is large enough to show in a view
// that fits every placed point: an area of at least a hundredth of the
// points' extent squared, and a width of at least a three-hundredth of it.
function showsAFace(glb) {
    const model = readGlb(glb.buffer.slice(glb.byteOffset, glb.byteOffset + glb.length));
    if (model.positions === null) return false;
    const placed = model.nodes.map(({ translation, rotation, scale }) => {
        const matrix = new Matrix4().compose(new Vector3(...translation), new Quaternion(...rotation), new Vector3(...scale));
        return model.primitives.map(({ indices }) => [...indices].map((index) => new Vector3().fromArray(model.positions, 3 * index).applyMatrix4(matrix)));
    }).flat(2);
    const extent = new Box3().setFromPoints(placed).getSize(new Vector3()).length();
    return placed.some((a, i) => {
        if (i % 3 !== 0) return false;
        const [b, c] = [placed[i + 1], placed[i + 2]];
        const area = b.clone().sub(a).cross(c.clone().sub(a)).length() / 2;
        const longest = Math.max(a.distanceTo(b), b.distanceTo(c), c.distanceTo(a));
        return area >= (extent / 100) ** 2 && 2 * area / longest >= extent / 300;
    });
}

// kon2batch on copies of `files` in one folder, given in their order: its
// outputs and its report, each row without its milliseconds.
function nativeBatch(files, options = [], folder = mkdtempSync(path.join(work, "batch-"))) {
    for (const file of files) writeFileSync(path.join(folder, path.basename(file)), readFileSync(file));
    runAnswered(path.join(nativeBuild, "kon2batch"), ["--jobs", "1", "--quiet", "--report", "report.csv", ...options, ...files.map((file) => path.basename(file))], { cwd: folder });
    return unpacked(folder);
}

// The files of `folder` by name, report.csv's rows without milliseconds
// (read by Python's csv, as a spreadsheet would), and the zip `zipped`
// unpacked there first by Python's zipfile.
function unpacked(folder, zipped = null) {
    const run = spawnSync("python3", ["-c", `import csv, json, sys, zipfile
if sys.argv[2]: zipfile.ZipFile(sys.argv[2]).extractall(sys.argv[1])
rows = list(csv.reader(open(sys.argv[1] + "/report.csv", encoding="utf-8", newline="")))
print(json.dumps([row[:12] + row[13:] for row in rows]))`, folder, zipped ?? ""], { encoding: "utf8" });
    const files = new Map(readdirSync(folder, { recursive: true }).filter((name) => /\.(x|glb|svg|dxf)$/.test(name))
        .map((name) => [name.split(path.sep).join("/"), readFileSync(path.join(folder, name))]));
    return { files, rows: JSON.parse(run.stdout || "[]") };
}

// The corpus's construction files, a pair that would write the same
// outputs, a texture and a note in one choice: a row for each construction
// file, with native outcomes; the zip of all four formats as kon2batch writes them.
async function aBatch() {
    const inputs = [...readdirSync(path.join(source, "tests/corpus")).filter((name) => /\.(kon|bin)$/.test(name)).sort().map(corpus),
        named("pair.kon", readFileSync(example)), named("pair.bin", readFileSync(example))];
    const expected = nativeBatch(inputs);
    await page.setFiles("#file-input", [...inputs, corpus("0007.png"), named("notes.txt", "not a construction file")]);
    const progress = () => text("#batch-progress");
    await batchDone(inputs.length + 1);
    await choose("rows", "#batch-layout");
    expect(/; 1 not construction file, skipped$/.test(await progress()), `every file has a row, the note skipped (${await progress()})`);
    const rows = await page.evaluate(() => [...document.querySelectorAll("#batch-rows .batch-row")].map((row) => [...row.children].map((cell) => cell.textContent)));
    const wrongRows = rows.filter(([name, , outcome]) => {
        const row = expected.rows.find((native) => native[0] === name);
        return outcome !== (row[1] === "converted" ? "converted" : `${row[1]}: ${row[2].split("\n")[0]}`);
    });
    expect(rows.length > 10 && wrongRows.length === 0, `the rows in sight give kon2batch's outcomes and first lines (${JSON.stringify(wrongRows)})`);
    const pictured = new Set(expected.rows.filter((row) => row[1] === "converted" && +row[6] + +row[7] + +row[8] > 0 && +row[9] > +row[10]).map(([name]) => name));
    await choose("pictures", "#batch-layout");
    const blank = (await cards()).filter(([name, { drawn, note }]) => (pictured.has(name) ? drawn < 10 && note !== "no face has an area" : drawn >= 0))
        .map(([name, { drawn, note }]) => `${name} ${drawn} ${note}`);
    expect(pictured.size > 10 && blank.length === 0, `a card of each of the ${pictured.size} files with faces to draw shows the model, `
        + `or says that no face has an area; no other card has a picture (${blank})`);
    await choose("outcome", "#batch-sort");
    await choose("converted", "#batch-filter");
    const converted = (await cards()).map(([name]) => name);
    await choose("all", "#batch-filter");
    const byOutcome = (await cards()).map(([name]) => expected.rows.find((row) => row[0] === name)?.[1] ?? "skipped");
    await choose("the order given", "#batch-sort");
    expect(converted.length === expected.rows.filter((row) => row[1] === "converted").length && /^((refused|failed) )+(converted )+skipped$/.test(byOutcome.join(" ")),
        `the filter keeps the converted files, the sort puts the refused first (${byOutcome.join(" ")})`);
    const sheet = await page.evaluate(async () => {
        const click = HTMLAnchorElement.prototype.click;
        const saved = new Promise((resolve) => {
            HTMLAnchorElement.prototype.click = function () {
                HTMLAnchorElement.prototype.click = click;
                resolve(this);
            };
        });
        document.getElementById("save-sheet").click();
        const anchor = await saved;
        const image = await createImageBitmap(await (await fetch(anchor.href)).blob());
        return [anchor.download, image.width, image.height];
    });
    expect(JSON.stringify(sheet) === JSON.stringify(["kon2x-sheet.png", 23 * 176, Math.ceil((inputs.length + 1) / 23) * 164]), `Save sheet saves one page of the cards (${sheet})`);
    for (const format of ["x", "dxf"]) await page.click(`#zip-${format}`);
    const zipped = await downloadAll();
    expect(sameFiles(zipped.files, expected.files), `the zip holds kon2batch's ${expected.files.size} outputs, byte for byte`);
    expect(JSON.stringify(zipped.rows) === JSON.stringify(expected.rows), "report.csv is kon2batch's, but for the times");
    await page.click('#batch-rows [data-row="3"]');
    await shown(rows[3][0]);
    expect(!await visible("#batch-list") && await visible("#batch-back"), `a row opens its file (${rows[3][0]}) in place of the list`);
    await page.click("#batch-back");
    await choose("rows", "#batch-layout");
    await page.press("#batch-list", ["End", "ArrowUp", "Enter"]);
    await shown(path.basename(inputs.at(-1)));
    await page.click("#batch-back");
    await choose("pictures", "#batch-layout");
    for (const format of ["x", "dxf"]) await page.click(`#zip-${format}`);
}

// Every card of the batch's list, scrolled through, once those in sight are
// drawn: [name, { drawn: how many of its picture's pixels differ clearly
// from the view's background (-1: no picture), note: what stands in its place }].
const cards = () => page.evaluate(async () => {
    const list = document.getElementById("batch-list");
    const found = new Map();
    const drawing = () => [...document.querySelectorAll(".no-picture")].some((note) => note.textContent === "drawing…");
    for (list.scrollTop = 0; ; list.scrollTop += list.clientHeight) {
        for (let frames = 0; frames < 2 || (drawing() && frames < 1800); frames++) await new Promise((resolve) => requestAnimationFrame(resolve));
        for (const card of document.querySelectorAll(".batch-card")) {
            const image = card.querySelector("img");
            let drawn = -1;
            if (image) {
                await image.decode();
                const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
                context.drawImage(image, 0, 0);
                const { data } = context.getImageData(0, 0, image.width, image.height);
                drawn = 0;
                for (let i = 0; i < data.length; i += 4) drawn += Math.abs(data[i] - 232) + Math.abs(data[i + 1] - 238) + Math.abs(data[i + 2] - 244) > 30;
            }
            found.set(card.querySelector("span").textContent, { drawn, note: card.querySelector(".no-picture")?.textContent ?? "" });
        }
        if (list.scrollTop + list.clientHeight >= list.scrollHeight - 1) break;
    }
    return [...found];
});

// A folder, dropped (a synthetic drop of the entries API's objects: no
// driver drops a real folder) and, in Chromium, chosen in the folder input:
// its files keep their paths in the list, the zip and report.csv, as
// kon2batch's of the folder, and each folder's textures belong to its files.
async function aFolder() {
    const [folder, native] = [mkdtempSync(path.join(work, "folder-")), mkdtempSync(path.join(work, "folder-"))];
    const tree = { "proj/hall/grid.kon": corpus("grid.kon"), "proj/hall/0004.png": corpus("0007.png"), "proj/house.kon": example, "proj/yard/grid.kon": corpus("grid.kon") };
    for (const [name, from] of Object.entries(tree)) {
        for (const root of [folder, native]) {
            mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
            writeFileSync(path.join(root, name), readFileSync(from));
        }
    }
    const files = Object.entries(tree).map(([name, from]) => [name, readFileSync(from).toString("base64")]);
    await page.evaluate((files) => {
        const leaf = (name, file) => ({ isFile: true, isDirectory: false, name, file: (resolve) => resolve(file) });
        const folder = (name, children) => ({ isFile: false, isDirectory: true, name, createReader: () => {
            let read = false;
            return { readEntries: (resolve) => resolve(read ? [] : ((read = true), children)) };
        } });
        const build = (above) => {
            const names = new Set(files.filter(([name]) => name.startsWith(above)).map(([name]) => name.slice(above.length).split("/")[0]));
            return [...names].map((name) => {
                const file = files.find(([path]) => path === above + name);
                return file ? leaf(name, new File([Uint8Array.from(atob(file[1]), (c) => c.charCodeAt(0))], name)) : folder(name, build(`${above}${name}/`));
            });
        };
        const drop = new Event("drop", { cancelable: true });
        Object.defineProperty(drop, "dataTransfer", { value: { files: [], items: build("").map((entry) => ({ webkitGetAsEntry: () => entry })) } });
        window.dispatchEvent(drop);
    }, files);
    const names = ["proj/hall/grid.kon", "proj/house.kon", "proj/yard/grid.kon"];
    await batchDone(3);
    expect(JSON.stringify((await cards()).map(([name]) => name)) === JSON.stringify(names), "a dropped folder's files are listed by their paths below it");
    const expected = nativeBatch([], ["--to", "glb,svg", "proj"], native);
    const zipped = await downloadAll();
    expect(sameFiles(zipped.files, expected.files) && JSON.stringify(zipped.rows) === JSON.stringify(expected.rows),
        `the zip holds kon2batch's outputs of the folder at their paths (${[...zipped.files.keys()]}), and its report`);
    const textureNotes = [];
    for (const row of [0, 2]) {
        await page.click(`#batch-rows [data-row="${row}"]`);
        await shown(names[row]);
        textureNotes.push(await text("#textures"));
        await page.click("#batch-back");
    }
    expect(!/0004\.png/.test(textureNotes[0]) && /0004\.png/.test(textureNotes[1]), `a folder's texture is its own files' (${textureNotes})`);
    if (engine !== "chromium") return;
    await page.setFiles("#folder-input", path.join(folder, "proj"));
    await batchDone(3);
    const chosen = (await cards()).map(([name]) => name);
    expect(JSON.stringify(chosen) === JSON.stringify(names), `a folder chosen in the folder input is listed by its paths (${chosen})`);
    // The folder picker, a stand-in (no driver answers the real one) of the folder without its house.
    await page.evaluate((files) => {
        const handle = (name, above) => {
            const file = files.find(([path]) => path === above + name);
            if (file) return { kind: "file", name, getFile: async () => new File([Uint8Array.from(atob(file[1]), (c) => c.charCodeAt(0))], name) };
            const below = new Set(files.filter(([path]) => path.startsWith(`${above}${name}/`)).map(([path]) => path.slice(above.length + name.length + 1).split("/")[0]));
            return { kind: "directory", name, values: async function* () { for (const child of below) yield handle(child, `${above}${name}/`); } };
        };
        window.showDirectoryPicker = async () => handle("proj", "");
    }, files.filter(([name]) => name !== "proj/house.kon"));
    await page.click("#choose-folder");
    await batchDone(2);
    const picked = (await cards()).map(([name]) => name);
    expect(JSON.stringify(picked) === JSON.stringify([names[0], names[2]]), `a folder chosen in the folder picker is listed by its paths (${picked})`);
}

const batchDone = (total) => waitFor((total) => new RegExp(`^${total}/${total} files, \\d+ refused or failed in `)
    .test(document.getElementById("batch-progress").textContent), total, "the batch", 300000);
// The zip that Download all makes: each entry's SHA-256 by name, and
// report.csv's rows. Made in memory, its link's bytes are unpacked by
// Python's zipfile; streamed where the engine can save to a file, into a
// stand-in for the save dialog (no driver answers the real one), it is read
// and hashed in the page.
async function downloadAll() {
    const streamed = await page.evaluate(() => window.showSaveFilePicker !== undefined);
    if (!streamed) {
        await page.click("#download-all");
        await waitFor(() => document.querySelector("#zip-link:not([hidden])") !== null, null, "the zip", 300000);
        const zipFile = path.join(work, "batch.zip");
        writeFileSync(zipFile, await linkBytes("kon2x-batch.zip"));
        const { files, rows } = unpacked(mkdtempSync(path.join(work, "zip-")), zipFile);
        return { files: new Map([...files].map(([name, bytes]) => [name, sha256(bytes)])), rows };
    }
    await page.evaluate(() => {
        window.savedZip = { chunks: [], end: "" };
        window.showSaveFilePicker = async ({ suggestedName }) => ({ name: suggestedName, createWritable: async () => new WritableStream({
            write: (bytes) => { window.savedZip.chunks.push(bytes); },
            close: () => { window.savedZip.end = "closed"; },
        }) });
    });
    await page.click("#download-all");
    await waitFor(() => /^kon2x-batch\.zip saved \(/.test(document.getElementById("zip-note").textContent), null, "the streamed zip", 300000);
    const { digests, report, end } = await page.evaluate(hashedZip);
    const folder = mkdtempSync(path.join(work, "zip-"));
    writeFileSync(path.join(folder, "report.csv"), report);
    expect(end === "closed", "the streamed zip's file is closed");
    return { files: new Map(Object.entries(digests).filter(([name]) => name !== "report.csv")), rows: unpacked(folder).rows };
}
const sha256 = (bytes) => createHash("sha256").update(bytes).digest("hex");
const sameFiles = (digests, files) => digests.size === files.size && [...files].every(([name, bytes]) => digests.get(name) === sha256(bytes));

// In the page: the zip in window.savedZip's chunks, read by its central
// directory (ZIP64 where it has one; stored entries, as client-zip writes
// them): each entry's SHA-256 by name, report.csv's text, how the file ended.
async function hashedZip() {
    const zip = new Uint8Array(await new Blob(window.savedZip.chunks).arrayBuffer());
    const view = new DataView(zip.buffer);
    const number = (at, size) => (size === 8 ? Number(view.getBigUint64(at, true)) : size === 4 ? view.getUint32(at, true) : view.getUint16(at, true));
    let end = zip.length - 22;
    while (number(end, 4) !== 0x06054b50) end--;
    let [count, at] = [number(end + 10, 2), number(end + 16, 4)];
    if (number(end - 20, 4) === 0x07064b50) {
        const record = number(end - 12, 8);
        [count, at] = [number(record + 32, 8), number(record + 48, 8)];
    }
    const digests = {};
    let report = "";
    for (let k = 0; k < count; k++) {
        let [size, offset] = [number(at + 20, 4), number(at + 42, 4)];
        const [nameLength, extraLength, commentLength] = [number(at + 28, 2), number(at + 30, 2), number(at + 32, 2)];
        const name = new TextDecoder().decode(zip.subarray(at + 46, at + 46 + nameLength));
        // The ZIP64 extra field holds, in order, the sizes and offset too large for their fields.
        for (let extra = at + 46 + nameLength; extra < at + 46 + nameLength + extraLength; extra += 4 + number(extra + 2, 2)) {
            if (number(extra, 2) !== 1) continue;
            let field = extra + 4;
            if (number(at + 24, 4) === 0xffffffff) field += 8;
            if (size === 0xffffffff) [size, field] = [number(field, 8), field + 8];
            if (offset === 0xffffffff) offset = number(field, 8);
        }
        const data = offset + 30 + number(offset + 26, 2) + number(offset + 28, 2);
        const bytes = zip.subarray(data, data + size);
        digests[name] = [...new Uint8Array(await crypto.subtle.digest("SHA-256", bytes))].map((b) => b.toString(16).padStart(2, "0")).join("");
        if (name === "report.csv") report = new TextDecoder().decode(bytes);
        at += 46 + nameLength + extraLength + commentLength;
    }
    window.savedZip.chunks = [];
    return { digests, report, end: window.savedZip.end };
}

// Chromium: 300 generated files in one batch as kon2batch converts them; a
// batch cancelled and another started; a single file given while a batch
// runs; a batch of no construction file; 2,000 tiny files.
async function manyFiles() {
    if (engine !== "chromium") return;
    const folder = path.join(work, "many");
    mkdirSync(folder);
    spawnSync(path.join(nativeBuild, "tests/kon2x_sample_inputs"), [folder, "300", "7"], { stdio: ["ignore", "inherit", "inherit"] });
    const inputs = readdirSync(folder).sort().map((name) => path.join(folder, name));
    const expected = nativeBatch(inputs, ["--to", "glb,svg"]);
    await page.setFiles("#file-input", inputs);
    await batchDone(300);
    const zipped = await downloadAll();  // .glb and .svg, as the page starts
    expect(sameFiles(zipped.files, expected.files) && JSON.stringify(zipped.rows) === JSON.stringify(expected.rows),
        `300 generated files: the zip holds kon2batch's ${expected.files.size} .glb and .svg and its report`);
    await page.setFiles("#file-input", inputs);
    await waitFor(() => /^[1-9]\d*\/300 /.test(document.getElementById("batch-progress").textContent), null, "some rows");
    await page.click("#batch-cancel");
    await waitFor(() => / cancelled after /.test(document.getElementById("batch-progress").textContent), null, "the cancel");
    const cancelled = await text("#batch-progress");
    expect(/^\d+\/300 files, \d+ refused or failed, cancelled after/.test(cancelled) && !/^300\//.test(cancelled), `Cancel stops the batch at once (${cancelled})`);
    await page.setFiles("#file-input", inputs);
    await give(example);
    expect(await visible("#batch-back") && !await visible("#batch-list"), "a single file given while a batch runs is shown, the batch kept");
    await page.click("#batch-back");
    await batchDone(300);
    await page.setFiles("#file-input", [named("a.txt", "KOI"), named("b.txt", "")]);
    await waitFor(() => /^No construction file among the 2 files given\.$/.test(document.getElementById("batch-progress").textContent), null, "no construction file");
    const tiny = path.join(work, "tiny");
    mkdirSync(tiny);
    const names = Array.from({ length: 2000 }, (_, i) => path.join(tiny, `t${String(i).padStart(4, "0")}.kon`));
    for (const name of names) writeFileSync(name, "KON;KRUV\nX\n0;0;0\n1;0;0\n0;1;0\nFlaechen\n0;1;2\nScalX\n1;1;1;0;0;0;0;0;0\n");
    await page.evaluate(() => {
        window.frameGaps = { last: performance.now(), longest: 0 };
        const tick = (now) => {
            Object.assign(window.frameGaps, { longest: Math.max(window.frameGaps.longest, now - window.frameGaps.last), last: now });
            if (!window.frameGaps.stop) requestAnimationFrame(tick);
        };
        requestAnimationFrame(tick);
    });
    await page.setFiles("#file-input", names);
    const seen = [];
    for (let i = 0; i < 3; i++, await sleep(300)) {
        seen.push(await page.evaluate(async () => {
            const list = document.getElementById("batch-list");
            list.scrollTop = list.scrollHeight;
            await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
            return [document.getElementById("batch-progress").textContent.split(" ")[0], document.querySelector('[data-row="1999"]') !== null];
        }));
    }
    await batchDone(2000);
    const longest = await page.evaluate(() => Object.assign(window.frameGaps, { stop: true }).longest);
    expect(new Set(seen.map(([done]) => done)).size === 3 && seen.every(([, last]) => last),
        `2,000 tiny files: the list scrolls to its end and the progress moves (${seen.join(" ")}; longest frame ${longest.toFixed(0)} ms)`);
}

async function samples() {
    const folder = path.join(work, "samples");
    mkdirSync(folder);
    spawnSync(path.join(nativeBuild, "tests/kon2x_sample_inputs"), [folder, "100", "26"], { stdio: ["ignore", "inherit", "inherit"] });
    const wrong = { outcome: [], messages: [], glb: [], view: [] };
    let drawn = 0;
    for (const name of readdirSync(folder)) {
        const expected = native(path.join(folder, name));
        await give(path.join(folder, name));
        const outcome = expected.status === 0 ? "Converted." : `Not converted (exit status ${expected.status}).`;
        if (await text("#outcome") !== outcome) wrong.outcome.push(name);
        if (await text("#messages") !== expected.messages) wrong.messages.push(name);
        if (expected.glb && !(await linkBytes(expected.glb))?.equals(expected.bytes)) wrong.glb.push(name);
        if (expected.glb && showsAFace(expected.bytes)) {
            drawn++;
            if (await drawnPixels() === 0) wrong.view.push(name);
        }
    }
    for (const [what, names] of Object.entries(wrong)) expect(names.length === 0, `100 generated files: ${what} as native (${names.join(" ")})`);
    expect(drawn > 20, `${drawn} of them have a face large enough to see as placed, and show it`);
}

try {
    await page.open(pathToFileURL(path.resolve(pagePath)).href);
    await watch();
    if (option === "--screenshot") {
        await give(example);
        await page.saveToFile(screenshotPath);
        console.log(`${screenshotPath}: written`);
    } else {
        // A step that fails is named, and the steps after it still run.
        for (const step of [theExample, theViewer, beyondTriangles, theDrawing, theLargest, aTown, aCancel, samples, aBatch, aFolder, manyFiles, faults]) {
            const start = Date.now();
            await step().catch((error) => expect(false, `${step.name} stopped: ${error.stack}`));
            console.log(`-- ${step.name}: ${((Date.now() - start) / 1000).toFixed(1)} s`);
        }
    }
    const uncaught = await page.evaluate(() => window.uncaught);
    expect(uncaught.length === 0, `no uncaught error in the page ${uncaught.join("; ")}`);
    expect(await requestsSeen() === 0 && (page.requests?.() ?? 0) === 0, "no network request");
} catch (error) {
    expect(false, `${error.stack}`);
} finally {
    await page.close();
    rmSync(work, { recursive: true, force: true });
}
const seconds = ((Date.now() - started) / 1000).toFixed(0);
console.log(`${page.name} ${page.version}: ${failures.length ? `${failures.length} failed` : "all passed"}`
    + `, ${seconds} s`);
process.exit(failures.length ? 1 : 0);
