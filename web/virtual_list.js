// A list box of many items of one size that stays fast with tens of
// thousands of them: rows of the box's width, or cards of `cardWidth` side
// by side (setShape). Only the items in sight (and a few around) exist, and
// they are rebuilt only when what they show changes, so that a click between
// a press and release is not lost. The keys (arrows, Home, End, Page Up and
// Down, Space and Enter) are told to the owner as the item they lead to.
export class VirtualList {
    // box: the scrolled list box (focusable); inner: the element that holds
    // the items; describe(j): what item j shows, as plain data; build(j,
    // description): its element; onKey(to, key): a key named item `to`.
    constructor({ box, inner, rowHeight, idPrefix, describe, build, onKey }) {
        Object.assign(this, { box, inner, rowHeight, cardWidth: 0, idPrefix, describe, build, count: 0, active: 0, drawn: "" });
        box.addEventListener("scroll", () => this.draw());
        // Shown again, or resized with the page: more or fewer items are in
        // sight. Drawn in the next frame, not while the sizes are delivered,
        // where items that bring a scroll bar would resize the box again.
        new ResizeObserver(() => requestAnimationFrame(() => this.draw())).observe(box);
        box.addEventListener("keydown", (event) => {
            const across = this.columns;
            const page = across * Math.max(1, Math.floor(box.clientHeight / this.rowHeight) - 1);
            const to = { ArrowDown: this.active + across, ArrowUp: this.active - across, Home: 0, End: this.count - 1,
                PageDown: this.active + page, PageUp: this.active - page, " ": this.active, Enter: this.active,
                ...(across > 1 ? { ArrowRight: this.active + 1, ArrowLeft: this.active - 1 } : {}) }[event.key];
            if (to === undefined || this.count === 0) return;
            event.preventDefault();
            onKey(Math.min(this.count - 1, Math.max(0, to)), event.key);
        });
    }

    // Rows `height` high, or with `cardWidth`, cards of that width in rows.
    setShape(height, cardWidth = 0) {
        Object.assign(this, { rowHeight: height, cardWidth });
    }

    // How many items a row of the box holds.
    get columns() {
        return this.cardWidth ? Math.max(1, Math.floor(this.box.clientWidth / this.cardWidth)) : 1;
    }

    // A new number of items; with `fromTop`, the list starts at its top.
    setCount(count, fromTop) {
        if (fromTop) {
            this.box.scrollTop = 0;
            this.active = 0;
        }
        this.count = count;
        this.fitHeight();
    }

    fitHeight() {
        this.inner.style.height = `${Math.ceil(this.count / this.columns) * this.rowHeight}px`;
    }

    // Scrolls item j into the middle of the box, where it is out of sight.
    scrollTo(j) {
        const top = Math.floor(j / this.columns) * this.rowHeight;
        if (top < this.box.scrollTop || top + this.rowHeight > this.box.scrollTop + this.box.clientHeight) {
            this.box.scrollTop = top - this.box.clientHeight / 2;
        }
    }

    draw() {
        const across = this.columns;
        this.fitHeight();
        const first = across * Math.max(0, Math.floor(this.box.scrollTop / this.rowHeight) - 2);
        const last = Math.min(this.count, first + across * (Math.ceil(this.box.clientHeight / this.rowHeight) + 4));
        const rows = [];
        for (let j = first; j < last; j++) rows.push({ j, active: j === this.active, ...this.describe(j) });
        const key = `${across} ${this.rowHeight} ${JSON.stringify(rows)}`;
        if (key === this.drawn) return;
        this.drawn = key;
        this.inner.replaceChildren(...rows.map((row) => {
            const element = this.build(row.j, row);
            element.id = `${this.idPrefix}${row.j}`;
            element.style.top = `${Math.floor(row.j / across) * this.rowHeight}px`;
            if (this.cardWidth) element.style.left = `${(row.j % across) * this.cardWidth}px`;
            element.setAttribute("role", "option");
            element.setAttribute("aria-setsize", String(this.count));
            element.setAttribute("aria-posinset", String(row.j + 1));
            return element;
        }));
        if (this.active >= first && this.active < last) this.box.setAttribute("aria-activedescendant", `${this.idPrefix}${this.active}`);
        else this.box.removeAttribute("aria-activedescendant");
    }
}
