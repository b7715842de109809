// A list box of many rows of one height that stays fast with tens of
// thousands of them: only the rows in sight (and a few around) exist, and
// they are rebuilt only when what they show changes, so that a click between
// a row's press and release is not lost. The keys (arrows, Home, End, Page
// Up and Down, Space and Enter) are told to the owner as the row they lead to.
export class VirtualList {
    // box: the scrolled list box (focusable); inner: the element that holds
    // the rows; describe(j): what row j shows, as plain data; build(j,
    // description): its element; onKey(to, key): a key named row `to`.
    constructor({ box, inner, rowHeight, idPrefix, describe, build, onKey }) {
        Object.assign(this, { box, inner, rowHeight, idPrefix, describe, build, count: 0, active: 0, drawn: "" });
        box.addEventListener("scroll", () => this.draw());
        // Shown again, or resized with the page: more or fewer rows are in
        // sight. Drawn in the next frame, not while the sizes are delivered,
        // where rows that bring a scroll bar would resize the box again.
        new ResizeObserver(() => requestAnimationFrame(() => this.draw())).observe(box);
        box.addEventListener("keydown", (event) => {
            const page = Math.max(1, Math.floor(box.clientHeight / rowHeight) - 1);
            const to = { ArrowDown: this.active + 1, ArrowUp: this.active - 1, Home: 0, End: this.count - 1,
                PageDown: this.active + page, PageUp: this.active - page, " ": this.active, Enter: this.active }[event.key];
            if (to === undefined || this.count === 0) return;
            event.preventDefault();
            onKey(Math.min(this.count - 1, Math.max(0, to)), event.key);
        });
    }

    // A new number of rows; with `fromTop`, the list starts at its top.
    setCount(count, fromTop) {
        if (fromTop) {
            this.box.scrollTop = 0;
            this.active = 0;
        }
        this.count = count;
        this.inner.style.height = `${count * this.rowHeight}px`;
    }

    // Scrolls row j into the middle of the box, where it is out of sight.
    scrollTo(j) {
        const top = j * this.rowHeight;
        if (top < this.box.scrollTop || top + this.rowHeight > this.box.scrollTop + this.box.clientHeight) {
            this.box.scrollTop = top - this.box.clientHeight / 2;
        }
    }

    draw() {
        const first = Math.max(0, Math.floor(this.box.scrollTop / this.rowHeight) - 2);
        const last = Math.min(this.count, first + Math.ceil(this.box.clientHeight / this.rowHeight) + 4);
        const rows = [];
        for (let j = first; j < last; j++) rows.push({ j, active: j === this.active, ...this.describe(j) });
        const key = JSON.stringify(rows);
        if (key === this.drawn) return;
        this.drawn = key;
        this.inner.replaceChildren(...rows.map((row) => {
            const element = this.build(row.j, row);
            element.id = `${this.idPrefix}${row.j}`;
            element.style.top = `${row.j * this.rowHeight}px`;
            element.setAttribute("role", "option");
            element.setAttribute("aria-setsize", String(this.count));
            element.setAttribute("aria-posinset", String(row.j + 1));
            return element;
        }));
        if (this.active >= first && this.active < last) this.box.setAttribute("aria-activedescendant", `${this.idPrefix}${this.active}`);
        else this.box.removeAttribute("aria-activedescendant");
    }
}
