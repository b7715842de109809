// Drives build/web/kon2x.html in headless Chromium as a person would, opened
// from disk with every network request refused and counted:
//   node page.mjs PAGE.html NATIVE_BUILD [--screenshot OUT.png]
// The bundled example (picture, counts, downloads against the golden files,
// an instance hidden by mouse and chosen by keys), then 100 generated files
// in one session (outcome, messages and .glb as NATIVE_BUILD's kon2gltf gives
// them, and a visible model wherever a face has an area), then the faults a
// user met. With --screenshot it only writes a picture of the example.
import { spawnSync } from "node:child_process";
import { closeSync, mkdtempSync, openSync, readdirSync, readFileSync, rmSync, truncateSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";
import { chromium } from "../gltf/node_modules/playwright-core/index.mjs";
import { Matrix4, Quaternion, Vector3 } from "../gltf/node_modules/three/build/three.module.js";
import { houseColours, showsTheHouse } from "../gltf/house_colours.mjs";
import { readGlb } from "../../web/glb.js";

const [pagePath, build, option, screenshotPath] = process.argv.slice(2);
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

const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run"],
});
let requests = 0;
const context = await browser.newContext({ viewport: { width: 1100, height: 700 } });
await context.route(/^(?!file:|data:|blob:)/, (route) => {
    requests++;
    route.abort();
});
const page = await context.newPage();
page.on("pageerror", (error) => expect(false, `page error: ${error}`));
await page.goto(pathToFileURL(path.resolve(pagePath)).href);

