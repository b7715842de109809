// The batch's list, in place of the 3D view: a card per file with its
// picture, name, outcome and counts, or a row per file, filled in as the
// batch goes, in the order the sort chooses; its progress, the filter, and
// "Download all" with the formats to put in the zip.
import { firstLine } from "./batch_report.js";
import { kLargestZip } from "./batch_zip.js";
import { kPictureHeight, kPictureWidth } from "./pictures.js";
import { VirtualList } from "./virtual_list.js";
import { megabytes } from "./x_export.js";

const kRowHeight = 26;
const kCard = { width: kPictureWidth + 24, height: kPictureHeight + 76 };
// Screen readers hear the progress at most this often (ms), not every row.
const kAnnounceEvery = 5000;
export const kFilters = {
    all: () => true, converted: (row) => row?.outcome === "converted", refused: (row) => row?.outcome === "refused" || row?.outcome === "failed",
};
const faces = (row) => (row?.counts ? row.counts.triangles + row.counts.quads + row.counts.polygons : -1);
const kOutcomeOrder = { failed: 0, refused: 1, converted: 2, skipped: 3 };
const byName = new Intl.Collator("en", { numeric: true }).compare;
// The orders of the entries besides the one given: names as people count
// them ("a2" before "a10"), the largest first, what went wrong first.
export const kSorts = {
    name: (a, b) => byName(a.name, b.name),
    size: (a, b) => b.size - a.size,
    faces: (a, b) => faces(b.row) - faces(a.row),
    outcome: (a, b) => (kOutcomeOrder[a.row?.outcome] ?? 4) - (kOutcomeOrder[b.row?.outcome] ?? 4),
};

// The entries of `entries` that `filter` keeps, by index, in the order of `sort` ("given" or one of kSorts).
export function shownEntries(entries, filter, sort) {
    const keep = kFilters[filter];
    const shown = entries.flatMap((entry, i) => keep(entry.row) ? [i] : []);
    const order = kSorts[sort];
    return order ? shown.sort((i, j) => order(entries[i], entries[j]) || i - j) : shown;
}

const element = (id) => document.getElementById(id);

function sizeText(bytes) {
    return bytes >= 2 ** 20 ? megabytes(bytes) : bytes >= 1024 ? `${Math.round(bytes / 1024)} KB` : `${bytes} B`;
}

// What a row's outcome column says.
export function outcomeText(row, cancelled) {
    if (!row) return cancelled ? "not converted: cancelled" : "";
    if (row.outcome === "converted") return "converted";
    if (row.outcome === "skipped") return "skipped: not a construction file";
    return `${row.outcome}: ${firstLine(row.messages)}`;
}

export class BatchView {
    // onOpen(i): entry i is to be opened in the 3D view.
    constructor(onOpen) {
        this.shown = [];  // the entries the filter shows, in the sort's order
        this.announcedAt = -Infinity;
        this.list = new VirtualList({
            box: element("batch-list"), inner: element("batch-rows"), rowHeight: kRowHeight, idPrefix: "batch-row-",
            describe: (j) => this.describe(j), build: (j, row) => (this.cards ? batchCard : batchRow)(j, row),
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

    // Draws the batch as `view` sets it: { filter, sort, cards, formats (a
    // Set) }, with `zip` (a BatchZip or null); `pictures`: whether they are made.
    show(batch, view, zip, pictures) {
        // The keys stay on the entry they were on, wherever a sort moves it.
        const active = this.shown[this.list.active];
        this.batch = batch;
        this.shown = shownEntries(batch.entries, view.filter, view.sort);
        this.cards = view.cards && pictures;
        this.list.setShape(this.cards ? kCard.height : kRowHeight, this.cards ? kCard.width : 0);
        // Another batch, filter, sort or layout starts at the top; rows that fill in keep the place.
        const drawnFor = `${batch.started} ${view.filter} ${view.sort} ${this.cards}`;
        this.list.setCount(this.shown.length, this.drawnFor !== drawnFor);
        if (this.drawnFor === drawnFor && view.sort !== "given") this.list.active = Math.max(0, this.shown.indexOf(active));
        this.drawnFor = drawnFor;
        this.list.draw();
        element("batch-head").hidden = this.cards;
        element("batch-layout").hidden = !pictures;
        element("batch-layout").value = this.cards ? "cards" : "rows";
        element("batch-sort").value = view.sort;
        element("save-sheet").hidden = !this.cards;
        element("save-sheet").disabled = view.sheet === "running" || !this.shown.some((i) => batch.entries[i].picture?.blob);
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
            counts: counts ? [counts.points, faces(row), counts.instances, counts.unplaced] : [],
            ...(this.cards ? { picture: entry.picture?.url ?? null, none: pictureNote(entry) } : {}),
        };
    }
}

// What a card shows in place of its picture.
function pictureNote({ row, picture }) {
    if (picture) return picture.none ?? "";
    return row?.outcome === "converted" ? "drawing…" : row ? "no picture" : "";
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

// An item of the list, of `kind` ("batch-row" or "batch-card"), holding `texts`.
function batchItem(kind, j, { active, name, size, outcome, failed, counts }, texts) {
    const item = document.createElement("div");
    item.className = `${kind}${failed ? " failed" : ""}${active ? " active" : ""}`;
    item.dataset.row = j;
    item.title = `${name}: ${outcome || "waiting"}`;
    item.setAttribute("aria-selected", String(active));
    const [points, faces, instances, unplaced] = counts;
    item.setAttribute("aria-label", `${name}, ${size}, ${outcome || "waiting"}${counts.length
        ? `, ${points} points, ${faces} faces, ${instances} instances, ${unplaced} that cannot be placed` : ""}`);
    item.append(...texts.map((text, k) => {
        const cell = document.createElement("span");
        // A long path is cut at its start, where its folders are: the file's name stays in sight.
        if (k === 0) cell.append(Object.assign(document.createElement("bdi"), { textContent: text }));
        else cell.textContent = text;
        return cell;
    }));
    return item;
}

function batchRow(j, description) {
    const { name, size, outcome, counts } = description;
    return batchItem("batch-row", j, description, [name, size, outcome, ...counts.map((count) => count.toLocaleString("en"))]);
}

// A card: the picture (or what stands in its place), the name, the size and
// outcome, and the counts of points, faces and instances.
function batchCard(j, description) {
    const { name, size, outcome, counts: [points, faces, instances], picture, none } = description;
    const counts = points === undefined ? "" : `${points.toLocaleString("en")} points, ${faces.toLocaleString("en")} faces, ${instances.toLocaleString("en")} inst.`;
    const card = batchItem("batch-card", j, description, [name, `${size} · ${outcome || "waiting"}`, counts]);
    const place = picture ? Object.assign(document.createElement("img"), { src: picture, alt: "", width: kPictureWidth, height: kPictureHeight })
        : Object.assign(document.createElement("div"), { className: "no-picture", textContent: none });
    card.prepend(place);
    if (none) card.setAttribute("aria-label", `${card.getAttribute("aria-label")}, ${none}`);
    return card;
}
