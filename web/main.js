// The page's wiring: the controls and the file intake lead to the session's
// actions; the session owns the state and draws the panel from it.
import { listenForFiles } from "./intake.js";
import { JobRunner } from "./jobs.js";
import { element, InstanceList, render } from "./panel.js";
import { Session } from "./session.js";
import { DrawingView } from "./drawing_view.js";
import { wireView } from "./view_controls.js";
import { Viewer } from "./viewer.js";
import { workerSource } from "kon2x-worker";
import { version } from "kon2x-version";

const workerUrl = URL.createObjectURL(new Blob([workerSource], { type: "text/javascript" }));
const jobs = new JobRunner(() => new Worker(workerUrl), () => session.render());
const session = new Session({
    jobs, viewer: new Viewer(element("canvas-box")), render, instances: new InstanceList((j) => session.select(j)),
    drawingView: new DrawingView(element("drawing-box")),
});

element("version").textContent = version;
element("cancel").onclick = () => session.cancel();
element("make-x").onclick = () => session.xExport.make();
element("count-again").onclick = () => session.facts.countAgain();
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
session.render();
