// The panel and the notes, drawn from the page's state: the program's
// messages and outcome, the downloads, the counts, the note over the view and
// a list of the instances that stays fast with 32767 of them and works from
// the keyboard alone.
import { countRows, textureNote, viewNote, xNote } from "./notes.js";
import { VirtualList } from "./virtual_list.js";

const kRowHeight = 24;

export function element(id) {
    return document.getElementById(id);
}

// The outcome line of a file's conversion: [text, failed].
function outcomeOf(outcome) {
    switch (outcome?.kind) {
    case undefined: return ["", false];
    case "done": return outcome.status === 0 ? ["Converted.", false] : [`Not converted (exit status ${outcome.status}).`, true];
    case "cancelled": return ["Not converted: cancelled.", true];
    case "trapped": return [`Not converted: the program stopped with an error (${outcome.message}).`, true];
    default: return [`Not converted: ${outcome.message}`, true];
    }
}

function showOutcome(state, listed) {
    element("file-name").textContent = state.file ? `${state.folder}${state.file.name}` : (listed ? `A batch of ${state.batch.entries.length} files` : "No file yet");
    const [text, failed] = outcomeOf(state.outcome);
    element("outcome").textContent = text;
    element("outcome").className = failed ? "failed" : "";
    element("messages").textContent = state.outcome?.messages ?? "";
}

// One link for each file the programs wrote, under the name each was given.
function showDownloads(downloads) {
    const box = element("download-links");
    const key = downloads.map((file) => file.url).join(" ");
    if (box.dataset.key === key) return;  // rebuilt only when changed, so that focus stays
    box.dataset.key = key;
    box.replaceChildren(...downloads.map(({ name, url }) => {
        const anchor = document.createElement("a");
        Object.assign(anchor, { className: "button", href: url, download: name, textContent: `Download ${name}` });
        return anchor;
    }));
}

// The counts as rows of the table; `rows` is a list of [label, value].
function showCounts(rows) {
    const body = element("counts").tBodies[0];
    body.replaceChildren(...rows.map(([label, value]) => {
        const row = document.createElement("tr");
        for (const text of [label, value]) {
            const cell = document.createElement("td");
            cell.textContent = text;
            row.append(cell);
        }
        return row;
    }));
    element("counts").hidden = rows.length === 0;
}

// A number as the page gives placed coordinates and distances: seven
// significant digits at most.
const short = (value) => String(+value.toPrecision(7));
const triple = (values) => `(${values.join(", ")})`;

// The point under the pointer and the measurement, in one line.
function readoutText(state) {
    const point = (r) => `point ${r.point} of instance ${r.instance}`;
    // Points are integers; a float of the .glb holds them exactly below 2^24.
    const file = (r) => `${r.file.some((v) => Math.abs(v) >= 2 ** 24) ? "≈ " : ""}${triple(r.file)}`;
    if (state.measuring) {
        const [a, b] = state.measured;
        if (!a) return "Measuring: click a point of the model.";
        if (!b) return `Measuring from ${point(a)} ${file(a)}: click a second point.`;
        return `Distance from ${point(a)} to ${point(b)}: ${short(a.scene.distanceTo(b.scene))} units.`;
    }
    const r = state.pointed;
    return r ? `${point(r)[0].toUpperCase()}${point(r).slice(1)}: ${file(r)} in the file, placed at ≈ ${triple(r.placed.map(short))}.` : "";
}

// The selected instance's values as the file holds them.
function showInstanceValues(state) {
    const box = element("instance-values");
    const values = state.info?.instance_values?.[state.selected];
    box.hidden = !values;
    if (!values) return;
    const rows = [["Instance", state.selected], ["Scale factors", values.scale.join(", ")],
        ["Angles (degrees)", values.angles.join(", ")], ["Offset", values.offset.join(", ")], ["Mirrors", values.mirrors ? "yes" : "no"]];
    if (values.problem) rows.push(["Cannot be placed", values.problem]);
    box.replaceChildren(...rows.flatMap(([label, value]) => [
        Object.assign(document.createElement("dt"), { textContent: label }),
        Object.assign(document.createElement("dd"), { textContent: value }),
    ]));
}

// A row's short form of an instance's values.
function valuesText(values) {
    return values ? `scale ${values.scale.join(", ")}; angles ${values.angles.join(", ")}; offset ${values.offset.join(", ")}`
        + `${values.mirrors ? "; mirrors" : ""}` : "";
}

