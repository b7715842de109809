// The page's wiring: the controls and the file intake lead to the session's
// actions; the session owns the state and draws the panel from it.
import { listenForFiles } from "./intake.js";
import { JobRunner } from "./jobs.js";
import { element, InstanceList, render } from "./panel.js";
import { Session } from "./session.js";
import { BatchView } from "./batch_view.js";
import { DrawingView } from "./drawing_view.js";
import { wireView } from "./view_controls.js";
import { Viewer } from "./viewer.js";
import { PictureMaker } from "./pictures.js";
import { saveFile } from "./batch_sheet.js";
import { programs } from "kon2x-programs";
import { workerSource } from "kon2x-worker";
import { levelsWorkerSource } from "kon2x-levels-worker";
import { version } from "kon2x-version";

const workerUrl = URL.createObjectURL(new Blob([workerSource], { type: "text/javascript" }));
// The programs are compiled once for the page, and posted to each worker.
const compiled = WebAssembly.compile(Uint8Array.from(atob(programs), (c) => c.charCodeAt(0)))
    .then((module) => ({ module }), (error) => ({ problem: `the programs could not be compiled: ${error.message}` }));
function makeWorker() {
    const worker = new Worker(workerUrl);
    compiled.then((ready) => worker.postMessage({ type: "module", ...ready }))
        .catch((error) => worker.postMessage({ type: "module", problem: `the programs could not be given to the worker: ${error.message}` }));
    return worker;
}
// The simplified levels of far instances are made in a worker of their own,
// one for the view and one for the batch's pictures, started at the first
// model that needs them; one asked for an earlier model is stopped and replaced.
function levelsMaker() {
    let levelsWorker = null;
    let levelsPending = null;  // the request's reject
    return (request) => {
        if (levelsPending) {
            levelsWorker.terminate();
            levelsPending(new Error("superseded"));
            levelsWorker = null;
        }
        levelsWorker ??= new Worker(URL.createObjectURL(new Blob([levelsWorkerSource], { type: "text/javascript" })));
        return new Promise((resolve, reject) => {
            levelsPending = reject;
            levelsWorker.onmessage = ({ data }) => {
                levelsPending = null;
                if (data.failed) reject(new Error(data.failed));
                else resolve(data);
            };
            levelsWorker.onerror = (event) => {
                levelsPending = null;
                reject(new Error(event.message));
            };
            levelsWorker.postMessage(request);
        });
    };
}
const jobs = new JobRunner(makeWorker, () => session.render());
const viewer = new Viewer(element("canvas-box"));
viewer.makeLevels = levelsMaker();
const session = new Session({
    jobs, viewer, render, instances: new InstanceList((j) => session.select(j)),
    drawingView: new DrawingView(element("drawing-box")), batchView: new BatchView((i) => {
        session.batches.open(i);
        element("batch-back").focus();  // the keys' way back to the list
    }),
    makeRunner: () => new JobRunner(makeWorker), makePictures: () => new PictureMaker(levelsMaker()),
});

element("version").textContent = version;
element("cancel").onclick = () => session.cancel();
element("make-x").onclick = () => session.xExport.make();
element("batch-back").onclick = () => {
    session.batches.back();
    element("batch-list").focus();
};
element("batch-cancel").onclick = () => session.batches.cancel();
element("batch-filter").onchange = (event) => session.batches.setFilter(event.target.value);
element("batch-sort").onchange = (event) => session.batches.setSort(event.target.value);
element("batch-layout").onchange = (event) => session.batches.setCards(event.target.value === "cards");
element("save-sheet").onclick = () => session.batches.saveSheet();
for (const format of ["glb", "x", "svg", "dxf"]) element(`zip-${format}`).onchange = (event) => session.batches.setFormat(format, event.target.checked);
element("download-all").onclick = () => session.batches.makeZip();
for (const [id, kind] of [["edges", "outlines"], ["lines", "lines"], ["dots", "dots"]]) {
    element(id).onchange = (event) => session.setSettings({ shown: { [kind]: event.target.checked } });
}
element("hide").onclick = () => session.toggleHidden();
element("alone").onclick = () => session.showAlone();
element("show-all").onclick = () => session.showAll();
element("snapshot").onclick = async () => saveFile(await session.viewer.snapshot(), `${session.state.file.name.replace(/\.[^.]*$/, "")}.png`);
wireView(session);
listenForFiles((files) => session.give(files));
jobs.prepare();
session.render();
