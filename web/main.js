// The page's wiring: the controls and the file intake lead to the session's
// actions; the session owns the state and draws the panel from it.
import { listenForFiles } from "./intake.js";
import { JobRunner } from "./jobs.js";
import { element, InstanceList, render } from "./panel.js";
import { Session } from "./session.js";
import { DrawingView } from "./drawing_view.js";
import { wireView } from "./view_controls.js";
import { Viewer } from "./viewer.js";
import { programs } from "kon2x-programs";
import { workerSource } from "kon2x-worker";
import { version } from "kon2x-version";

const workerUrl = URL.createObjectURL(new Blob([workerSource], { type: "text/javascript" }));
// The programs are compiled once for the page, and posted to each worker.
const compiled = WebAssembly.compile(Uint8Array.from(atob(programs), (c) => c.charCodeAt(0)))
    .then((module) => ({ module }), (error) => ({ problem: `the programs could not be compiled: ${error.message}` }));
const jobs = new JobRunner(() => {
    const worker = new Worker(workerUrl);
    compiled.then((ready) => worker.postMessage({ type: "module", ...ready }))
        .catch((error) => worker.postMessage({ type: "module", problem: `the programs could not be given to the worker: ${error.message}` }));
    return worker;
}, () => session.render());
const session = new Session({
    jobs, viewer: new Viewer(element("canvas-box")), render, instances: new InstanceList((j) => session.select(j)),
    drawingView: new DrawingView(element("drawing-box")),
});

element("version").textContent = version;
element("cancel").onclick = () => session.cancel();
element("make-x").onclick = () => session.xExport.make();
element("choice-go").onclick = () => session.open(session.state.intake.models[Number(element("choice-list").value)]);
for (const [id, kind] of [["edges", "outlines"], ["lines", "lines"], ["dots", "dots"]]) {
    element(id).onchange = (event) => session.setSettings({ shown: { [kind]: event.target.checked } });
}
element("hide").onclick = () => session.toggleHidden();
element("alone").onclick = () => session.showAlone();
element("show-all").onclick = () => session.showAll();
element("snapshot").onclick = async () => {
    const anchor = document.createElement("a");
    anchor.href = URL.createObjectURL(await session.viewer.snapshot());
    anchor.download = `${session.state.file.name.replace(/\.[^.]*$/, "")}.png`;
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 1000);
};
wireView(session);
listenForFiles((files) => session.give(files));
jobs.prepare();
session.render();
