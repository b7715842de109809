// The drawing view: kon2svg's SVG drawn in the page as vectors, so that every
// engine draws it sharp at any zoom. It is fitted to the bulk of its line
// ends (a few far ones left out, as the 3D view leaves far points out) and
// panned (drag, or the arrow keys) and zoomed (wheel, pinch's wheel, + and -)
// by its viewBox; each drawing keeps its view while it is hidden.
import { bulkBox } from "./bulk.js";

const kStep = 40;  // pixels an arrow key pans
const kMargin = 0.05;  // of the bulk's larger side, around it when fitted

export class DrawingView {
    constructor(box) {
        Object.assign(this, { box, drawing: null, svg: null, view: null, fitted: null, far: 0 });
        let from = null;
        box.addEventListener("pointerdown", (event) => {
            if (event.button !== 0 || !this.svg) return;
            from = { x: event.clientX, y: event.clientY };
            box.setPointerCapture?.(event.pointerId);
        });
        box.addEventListener("pointermove", (event) => {
            if (!from) return;
            this.pan(event.clientX - from.x, event.clientY - from.y);
            from = { x: event.clientX, y: event.clientY };
        });
        for (const end of ["pointerup", "pointercancel", "lostpointercapture"]) {
            box.addEventListener(end, () => {
                from = null;
            });
        }
        box.addEventListener("wheel", (event) => {
            if (event.deltaY === 0 || !this.svg) return;
            event.preventDefault();
            this.zoom(event.deltaY < 0 ? 1.25 : 0.8, event.clientX, event.clientY);
        }, { passive: false });
        box.addEventListener("keydown", (event) => {
            const pans = { ArrowLeft: [kStep, 0], ArrowRight: [-kStep, 0], ArrowUp: [0, kStep], ArrowDown: [0, -kStep] };
            const zooms = { "+": 1.25, "=": 1.25, "-": 0.8 };
            const at = box.getBoundingClientRect();
            if (!this.svg) return;
            if (pans[event.key]) this.pan(...pans[event.key]);
            else if (zooms[event.key]) this.zoom(zooms[event.key], at.left + at.width / 2, at.top + at.height / 2);
            else if (event.key === "0") this.fit();
            else return;
            event.preventDefault();
            event.stopPropagation();
        });
    }

    // Shows `drawing` ({ svg: kon2svg's text }, fitted the first time), or
    // nothing (null), keeping the drawing's view for when it is shown again.
    show(drawing) {
        if (drawing === this.drawing) return;
        this.drawing = drawing;
        this.svg?.remove();
        this.svg = null;
        if (!drawing) return;
        const parsed = new DOMParser().parseFromString(drawing.svg, "image/svg+xml").documentElement;
        this.svg = document.importNode(parsed, true);
        this.svg.setAttribute("aria-hidden", "true");
        this.box.append(this.svg);
        drawing.view ??= this.fittedView();
        this.place(drawing.view);
    }

    // The bulk of the line ends with a margin: [x, y, width, height].
    fittedView() {
        const ends = [];
        for (const line of this.svg.querySelectorAll("line")) {
            for (const [x, y] of [["x1", "y1"], ["x2", "y2"]]) ends.push(Number(line.getAttribute(x)), Number(line.getAttribute(y)), 0);
        }
        const bulk = bulkBox(ends);
        this.drawing.far = bulk.far;
        const margin = kMargin * Math.max(bulk.max[0] - bulk.min[0], bulk.max[1] - bulk.min[1], 1);
        return [bulk.min[0] - margin, bulk.min[1] - margin, bulk.max[0] - bulk.min[0] + 2 * margin, bulk.max[1] - bulk.min[1] + 2 * margin];
    }

    fit() {
        this.place(this.fittedView());
    }

    // Drawing units per pixel, as the viewBox is fitted into the box (meet).
    unitsPerPixel() {
        const [, , width, height] = this.drawing.view;
        return Math.max(width / this.box.clientWidth, height / this.box.clientHeight);
    }

    // Moves the drawing by (dx, dy) pixels.
    pan(dx, dy) {
        const [x, y, width, height] = this.drawing.view;
        const units = this.unitsPerPixel();
        this.place([x - dx * units, y - dy * units, width, height]);
    }

    // Zooms by `factor` about the point (clientX, clientY) of the window.
    zoom(factor, clientX, clientY) {
        const [x, y, width, height] = this.drawing.view;
        const at = new DOMPoint(clientX, clientY).matrixTransform(this.svg.getScreenCTM().inverse());
        this.place([at.x - (at.x - x) / factor, at.y - (at.y - y) / factor, width / factor, height / factor]);
    }

    place(view) {
        this.drawing.view = view;
        this.svg.setAttribute("viewBox", view.join(" "));
    }
}
