// Renders a .glb with three.js in headless Chromium (SwiftShader) and writes
// a screenshot. With --house it then checks the picture of the bundled
// example: its wall and roof colours show, and the roof stands above the walls.
// Usage: node render.mjs MODEL.glb OUT.png [--house]
import { readFile, writeFile } from "node:fs/promises";
import http from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";
import { showsTheHouse } from "./house_colours.mjs";

const [model, output, check] = process.argv.slice(2);
const here = path.dirname(fileURLToPath(import.meta.url));
const kWhitePixel = Buffer.from(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4//8/AAX+Av4N70a4AAAAAElFTkSuQmCC", "base64");

// The page, three.js, the model and a white image for every texture NNNN.png.
async function serve(request, response) {
    const url = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    const types = { ".html": "text/html", ".js": "text/javascript", ".glb": "model/gltf-binary", ".png": "image/png" };
    let body = null;
    if (url === "/") body = await readFile(path.join(here, "view.html"));
    else if (url === "/model.glb") body = await readFile(model);
    else if (url.startsWith("/three/") && !url.includes("..")) body = await readFile(path.join(here, "node_modules", url));
    else if (/^\/-?[0-9]+\.png$/.test(url)) body = kWhitePixel;
    response.writeHead(body ? 200 : 404, { "Content-Type": types[path.extname(url) || ".html"] ?? "text/plain" });
    response.end(body ?? "");
}

const server = http.createServer((request, response) => serve(request, response).catch(() => {
    response.writeHead(404);
    response.end();
}));
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run"],
});
let failed = false;
try {
    const page = await browser.newPage({ viewport: { width: 800, height: 600 } });
    page.on("pageerror", (error) => console.log(`page error: ${error}`));
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.waitForFunction(() => document.title !== "", null, { timeout: 60000 });
    const title = await page.title();
    if (title !== "drawn") throw new Error(title);
    const picture = await page.screenshot({ path: output });
    console.log(`${output}: drawn`);
    if (check === "--house") failed = !(await showsTheHouse(page, picture));
} catch (error) {
    console.log(`render failed: ${error.message}`);
    failed = true;
} finally {
    await browser.close();
    server.close();
}
process.exit(failed ? 1 : 0);