function showViewTools(session, drawn, listed) {
    const { state, viewer } = session;
    // The 3D view's tools wait while the drawing or the batch's list shows.
    element("view-tools").hidden = !drawn || state.drawingShown || listed;
    element("fit-selection").disabled = !state.nodeOf.has(state.selected);
    element("measure").setAttribute("aria-pressed", String(state.measuring));
    element("orthographic").checked = state.settings.orthographic;
    element("grid").checked = state.settings.grid;
    element("full-detail-toggle").hidden = !viewer.current?.detail;
    element("full-detail").checked = state.settings.fullDetail;
    element("grid-label").textContent = viewer.grid ? `Grid: ${short(viewer.grid.step)} units` : "Grid";
    const readout = listed ? "" : state.drawingShown ? state.drawing?.text ?? "" : drawn ? readoutText(state) : "";
    element("readout").textContent = readout;
    // Heard: what the keys or a measurement named, not each point the pointer passes.
    const heard = state.drawingShown || state.measuring || state.pointedByKeys ? readout : "";
    if (element("announcement").textContent !== heard) element("announcement").textContent = heard;
    element("drawing-toggle").setAttribute("aria-pressed", String(state.drawingShown));
    element("drawing-toggle").hidden = !state.info;
    element("drawing-toggle").disabled = session.jobs.running !== null && !state.drawing;
    element("drawing-box").hidden = !state.drawingShown || listed;
    element("canvas-box").hidden = state.drawingShown || listed;
    session.drawingView.show(state.drawingShown && state.drawing?.phase === "done" ? state.drawing : null);
    const { axis, at, flipped } = state.section;
    element("section-axis").value = axis;
    element("section-at").hidden = element("section-flip").hidden = !axis;
    element("section-at").value = String(Math.round(at * 1000));
    element("section-flip").setAttribute("aria-pressed", String(flipped));
}

// Whether the batch's list shows in place of the 3D view and the drawing;
// else the control that goes back to it shows, where there is a batch.
function showBatch({ batch, batchShown }) {
    const listed = batch !== null && batchShown;
    element("batch-box").hidden = !listed;
    element("batch-back").hidden = batch === null || batchShown;
    return listed;
}

// Draws everything the page shows of the session and its state.
export function render(session) {
    const { state, jobs } = session;
    const listed = showBatch(state);
    document.querySelector("main").setAttribute("aria-busy", String(state.busy));
    const running = jobs.running;
    element("progress").hidden = running === null;
    element("progress-text").textContent = !running ? ""
        : running.written ? `${running.program}: ${(running.written / 2 ** 20).toFixed(0)} MB written` : `${running.program}: working`;
    showOutcome(state, listed);
    showDownloads(state.downloads);
    const makeX = element("make-x");
    makeX.hidden = !session.xExport.canMake();
    makeX.disabled = running !== null;
    element("x-note").textContent = xNote(session);
    const drawn = state.view !== null && session.viewer.working;
    element("snapshot").hidden = !drawn;
    element("edges-toggle").hidden = !drawn;
    for (const [id, kind] of [["edges", "outlines"], ["lines", "lines"], ["dots", "dots"]]) element(id).checked = state.settings.shown[kind];
    element("lines-toggle").hidden = !drawn || !state.info?.elements.lines.length;
    element("dots-toggle").hidden = !drawn || !state.info?.elements.dots.length;
    showViewTools(session, drawn, listed);
    showInstanceValues(state);
    showCounts(countRows(state, session.viewer));
    element("textures").textContent = textureNote(state);
    element("view-note").textContent = viewNote(session);
    session.instances.show(state.info?.instances ?? 0, state.selected, (j) => session.rowState(j));
    // Last, once the view's parts are laid out: which rows are in sight depends on it.
    if (listed) session.batchView.show(state.batch, state.batchView, state.zip, session.batches.pictured);
}

// The list of instances 0 to count - 1. rowState(j) gives { hidden,
// unplaced, selected }; onSelect(j) is told of a click, or of a key: the
// arrows, Home, End, Page Up and Down move the selection, Space or Enter
// select the row the keys are on.
export class InstanceList {
    constructor(onSelect) {
        this.rowState = () => ({});
        this.list = new VirtualList({
            box: element("instance-list"), inner: element("instance-rows"), rowHeight: kRowHeight, idPrefix: "instance-",
            describe: (j) => this.describe(j), build: (j, row) => instanceRow(j, row), onKey: (to) => onSelect(to),
        });
        element("instance-rows").addEventListener("click", (event) => {
            const j = Number(event.target.closest("[data-instance]")?.dataset.instance);
            if (Number.isInteger(j)) onSelect(j);
        });
    }

    show(count, selected, rowState) {
        const list = this.list;
        list.setCount(count, count !== list.count);
        this.rowState = rowState;
        element("instances").hidden = count === 0;
        const newlySelected = selected !== null && selected !== this.selected;
        if (newlySelected) list.scrollTo(selected);
        this.selected = selected;
        list.active = Math.min(selected ?? list.active, Math.max(0, count - 1));
        list.draw();
        // The panel around the list scrolls too: the row, then the values under the list, in sight.
        if (newlySelected) {
            for (const id of [`instance-${selected}`, "instance-values"]) element(id)?.scrollIntoView({ block: "nearest" });
        }
    }

    describe(j) {
        const { hidden, unplaced, selected, values } = this.rowState(j);
        return {
            selected, className: `row${hidden ? " hidden" : ""}${unplaced ? " unplaced" : ""}${selected ? " selected" : ""}`,
            text: `Instance ${j}${unplaced ? " (cannot be placed)" : ""}${hidden ? " (hidden)" : ""}`,
            values: valuesText(values),
        };
    }
}

function instanceRow(j, { selected, active, className, text, values }) {
    const row = document.createElement("div");
    Object.assign(row, { className: `${className}${active ? " active" : ""}`, textContent: text, title: `${text}${values ? `: ${values}` : ""}` });
    if (values) row.append(Object.assign(document.createElement("span"), { className: "values", textContent: `: ${values}` }));
    row.dataset.instance = j;
    row.setAttribute("aria-selected", String(selected));
    return row;
}
