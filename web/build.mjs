// Bundles the page into one self-contained file: the WebAssembly programs,
// three.js, client-zip, meshoptimizer's simplifier, the scripts and the styles inline, the libraries'
// licences with them.
// Usage: node web/build.mjs BUILD_FOLDER   (reads and writes BUILD_FOLDER/kon2x.html)
import { readFile, writeFile } from "node:fs/promises";
import path from "node:path";
import { fileURLToPath } from "node:url";
import * as esbuild from "esbuild";

const here = path.dirname(fileURLToPath(import.meta.url));
const build = path.resolve(process.argv[2]);
const version = /project\(kon2x VERSION ([0-9.]+)/.exec(await readFile(path.join(here, "../CMakeLists.txt"), "utf8"))[1];

// Modules that exist only at build time, given by their text.
function virtual(modules) {
    return {
        name: "virtual",
        setup(context) {
            context.onResolve({ filter: /^kon2x-/ }, (args) => ({ path: args.path, namespace: "virtual" }));
            context.onLoad({ filter: /.*/, namespace: "virtual" }, (args) => ({ contents: modules[args.path], loader: "js" }));
        },
    };
}

async function bundle(entry, modules) {
    const result = await esbuild.build({
        entryPoints: [path.join(here, entry)], bundle: true, minify: true, format: "iife", write: false,
        target: "es2022", legalComments: "none", plugins: [virtual(modules)],
    });
    return result.outputFiles[0].text;
}

const programs = (await readFile(path.join(build, "kon2.wasm"))).toString("base64");
const worker = await bundle("worker.js", {});
const levelsWorker = await bundle("levels_worker.js", {});
const script = await bundle("main.js", {
    "kon2x-programs": `export const programs = ${JSON.stringify(programs)};`,
    "kon2x-worker": `export const workerSource = ${JSON.stringify(worker)};`,
    "kon2x-levels-worker": `export const levelsWorkerSource = ${JSON.stringify(levelsWorker)};`,
    "kon2x-version": `export const version = ${JSON.stringify(version)};`,
});
// Each bundled library's name, version and licence, as its package holds them.
const libraries = await Promise.all([["three", "LICENSE"], ["client-zip", "LICENSE.txt"], ["meshoptimizer", "LICENSE.md"]].map(async ([name, licence]) => {
    const folder = path.join(here, "node_modules", name);
    const { version } = JSON.parse(await readFile(path.join(folder, "package.json"), "utf8"));
    return `Bundled: ${name} ${version}, under this licence:\n${(await readFile(path.join(folder, licence), "utf8")).replaceAll("--", "- -")}`;
}));
const css = await readFile(path.join(here, "style.css"), "utf8");
const html = (await readFile(path.join(here, "index.html"), "utf8"))
    .replace("<!--STYLE-->", () => `<style>\n${css}</style>`)
    .replace("<!--SCRIPT-->", () => `${libraries.map((text) => `<!-- ${text}-->\n`).join("")}`
        + `<script>${script.replaceAll("</script", "<\\/script")}</script>`);
await writeFile(path.join(build, "kon2x.html"), html);
console.log(`${path.join(build, "kon2x.html")}: ${html.length} bytes`);
