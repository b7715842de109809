// The page's state and its one direction of data: a file goes to the worker,
// the worker answers with bytes and counts, the view and the panel read that.
import { listenForFiles } from "./intake.js";
import { readGlb } from "./glb.js";
import { element, InstanceList, showCounts, showMessages } from "./panel.js";
import { Viewer } from "./viewer.js";
import { workerSource } from "kon2x-worker";
import { version } from "kon2x-version";

// A .x up to this size is made in memory and offered; a larger one goes to
// disk where the browser can stream it there, else it needs the program.
const kLargestX = 512 << 20;

const state = {
    file: null,        // the construction file shown
    model: null,       // readGlb of its .glb
    counts: null,      // kon2info's counts
    nodeOf: new Map(), // instance number to node index
    images: new Map(), // NNNN to ImageBitmap
    textureFiles: new Map(),
    hidden: new Set(),
    alone: null,
    selected: null,
    urls: [],          // object URLs to revoke on the next file
    generation: 0,     // counts the files shown, so that an older one's late answer is dropped
};

let worker = null;
let pending = null;  // { resolve, onChunk } of the running program

function startWorker() {
    worker?.terminate();
    worker = new Worker(URL.createObjectURL(new Blob([workerSource], { type: "text/javascript" })));
    worker.onmessage = ({ data }) => {
        if (data.type === "progress") {
            element("progress-text").textContent = `${data.program}: ${(data.written / 2 ** 20).toFixed(0)} MB written`;
        } else if (data.type === "chunk") {
            pending?.onChunk(data.bytes);
        } else {
            const done = pending;
            pending = null;
            done?.resolve(data);
        }
    };
}

// Runs a program on the current file; resolves with its result message.
// A newer file given meanwhile takes over the worker: this one's answer never
// comes, and its caller, waiting, is dropped.
async function run(program, outputName, onChunk = null) {
    const file = state.file;
    const bytes = await file.arrayBuffer();
    if (file !== state.file) return new Promise(() => {});
    element("progress").hidden = false;
    element("progress-text").textContent = `${program}: working`;
    const result = await new Promise((resolve) => {
        pending = { resolve, onChunk };
        worker.postMessage({ type: "convert", program, name: file.name, bytes, outputName, stream: onChunk !== null },
            [bytes]);
    });
    element("progress").hidden = true;
    return result;
}

function outputName(extension) {
    const name = state.file.name;
    const dot = name.lastIndexOf(".");
    return (dot > 0 ? name.slice(0, dot) : name) + extension;
}

function link(id, blob, name) {
    const anchor = element(id);
    const url = URL.createObjectURL(blob);
    state.urls.push(url);
    anchor.href = url;
    anchor.download = name;
    anchor.textContent = `Download ${name}`;
    anchor.hidden = false;
}

function forgetFile() {
    for (const url of state.urls) URL.revokeObjectURL(url);
    Object.assign(state, { model: null, counts: null, nodeOf: new Map(), hidden: new Set(), alone: null, selected: null, urls: [] });
    viewer.clear();
    for (const id of ["download-glb", "make-x", "download-x", "snapshot", "edges-toggle"]) element(id).hidden = true;
    showCounts([]);
    instances.show(0, () => ({}));
    element("view-note").textContent = "";
}

// Converts, shows and counts a construction file; the page is busy meanwhile.
async function convert(file) {
    const main = document.querySelector("main");
    main.setAttribute("aria-busy", "true");
    await show(file);
    main.setAttribute("aria-busy", "false");
}

async function show(file) {
    if (pending) startWorker();  // a new file cancels the running work
    pending = null;
    forgetFile();
    state.file = file;
    const generation = ++state.generation;
    const current = () => generation === state.generation;  // no newer file since
    const result = await run("kon2gltf", outputName(".glb"));
    if (!current()) return;
    if (result.type === "failed") {
        showMessages({ name: file.name, status: -1, messages: result.message });
        return;
    }
    showMessages({ name: file.name, status: result.status, messages: result.messages });
    if (result.status !== 0) return;
    link("download-glb", result.output, outputName(".glb"));
    const model = readGlb(await result.output.arrayBuffer());
    if (!current()) return;
    const info = await run("kon2info", null);
    if (!current()) return;
    state.model = model;
    state.model.nodes.forEach((node, i) => state.nodeOf.set(node.instance, i));
    state.counts = info.status === 0 ? JSON.parse(info.stdout) : null;
    element("make-x").hidden = false;
    await applyTextures();
    if (current()) draw();
}

function draw() {
    const model = state.model;
    const full = viewer.show(model, state.images);
    if (viewer.working && model.positions) {
        element("snapshot").hidden = false;
        element("edges-toggle").hidden = false;
    }
    const nodes = model.nodes.length;
    if (!viewer.working) {
        element("view-note").textContent = kNoView;
    } else if (!model.positions) {
        element("view-note").textContent = "Nothing to draw: the model has no faces or no instance that can be placed.";
    } else if (viewer.fraction < 1) {
        element("view-note").textContent = `Stand-in: this model's faces are too many or too large to draw at once; `
            + `${Math.round(100 * viewer.fraction)} % of the first instance's triangles are drawn, every other `
            + `instance as ${viewer.boxesArePoints ? "a dot at its centre" : "its box"}.`;
    } else if (full < nodes) {
        element("view-note").textContent = `Stand-in: ${full} of ${nodes} instances drawn in full, the others as `
            + `${viewer.boxesArePoints ? "dots at their centres" : "boxes"} (the whole model has `
            + `${(triangles() * nodes).toLocaleString("en")} triangles).`;
    }
    showCounts(countRows());
    const count = state.counts?.instances ?? 0;
    instances.show(count, (j) => ({
        hidden: isHidden(j), unplaced: !state.nodeOf.has(j), selected: j === state.selected,
    }));
}

