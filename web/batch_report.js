// What a batch tells of each input: its row (the outcome, messages and
// counts of its kon2counts run), report.csv in kon2batch's columns, and the
// inputs refused because another would write the same output.
import { outputName } from "./intake.js";

// The output formats, in the report's order: extension and program.
export const kFormats = [["x", "kon2x"], ["glb", "kon2gltf"], ["svg", "kon2svg"], ["dxf", "kon2dxf"]];
const kCountColumns = ["points", "single_points", "two_point_elements", "triangles", "quads", "polygons", "instances", "unplaced", "materials"];
export const kCsvHeader = `input,outcome,messages,${kCountColumns.join(",")},milliseconds,`
    + `${kFormats.map(([format]) => `${format},${format}_bytes,${format}_note`).join(",")}\n`;
// The programs' line when memory ran out: the input failed rather than being refused.
const kOutOfMemory = "Zu wenig Speicher!\n";

// A row from a job's result (jobs.js) for the input `name`:
//   { outcome: "converted" | "refused" | "failed", messages, counts (null
//     where the file did not load), glb: { name, size, note } where converted }
// The messages are the program's as kon2batch reports them, without the
// .glb's note, which belongs to the output.
export function rowOf(result, name) {
    if (result.kind === "cancelled") return null;
    if (result.kind !== "done") return { outcome: "failed", messages: `${name}: ${result.message}\n`, counts: null, glb: null };
    const facts = result.facts ? JSON.parse(result.facts) : null;
    const counts = facts && Object.fromEntries(kCountColumns.map((column) => [column, column === "unplaced" ? facts.unplaced.length : facts[column]]));
    const note = facts?.glb_note ?? "";
    const converted = result.status === 0;
    const text = result.transcript ?? result.messages;
    const messages = converted && note && text.endsWith(note) ? text.slice(0, -note.length) : text;
    const outcome = converted ? "converted" : messages.includes(kOutOfMemory) ? "failed" : "refused";
    const [glb] = result.files;
    return { outcome, messages, counts, glb: converted && glb ? { name: glb.name, size: glb.size, note } : null };
}

// The first line of the messages, as the list shows a refusal.
export function firstLine(messages) {
    return messages.split("\n", 1)[0];
}

// The inputs that would write the same output as another, by index: the
// lines that name, for each pair, the shared output and the other input
// ("a.glb would also be written from a.bin\n"). Names that differ only in
// case are the same, as they are once the zip is unpacked on most systems.
export function sameOutputs(names, extension = ".glb") {
    const writerOf = new Map();
    const lines = new Map();
    const name = (input, other) => lines.set(input, `${lines.get(input) ?? ""}${outputName(names[input], extension)} would also be written from ${names[other]}\n`);
    names.forEach((input, i) => {
        const key = outputName(input, extension).toLowerCase();
        if (!writerOf.has(key)) return writerOf.set(key, i);
        name(i, writerOf.get(key));
        name(writerOf.get(key), i);
    });
    return lines;
}

// A field of the CSV: quoted where it holds a comma, a quote or a line end.
function csvField(text) {
    return /[,"\r\n]/.test(text) ? `"${text.replaceAll('"', '""')}"` : text;
}

// One line of report.csv for the input `name` with its `row`, the
// `milliseconds` its runs took and the `outputs` the zip holds of it:
// { x: { name, size, note }, ... }.
export function csvRow(name, row, milliseconds, outputs = {}) {
    const counts = kCountColumns.map((column) => row.counts ? String(row.counts[column]) : "");
    const files = kFormats.map(([format]) => outputs[format]
        ? `${csvField(outputs[format].name)},${outputs[format].size},${csvField(outputs[format].note)}` : ",,");
    return `${[csvField(name), row.outcome, csvField(row.messages), ...counts, String(Math.floor(milliseconds)), ...files].join(",")}\n`;
}