// Gives files to the file input; waits until the page shows `name` and is no longer busy.
const shown = (name) => page.waitForFunction((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
    && document.getElementById("file-name").textContent === name, name, { timeout: 60000 });
const give = async (files, name = path.basename(files.name ?? [files].flat()[0])) => {
    await page.setInputFiles("#file-input", files);
    await shown(name);
};
const text = (selector) => page.textContent(selector);
const counts = () => page.$$eval("#counts tr", (rows) => Object.fromEntries(rows.map((row) => [row.cells[0].textContent, row.cells[1].textContent])));
// The bytes behind the download link named `name`, or null.
const linkBytes = async (name) => {
    const bytes = await page.evaluate(async (name) => {
        const link = [...document.querySelectorAll("a[download]")].find((anchor) => anchor.download === name);
        return link ? [...new Uint8Array(await (await fetch(link.href)).arrayBuffer())] : null;
    }, name);
    return bytes && Buffer.from(bytes);
};
const picture = () => page.locator("#canvas-box").screenshot();
// How many pixels of the view differ clearly from its background.
const drawnPixels = async () => page.evaluate(async (png) => {
    const image = new Image();
    image.src = `data:image/png;base64,${png}`;
    await image.decode();
    const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
    context.drawImage(image, 0, 0);
    const { data } = context.getImageData(0, 0, image.width, image.height);
    let count = 0;
    for (let i = 0; i < data.length; i += 4) count += Math.abs(data[i] - 232) + Math.abs(data[i + 1] - 238) + Math.abs(data[i + 2] - 244) > 30;
    return count;
}, (await picture()).toString("base64"));

async function theExample() {
    await give(example);
    expect(await showsTheHouse(page, await picture()), "the example shows both houses upright in their colours");
    const rows = await counts();
    expect(rows.Instances === "2" && rows["Instances that cannot be placed"] === "0" && rows["Triangles drawn"] === "32",
        `two instances, both placed, every triangle drawn: ${JSON.stringify(rows)}`);
    expect((await linkBytes("house.glb"))?.equals(readFileSync(corpus("house.glb"))), "the .glb has kon2gltf's bytes");
    await page.click("#make-x");
    await page.waitForSelector('a[download="house.x"]');
    expect((await linkBytes("house.x")).equals(readFileSync(corpus("house.x"))), "the .x has kon2x's bytes");
    const before = await houseColours(page, await picture());
    await page.click('#instance-rows [data-instance="1"]');
    await page.click("#hide");
    expect((await houseColours(page, await picture())).walls < before.walls * 0.8, "hiding an instance removes it from the picture");
    await page.click("#show-all");
    const clicked = await picture();
    await page.click('#instance-rows [data-instance="0"]');
    await page.focus("#instance-list");
    for (const key of ["End", "Home", "ArrowDown", "ArrowLeft", "ArrowUp", "ArrowDown", "Enter"]) await page.keyboard.press(key);
    expect(await page.getAttribute('#instance-rows [data-instance="1"]', "aria-selected") === "true"
        && (await picture()).equals(clicked), "keys in the instance list select as a click does, and never move the view");
}

async function faults() {
    await give(corpus("bad-point-line.kon"));
    expect(await text("#messages") === "falsches Punktformat in Zeile 3!\nbad-point-line.kon ist fehlerhaft\n"
        && await page.isHidden("a[download]"), "a broken file shows the reader's message and no download");
    for (const name of ["Häuser.kon", ".kon", 'say "hi".kon']) {
        await give({ name, mimeType: "text/plain", buffer: readFileSync(example) });
        const glb = name.replace(/kon$/, "glb");
        expect((await linkBytes(glb))?.length > 0 && (await counts()).Points === "10", `${name} is offered as ${glb}, the name kon2gltf gave it, and counted`);
    }
    await give(corpus("unplaceable-instances.kon"));
    expect((await counts())["Instances that cannot be placed"] === "2" && /Instance 2 \(cannot be placed\)/.test(await text("#instance-rows")),
        "the instances that cannot be placed are named");
    writeFileSync(path.join(work, "lines.kon"), "KON;KRUV\nX\n0;0;0\n1;0;0\nFlaechen\n0;1\nScalX\n1;1;1;0;0;0;0;0;0\n2;2;2;0;0;0;0;0;0\n");
    await give(path.join(work, "lines.kon"));
    const lines = await counts();
    expect(lines["Instances that cannot be placed"] === "0" && !("Size x, y, z" in lines)
        && /no faces of three or more points/.test(await text("#view-note")), "a model with nothing to draw says so, nothing stale");
    await give(corpus("far-points.kon"));
    expect((await houseColours(page, await picture())).roofs > 2000 && /^2 points that faces use lie far/.test(await text("#view-note")),
        "points far away are left out of the fit and named");
    await give(corpus("zero-area.kon"));
    expect(/every face of the model has zero area/.test(await text("#view-note")), "faces of zero area are named");
    writeFileSync(path.join(work, "0007.png"), "not a picture");
    await give([corpus("texture-names.kon"), path.join(work, "0007.png")]);
    expect(/drawn without them: 0007\.png/.test(await text("#textures")) && await drawnPixels() > 1000, "a texture that does not decode is named, the model drawn");
    writeFileSync(path.join(work, "film.mp4"), "");
    truncateSync(path.join(work, "film.mp4"), 300 << 20);
    await give([path.join(work, "film.mp4"), example], "house.kon");
    expect(/^film\.mp4 is 300 MB/.test(await text("#view-note")), "a refused file stays named when a model comes with it");
    const gone = path.join(work, "gone.kon");
    writeFileSync(gone, readFileSync(example));
    await page.setInputFiles("#file-input", [gone, corpus("worked-triangle.kon")]);
    rmSync(gone);
    await page.selectOption("#choice-list", { label: "gone.kon" });
    await page.click("#choice-go");
    await shown("gone.kon");
    expect(/^Not converted: gone\.kon could not be read/.test(await text("#outcome")) && await page.isVisible("#choice"),
        "a file that cannot be read says so, and the choice stays");
    await page.selectOption("#choice-list", { label: "worked-triangle.kon" });
    await page.click("#choice-go");
    await shown("worked-triangle.kon");
    const instances = Array(32767).fill("1;1;1;0;0;0;0;0;0").join("\n");
    const points = Array.from({ length: 300 }, (_, i) => `${i};${i % 7};0;200;100;50`).join("\n");
    writeFileSync(path.join(work, "many.kon"), `KON;KRUV\nX\n${points}\nFlaechen\n0;1;2\n5;6;200\nScalX\n${instances}\n`);
    await give(path.join(work, "many.kon"));
    const many = await counts();
    expect(/^many\.x will be about \d+ MB/.test(await text("#x-note")) && many["Triangles in the model"] === "65,534"
        && Number(many["Triangles drawn"].replace(",", "")) < 65534, `the .x's size is stated before it is made; what is drawn is counted: ${JSON.stringify(many)}`);
    await page.evaluate(() => document.querySelector("canvas").getContext("webgl2").getExtension("WEBGL_lose_context").loseContext());
    await give(example);
    expect(/^The 3D view stopped/.test(await text("#view-note")) && await page.isHidden("#snapshot"), "a lost view stays explained");
}

// kon2gltf's outcome as the page shows it: the console without prompts.
function native(file) {
    const folder = mkdtempSync(path.join(work, "native-"));
    const name = path.basename(file);
    writeFileSync(path.join(folder, name), readFileSync(file));
    const console = openSync(path.join(folder, "console"), "w");
    const run = spawnSync(path.join(nativeBuild, "kon2gltf"), [name], { cwd: folder, stdio: ["pipe", console, console], input: "\n".repeat(4) });
    closeSync(console);
    let messages = "";
    for (const piece of readFileSync(path.join(folder, "console"), "utf8").split(/(Return->|--> )/)) {
        messages += !/^(Return->|--> )$/.test(piece) ? piece : messages && !messages.endsWith("\n") ? "\n" : "";
    }
    const glb = readdirSync(folder).find((entry) => entry.endsWith(".glb"));
    return { status: run.status, messages, glb, bytes: glb && readFileSync(path.join(folder, glb)) };
}

// Whether a face of the model has an area once an instance places it.
function placedArea(glb) {
    const model = readGlb(glb.buffer.slice(glb.byteOffset, glb.byteOffset + glb.length));
    const [a, b, c] = [new Vector3(), new Vector3(), new Vector3()];
    return model.positions !== null && model.nodes.some(({ translation, rotation, scale }) => {
        const matrix = new Matrix4().compose(new Vector3(...translation), new Quaternion(...rotation), new Vector3(...scale));
        const at = (vector, index) => vector.fromArray(model.positions, 3 * index).applyMatrix4(matrix);
        return model.primitives.some(({ indices }) => indices.some((_, i) => i % 3 === 0
            && at(b, indices[i + 1]).sub(at(a, indices[i])).cross(at(c, indices[i + 2]).sub(a)).length() > 0));
    });
}

async function samples() {
    const folder = path.join(work, "samples");
    spawnSync(path.join(nativeBuild, "tests/kon2x_sample_inputs"), [folder, "100", "26"]);
    const wrong = { outcome: [], messages: [], glb: [], view: [] };
    let drawn = 0;
    for (const name of readdirSync(folder)) {
        const expected = native(path.join(folder, name));
        await give(path.join(folder, name));
        const outcome = expected.status === 0 ? "Converted." : `Not converted (exit status ${expected.status}).`;
        if (await text("#outcome") !== outcome) wrong.outcome.push(name);
        if (await text("#messages") !== expected.messages) wrong.messages.push(name);
        if (expected.glb && !(await linkBytes(expected.glb))?.equals(expected.bytes)) wrong.glb.push(name);
        if (expected.glb && placedArea(expected.bytes)) {
            drawn++;
            if (await drawnPixels() === 0) wrong.view.push(name);
        }
    }
    for (const [what, names] of Object.entries(wrong)) expect(names.length === 0, `100 generated files: ${what} as native (${names.join(" ")})`);
    expect(drawn > 20, `${drawn} of them have a face with an area as placed, and show it`);
}

try {
    if (option === "--screenshot") {
        await give(example);
        await page.screenshot({ path: screenshotPath });
        console.log(`${screenshotPath}: written`);
    } else {
        await theExample();
        await samples();
        await faults();
    }
} catch (error) {
    expect(false, `${error.stack}`);
} finally {
    await browser.close();
    rmSync(work, { recursive: true, force: true });
}
expect(requests === 0, `no network request (${requests})`);
console.log(failures.length ? `${failures.length} failed` : "all passed");
process.exit(failures.length ? 1 : 0);
