// The drawing view: kon2svg's SVG as it is, fitted into the view, with pan
// (drag, or the arrow keys) and zoom (wheel, pinch's wheel, + and -).
const kStep = 40;  // pixels an arrow key pans

export class DrawingView {
    constructor(box, image) {
        Object.assign(this, { box, image, x: 0, y: 0, scale: 1, url: null });
        let from = null;
        box.addEventListener("pointerdown", (event) => {
            if (event.button !== 0) return;
            from = { x: event.clientX - this.x, y: event.clientY - this.y };
            box.setPointerCapture?.(event.pointerId);
        });
        box.addEventListener("pointermove", (event) => {
            if (from) this.moveTo(event.clientX - from.x, event.clientY - from.y);
        });
        for (const end of ["pointerup", "pointercancel", "lostpointercapture"]) {
            box.addEventListener(end, () => {
                from = null;
            });
        }
        box.addEventListener("wheel", (event) => {
            if (event.deltaY === 0) return;
            event.preventDefault();
            const at = box.getBoundingClientRect();
            this.zoom(event.deltaY < 0 ? 1.25 : 0.8, event.clientX - at.left, event.clientY - at.top);
        }, { passive: false });
        box.addEventListener("keydown", (event) => {
            const pans = { ArrowLeft: [kStep, 0], ArrowRight: [-kStep, 0], ArrowUp: [0, kStep], ArrowDown: [0, -kStep] };
            const zooms = { "+": 1.25, "=": 1.25, "-": 0.8 };
            if (pans[event.key]) this.moveTo(this.x + pans[event.key][0], this.y + pans[event.key][1]);
            else if (zooms[event.key]) this.zoom(zooms[event.key], box.clientWidth / 2, box.clientHeight / 2);
            else if (event.key === "0") this.fit();
            else return;
            event.preventDefault();
            event.stopPropagation();
        });
    }

    // Shows the SVG at `url` (a new one fitted), or nothing.
    show(url) {
        if (url === this.url) return;
        this.url = url;
        if (url) this.image.src = url;
        else this.image.removeAttribute("src");
        this.fit();
    }

    fit() {
        Object.assign(this, { x: 0, y: 0, scale: 1 });
        this.place();
    }

    // Zooms by `factor` about the point (cx, cy) of the view.
    zoom(factor, cx, cy) {
        this.scale *= factor;
        this.moveTo(cx - (cx - this.x) * factor, cy - (cy - this.y) * factor);
    }

    moveTo(x, y) {
        Object.assign(this, { x, y });
        this.place();
    }

    place() {
        this.image.style.transform = `translate(${this.x}px, ${this.y}px) scale(${this.scale})`;
    }
}
