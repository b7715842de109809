// The wording of what the panel shows of the page's state: the note over the
// view, the textures' and the .x's notes, and the counts.
import { textureFor } from "./intake.js";
import { kLargestX, megabytes } from "./x_export.js";

const kNoWebGL = "The 3D view is not available here (no WebGL); converting and downloading still work.";
const kLost = "The 3D view stopped: the browser took its graphics away. Converting and downloading still work; "
    + "reload the page to see models again.";

// The one note over the view.
export function viewNote(session) {
    const { state, viewer } = session;
    const notes = [...state.intake.refused];
    if (state.drawingShown) notes.push(farLinesNote(state.drawing?.far));
    else if (!viewer.working) notes.push(viewer.stage.lost ? kLost : kNoWebGL);
    else if (state.model && !state.busy) notes.push(drawingNote(state, viewer));
    return notes.filter(Boolean).join(" ");
}

// What the 3D view draws of the model, where it is not all of it.
function drawingNote({ info, model, view }, viewer) {
    if (!model.positions) return "Nothing to draw: the model has no faces of three or more points.";
    if (!model.nodes.length) {
        return info?.instances ? "Nothing to draw: none of the model's instances can be placed." : "Nothing to draw: the model has no instances.";
    }
    if (!view) return "";
    const notes = [];
    if (view.zeroArea) notes.push("Nothing to see: every face of the model has zero area as placed.");
    const boxes = view.boxesArePoints ? "dots at their centres" : "boxes";
    const frame = viewer.current?.frame;
    if (frame) notes.push(detailNote(frame));
    if (frame && view.fraction < 1) {
        notes.push(`Of the instances drawn in full, ${Math.round(100 * view.fraction)} % of the triangles are drawn: the model's faces are too many or too large.`);
    } else if (view.fraction < 1) {
        notes.push(`Stand-in: this model's faces are too many or too large to draw at once; ${Math.round(100 * view.fraction)} % `
            + `of the first instance's triangles are drawn, every other instance as ${view.boxesArePoints ? "a dot at its centre" : "its box"}.`);
    } else if (view.full < model.nodes.length && !frame) {
        notes.push(`Stand-in: ${view.full} of ${model.nodes.length} instances drawn in full, the others as ${boxes}.`);
    }
    if (viewer.closeUp < 1) {
        notes.push(`Close up: ${Math.max(1, Math.round(100 * viewer.closeUp))} % of the triangles are drawn at this view, `
            + "since the faces would cover the screen too many times for a quick frame; move out to see them all.");
    }
    if (view.undrawable.length) {
        const listed = view.undrawable.slice(0, 5).join(", ") + (view.undrawable.length > 5 ? ", …" : "");
        notes.push(`${view.undrawable.length === 1 ? "Instance" : "Instances"} ${listed} ${view.undrawable.length === 1 ? "places" : "place"} `
            + "the model beyond 2^60 units, farther than the view can draw: left out of it.");
    }
    if (view.far) {
        notes.push(`${view.far} ${view.far === 1 ? "point that faces use lies" : "points that faces use lie"} far from the others, `
            + "outside the fitted view: zoom out to see them.");
    }
    return notes.join(" ");
}

// What a frame with simplified levels draws, where it is not every instance in full.
function detailNote({ tolerance, simplified, standIns, cut }) {
    const drawn = [];
    if (simplified) drawn.push(`far instances drawn simplified (up to ${tolerance} px error)`);
    if (standIns > cut) drawn.push(`${simplified ? "those" : "instances"} under two pixels across as dots`);
    if (cut) drawn.push(`${cut} more as dots, since even the coarsest levels would pass the frame's budget`);
    if (!drawn.length) return "";
    const said = drawn.join(", ");
    return `${said[0].toUpperCase()}${said.slice(1)}; lines, points and face edges only on the instances drawn in full. `
        + "Full detail draws every instance in full where the budgets allow.";
}

function farLinesNote(far) {
    return far ? `${far} ${far === 1 ? "line end lies" : "line ends lie"} far from the others, outside the fitted drawing: zoom out to see `
        + `${far === 1 ? "it" : "them"}.` : "";
}

export function textureNote(state) {
    if (!state.model) return "";
    const missing = state.model.textureNames.filter((name) => !textureFor(state.textureFiles, state.folder, name)).map((name) => `${name}.png`);
    return [
        missing.length ? `Textures not given (drop them to see them): ${missing.join(", ")}.` : "",
        state.brokenTextures.length ? `Not pictures that can be read, drawn without them: ${state.brokenTextures.join(", ")}.` : "",
    ].filter(Boolean).join(" ");
}

// What making the .x did, or what it will do with a large one.
export function xNote(session) {
    const state = session.state;
    if (state.x?.text) return state.x.text;
    const estimate = state.info?.x_name ? session.xExport.estimate() : 0;
    if (estimate <= kLargestX) return "";
    const size = `${state.info.x_name} will be about ${megabytes(estimate)}, more than this page makes in memory (${megabytes(kLargestX)})`;
    return window.showSaveFilePicker ? `${size}: Make .x asks where to save it and writes it there.`
        : `${size}: convert it with the kon2x program.`;
}

// The counts as [label, value] rows.
export function countRows({ info, model, view }, viewer) {
    const rows = [];
    if (info) {
        rows.push(["Points", info.points], ["Single points", info.single_points], ["Two-point elements", info.two_point_elements],
            ["Triangles", info.triangles], ["Quads", info.quads], ["Polygons", info.polygons],
            ["Instances", info.instances], ["Instances that cannot be placed", info.unplaced.length]);
    }
    if (model) rows.push(["Materials", model.materials.length]);
    if (view) {
        const frame = viewer.current?.frame;
        rows.push(["Triangles drawn", (frame ? frame.triangles : view.trianglesDrawn).toLocaleString("en")]);
        if (view.trianglesDrawn < view.triangles) rows.push(["Triangles in the model", view.triangles.toLocaleString("en")]);
        const levels = viewer.current?.levels;
        if (levels) {
            rows.push(["Simplified levels", `${levels.triangles.length}: ${levels.triangles.map((count) => count.toLocaleString("en")).join(", ")} `
                + `triangles, made in ${Math.round(levels.ms)} ms`]);
        }
        rows.push(["Size along x, y, z (units)", [view.size.x, view.size.y, view.size.z].map((v) => +v.toPrecision(6)).join(" × ")]);
    }
    return rows;
}