function triangles() {
    return state.model.primitives.reduce((sum, p) => sum + p.indices.length / 3, 0);
}

function countRows() {
    const c = state.counts;
    const model = state.model;
    const rows = [];
    if (c) {
        rows.push(["Points", c.points], ["Single points", c.single_points], ["Two-point elements", c.two_point_elements],
            ["Triangles", c.triangles], ["Quads", c.quads], ["Polygons", c.polygons],
            ["Instances", c.instances], ["Instances that cannot be placed", c.instances - model.nodes.length]);
    }
    rows.push(["Materials", model.materials.length], ["Triangles drawn", (triangles() * model.nodes.length).toLocaleString("en")]);
    if (viewer.size) {
        rows.push(["Size x, y, z", [viewer.size.x, viewer.size.y, viewer.size.z].map((v) => +v.toPrecision(6)).join(" × ")]);
    }
    return rows;
}

function isHidden(j) {
    return state.alone !== null ? j !== state.alone : state.hidden.has(j);
}

function updateNodes(changed) {
    for (const j of changed) {
        const i = state.nodeOf.get(j);
        if (i !== undefined) viewer.setNode(i, { visible: !isHidden(j), highlighted: j === state.selected });
    }
    viewer.render();
    instances.draw();
}

function allInstances() {
    return [...state.nodeOf.keys()];
}

async function applyTextures() {
    state.images = new Map();
    const wanted = state.model?.textureNames ?? [];
    for (const name of wanted) {
        const file = state.textureFiles.get(name);
        if (file) state.images.set(name, await createImageBitmap(file));
    }
    const missing = wanted.filter((name) => !state.images.has(name)).map((name) => `${name}.png`);
    element("textures").textContent = missing.length ? `Textures not given (drop them to see them): ${missing.join(", ")}` : "";
}

async function receive({ models, textures, refused }) {
    for (const [name, file] of textures) state.textureFiles.set(name, file);
    element("view-note").textContent = refused.join(" ");
    if (models.length === 1) {
        await convert(models[0]);
    } else if (models.length > 1) {
        const list = element("choice-list");
        list.replaceChildren(...models.map((file, i) => new Option(file.name, i)));
        element("choice").hidden = false;
        element("choice-go").onclick = () => {
            element("choice").hidden = true;
            convert(models[Number(list.value)]);
        };
    } else if (textures.size && state.model) {
        await applyTextures();
        draw();
    }
}

async function makeX() {
    const c = state.counts;
    const estimate = c ? c.instances * (c.points * 70 + (c.triangles + c.quads + c.polygons) * 40) : 0;
    const name = outputName(".x");
    if (estimate <= kLargestX) {
        const result = await run("kon2x", name);
        if (result.status === 0) link("download-x", result.output, name);
        else showMessages({ name: state.file.name, status: result.status, messages: result.messages ?? result.message });
        return;
    }
    if (!window.showSaveFilePicker) {
        element("view-note").textContent = `${name} would be about ${Math.round(estimate / 2 ** 20)} MB, more than this page `
            + `makes in memory (${kLargestX / 2 ** 20} MB): convert it with the kon2x program.`;
        return;
    }
    const handle = await window.showSaveFilePicker({ suggestedName: name });
    const stream = await handle.createWritable();
    let writing = Promise.resolve();
    const result = await run("kon2x", name, (bytes) => {
        writing = writing.then(() => stream.write(bytes));
    });
    await writing;
    await (result.status === 0 ? stream.close() : stream.abort());
}

const kNoView = "The 3D view is not available here (no WebGL); converting and downloading still work.";
const viewer = new Viewer(element("view"), () => {
    element("view-note").textContent = kNoView;
});
const instances = new InstanceList((j) => {
    const previous = state.selected;
    state.selected = j;
    instances.select(j);
    updateNodes([previous, j].filter((k) => k !== null));
});

element("version").textContent = version;
element("cancel").onclick = () => {
    const done = pending;
    startWorker();
    pending = null;
    done?.resolve({ type: "failed", message: "Cancelled." });
};
element("make-x").onclick = () => makeX();
element("edges").onchange = (event) => viewer.setEdges(event.target.checked);
element("snapshot").onclick = async () => {
    const anchor = document.createElement("a");
    anchor.href = URL.createObjectURL(await viewer.snapshot());
    anchor.download = outputName(".png");
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 1000);
};
element("hide").onclick = () => {
    if (state.selected === null) return;
    state.alone = null;
    state.hidden.has(state.selected) ? state.hidden.delete(state.selected) : state.hidden.add(state.selected);
    updateNodes(allInstances());
};
element("alone").onclick = () => {
    if (state.selected === null) return;
    state.alone = state.selected;
    updateNodes(allInstances());
};
element("show-all").onclick = () => {
    state.alone = null;
    state.hidden.clear();
    updateNodes(allInstances());
};
startWorker();
listenForFiles((files) => receive(files));
