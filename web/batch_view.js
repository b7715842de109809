// The batch's list, in place of the 3D view: a row per file with its name,
// size, outcome and counts, filled in as the batch goes; its progress, the
// filter, and "Download all" with the formats to put in the zip.
import { firstLine } from "./batch_report.js";
import { kLargestZip } from "./batch_zip.js";
import { VirtualList } from "./virtual_list.js";
import { megabytes } from "./x_export.js";

const kRowHeight = 26;
// Screen readers hear the progress at most this often (ms), not every row.
const kAnnounceEvery = 5000;
export const kFilters = {
    all: () => true, converted: (row) => row?.outcome === "converted", refused: (row) => row?.outcome === "refused" || row?.outcome === "failed",
};

const element = (id) => document.getElementById(id);

function sizeText(bytes) {
    return bytes >= 2 ** 20 ? megabytes(bytes) : bytes >= 1024 ? `${Math.round(bytes / 1024)} KB` : `${bytes} B`;
}

// What a row's outcome column says.
function outcomeText(row, cancelled) {
    if (!row) return cancelled ? "not converted: cancelled" : "";
    if (row.outcome === "converted") return "converted";
    if (row.outcome === "skipped") return "skipped: not a construction file";
    return `${row.outcome}: ${firstLine(row.messages)}`;
}

export class BatchView {
    // onOpen(i): entry i is to be opened in the 3D view.
    constructor(onOpen) {
        this.shown = [];  // the entries the filter shows, by row
        this.announcedAt = -Infinity;
        this.list = new VirtualList({
            box: element("batch-list"), inner: element("batch-rows"), rowHeight: kRowHeight, idPrefix: "batch-row-",
            describe: (j) => this.describe(j), build: (j, row) => batchRow(j, row),
            onKey: (to, key) => {
                if (key === "Enter" || key === " ") return onOpen(this.shown[to]);
                this.list.active = to;
                this.list.scrollTo(to);
                this.list.draw();
            },
        });
        element("batch-rows").addEventListener("click", (event) => {
            const j = Number(event.target.closest("[data-row]")?.dataset.row);
            if (Number.isInteger(j)) onOpen(this.shown[j]);
        });
    }

    // Draws the batch as `view` sets it: { filter, formats (a Set) }, with `zip` (a BatchZip or null).
    show(batch, view, zip) {
        this.batch = batch;
        const keep = kFilters[view.filter];
        this.shown = batch.entries.flatMap((entry, i) => keep(entry.row) ? [i] : []);
        // Another batch or filter starts at the top; rows that fill in keep the place.
        this.list.setCount(this.shown.length, this.drawnFor !== `${batch.started} ${view.filter}`);
        this.drawnFor = `${batch.started} ${view.filter}`;
        this.list.draw();
        const { skipped, total } = batch.tally();
        const progress = skipped === total ? `No construction file among the ${total} files given.` : batch.progress();
        element("batch-progress").textContent = progress;
        element("batch-cancel").hidden = batch.phase !== "running" && zip?.phase !== "running";
        element("batch-filter").value = view.filter;
        for (const format of ["glb", "x", "svg", "dxf"]) element(`zip-${format}`).checked = view.formats.has(format);
        const converted = batch.entries.some((entry) => entry.row?.outcome === "converted");
        element("download-all").disabled = batch.phase === "running" || !converted || !view.formats.size || zip?.phase === "running";
        this.showZip(zip);
        this.announce(progress, batch.phase !== "running");
    }

    showZip(zip) {
        const link = element("zip-link");
        link.hidden = zip?.phase !== "done" || !zip.url;
        if (zip?.phase === "done" && zip.url && link.dataset.blob !== zip.url) {
            Object.assign(link, { href: zip.url, download: "kon2x-batch.zip", textContent: `Download kon2x-batch.zip (${megabytes(zip.blob.size)})` });
            link.dataset.blob = zip.url;
        }
        element("zip-note").textContent = zipNote(zip);
    }

    announce(text, now) {
        const at = performance.now();
        if (!now && at - this.announcedAt < kAnnounceEvery) return;
        this.announcedAt = at;
        if (element("batch-announcement").textContent !== text) element("batch-announcement").textContent = text;
    }

    describe(j) {
        const entry = this.batch.entries[this.shown[j]];
        const { row } = entry;
        const counts = row?.counts;
        return {
            name: entry.name, size: sizeText(entry.size), outcome: outcomeText(row, this.batch.phase === "cancelled"),
            failed: row?.outcome === "refused" || row?.outcome === "failed",
            counts: counts ? [counts.points, counts.triangles + counts.quads + counts.polygons, counts.instances, counts.unplaced] : [],
        };
    }
}

function zipNote(zip) {
    switch (zip?.phase) {
    case undefined: return window.showSaveFilePicker ? "Download all asks where to save the zip and writes it there as it is made."
        : `The zip is made in memory, up to ${megabytes(kLargestZip)}; kon2batch converts folders of any size.`;
    case "running": return `Making the zip: ${zip.done} of ${zip.tasks.length} files…`;
    case "cancelled": return "Making the zip was cancelled.";
    case "failed": return `The zip was not made: ${zip.problem}`;
    default: return zip.savedAs ? `${zip.savedAs} saved (${megabytes(zip.written)}: ${zip.held} files and report.csv).` : zip.left ? `The files pass ${megabytes(zip.limit)}, more than this page makes in memory: the zip holds `
        + `${zip.held} of the ${zip.tasks.length} files and report.csv. kon2batch converts them all.` : "";
    }
}

function batchRow(j, { active, name, size, outcome, failed, counts }) {
    const row = document.createElement("div");
    row.className = `batch-row${failed ? " failed" : ""}${active ? " active" : ""}`;
    row.dataset.row = j;
    row.title = `${name}: ${outcome || "waiting"}`;
    row.setAttribute("aria-selected", String(active));
    const [points, faces, instances, unplaced] = counts;
    row.setAttribute("aria-label", `${name}, ${size}, ${outcome || "waiting"}${counts.length
        ? `, ${points} points, ${faces} faces, ${instances} instances, ${unplaced} that cannot be placed` : ""}`);
    row.append(...[name, size, outcome, ...counts.map((count) => count.toLocaleString("en"))].map((text) => {
        const cell = document.createElement("span");
        cell.textContent = text;
        return cell;
    }));
    return row;
}
