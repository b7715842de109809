// The view's toolbar and its keys, and the pointer over the view: a click
// (or a tap) picks, a move reads the point under it, one pick per frame at most.
import { element } from "./panel.js";

const kClickSlop = 5;  // pixels a press may move and still be a click rather than a turn
// The view's keys: the control each one works.
const kKeys = {
    a: "fit-all", z: "fit-selection", r: "reset-view", t: "view-top", f: "view-front", s: "view-side", o: "view-oblique",
    p: "orthographic", g: "grid", m: "measure", d: "drawing-toggle",
};
const kZooms = { "+": 1.25, "=": 1.25, "-": 0.8 };
const kCornerSteps = { ",": -1, ".": 1 };

export function wireView(session) {
    const viewer = session.viewer;
    const buttons = {
        "fit-all": () => session.fitAll(),
        "fit-selection": () => session.fitSelection(),
        "reset-view": () => {
            session.setSettings({ orthographic: false });
            viewer.showView("oblique");
        },
        "view-top": () => viewer.showView("top"),
        "view-front": () => viewer.showView("front"),
        "view-side": () => viewer.showView("side"),
        "view-oblique": () => viewer.showView("oblique"),
        measure: () => session.setMeasuring(!session.state.measuring),
        "drawing-toggle": () => {
            session.showDrawing(!session.state.drawingShown);
            (session.state.drawingShown ? element("drawing-box") : viewer.stage.renderer?.domElement)?.focus();
        },
    };
    for (const [id, action] of Object.entries(buttons)) element(id).onclick = action;
    element("orthographic").onchange = (event) => session.setSettings({ orthographic: event.target.checked });
    element("grid").onchange = (event) => session.setSettings({ grid: event.target.checked });
    element("full-detail").onchange = (event) => session.setSettings({ fullDetail: event.target.checked });
    element("section-axis").onchange = (event) => session.setSection({ axis: event.target.value });
    element("section-at").oninput = (event) => session.setSection({ at: event.target.value / 1000 });
    element("section-flip").onclick = () => session.setSection({ flipped: !session.state.section.flipped });
    element("view").addEventListener("keydown", (event) => {
        if (event.ctrlKey || event.metaKey || event.altKey || event.target.closest("select, input[type=range]")) return;
        const key = event.key.toLowerCase();
        // D works wherever its button does; the 3D view's keys only with its tools (not while the drawing shows).
        const threeD = !element("view-tools").hidden;
        const control = kKeys[key] && (key === "d" || threeD) ? element(kKeys[key]) : null;
        if (key === "escape" && threeD) {
            if (session.state.measuring) session.setMeasuring(false);
            else session.select(null);
        }
        else if (control && !control.disabled && !control.hidden) control.click();
        else if (threeD && kZooms[key]) viewer.zoom(kZooms[key]);
        else if (threeD && kCornerSteps[key]) session.pointStep(kCornerSteps[key]);
        else if (threeD && key === "enter" && session.state.measuring) session.takePointed();
        else return;
        event.preventDefault();
    });
    if (viewer.stage.renderer) wirePointer(session, viewer.stage.renderer.domElement);
}

function wirePointer(session, canvas) {
    const deviceCoordinates = (event) => {
        const box = canvas.getBoundingClientRect();
        return { x: ((event.clientX - box.left) / box.width) * 2 - 1, y: 1 - ((event.clientY - box.top) / box.height) * 2 };
    };
    let pressed = null;
    canvas.addEventListener("pointerdown", (event) => {
        pressed = { x: event.clientX, y: event.clientY };
    });
    canvas.addEventListener("pointerup", (event) => {
        if (pressed && Math.hypot(event.clientX - pressed.x, event.clientY - pressed.y) <= kClickSlop) session.clickAt(deviceCoordinates(event));
        pressed = null;
    });
    let latest = null;
    let scheduled = false;
    const readLater = (at) => {
        latest = at;
        if (scheduled) return;
        scheduled = true;
        requestAnimationFrame(() => {
            scheduled = false;
            session.pointAt(latest);
        });
    };
    canvas.addEventListener("pointermove", (event) => {
        if (event.buttons === 0) readLater(deviceCoordinates(event));
    });
    canvas.addEventListener("pointerleave", () => readLater(null));
}
