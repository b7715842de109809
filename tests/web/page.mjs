// Drives build/web/kon2x.html in headless Chromium as a person would, opened
// from disk with every network request refused and counted:
//   node page.mjs PAGE.html [--screenshot OUT.png]
// It gives the bundled example to the file input and checks the picture (both
// houses upright in wall and roof colours), the counts, the downloads against
// the golden files, hiding an instance, a broken file, a name with "ä" and a
// second file replacing the first. With --screenshot it only writes a picture
// of the page with the example loaded.
import { readFile } from "node:fs/promises";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";
import { chromium } from "../gltf/node_modules/playwright-core/index.mjs";
import { houseColours, showsTheHouse } from "../gltf/house_colours.mjs";

const [pagePath, option, screenshotPath] = process.argv.slice(2);
const source = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const example = path.join(source, "examples/house.kon");
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
try {
    const context = await browser.newContext({ viewport: { width: 1100, height: 700 }, acceptDownloads: true });
    await context.route(/^(?!file:|data:|blob:)/, (route) => {
        requests++;
        route.abort();
    });
    const page = await context.newPage();
    page.on("pageerror", (error) => failures.push(`page error: ${error}`));
    await page.goto(pathToFileURL(path.resolve(pagePath)).href);

    const give = async (file) => {
        await page.setInputFiles("#file-input", file);
        const name = typeof file === "string" ? path.basename(file) : file.name;
        await page.waitForFunction((name) => document.querySelector("main").getAttribute("aria-busy") === "false"
            && document.getElementById("file-name").textContent === name, name, { timeout: 60000 });
    };
    const download = async (selector) => {
        const [file] = await Promise.all([page.waitForEvent("download"), page.click(selector)]);
        return { name: file.suggestedFilename(), bytes: await readFile(await file.path()) };
    };
    const picture = async () => page.locator("#view").screenshot();

    await give(example);
    if (option === "--screenshot") {
        await page.screenshot({ path: screenshotPath });
        console.log(`${screenshotPath}: written`);
    } else {
        expect(await showsTheHouse(page, await picture()), "the example shows both houses upright in their colours");
        const counts = await page.$$eval("#counts tr", (rows) => Object.fromEntries(rows.map((row) =>
            [row.cells[0].textContent, row.cells[1].textContent])));
        console.log(JSON.stringify(counts));
        expect(counts.Instances === "2" && counts["Instances that cannot be placed"] === "0", "two instances, both placed");
        const glb = await download("#download-glb");
        expect(glb.name === "house.glb" && glb.bytes.equals(await readFile(path.join(source, "tests/corpus/house.glb"))),
            "the .glb has kon2gltf's bytes");
        await page.click("#make-x");
        await page.waitForSelector("#download-x:not([hidden])");
        const x = await download("#download-x");
        expect(x.name === "house.x" && x.bytes.equals(await readFile(path.join(source, "tests/corpus/house.x"))),
            "the .x has kon2x's bytes");

        const before = await houseColours(page, await picture());
        await page.click('#instance-rows [data-instance="1"]');
        await page.click("#hide");
        const after = await houseColours(page, await picture());
        expect(after.walls < before.walls * 0.8, "hiding an instance removes it from the picture");

        await give(path.join(source, "tests/corpus/bad-point-line.kon"));
        const messages = await page.textContent("#messages");
        expect(messages === "falsches Punktformat in Zeile 3!\nbad-point-line.kon ist fehlerhaft\n",
            `a broken file shows the reader's message: ${JSON.stringify(messages)}`);
        const broken = await houseColours(page, await picture());
        expect(broken.walls < 100 && await page.isHidden("#download-glb"),
            "a broken file shows no model");

        await give({ name: "Häuser.kon", mimeType: "text/plain", buffer: await readFile(example) });
        const named = await download("#download-glb");
        expect(await page.textContent("#file-name") === "Häuser.kon" && named.name === "Häuser.glb",
            "a name with ä is kept");

        await give(path.join(source, "tests/corpus/worked-triangle.kon"));
        const points = await page.$eval("#counts", (table) => [...table.rows].find((row) => row.cells[0].textContent === "Points")?.cells[1].textContent);
        expect(points === "3" && (await houseColours(page, await picture())).walls < 100, "a second file replaces the first");
    }
} catch (error) {
    failures.push(`${error.stack}`);
} finally {
    await browser.close();
}
expect(requests === 0, `no network request (${requests})`);
console.log(failures.length ? `${failures.length} failed` : "all passed");
process.exit(failures.length ? 1 : 0);
