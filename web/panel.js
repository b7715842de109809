// The panel: the program's messages, the counts, the downloads and a list of
// the instances that stays fast with 32767 of them (only visible rows exist).
const kRowHeight = 24;

export function element(id) {
    return document.getElementById(id);
}

export function showMessages({ name, status, messages }) {
    element("file-name").textContent = name;
    element("messages").textContent = messages;
    const outcome = element("outcome");
    outcome.textContent = status === 0 ? "Converted." : `Not converted (exit status ${status}).`;
    outcome.className = status === 0 ? "" : "failed";
}

// The counts as rows of the table; `rows` is a list of [label, value].
export function showCounts(rows) {
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

// The list of instances 0 to count - 1; state(j) gives { hidden, unplaced,
// selected }; onSelect(j) is told of a click or an arrow key.
export class InstanceList {
    constructor(onSelect) {
        this.box = element("instance-list");
        this.rows = element("instance-rows");
        this.count = 0;
        this.state = () => ({});
        this.onSelect = onSelect;
        this.box.addEventListener("scroll", () => this.draw());
        this.rows.addEventListener("click", (event) => {
            const j = Number(event.target.dataset.instance);
            if (Number.isInteger(j)) onSelect(j);
        });
        this.box.addEventListener("keydown", (event) => {
            const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
            if (step && this.selected !== undefined) {
                event.preventDefault();
                onSelect(Math.min(this.count - 1, Math.max(0, this.selected + step)));
            }
        });
    }

    show(count, state) {
        this.count = count;
        this.state = state;
        this.rows.style.height = `${count * kRowHeight}px`;
        element("instances").hidden = count === 0;
        this.draw();
    }

    select(j) {
        this.selected = j;
        const top = j * kRowHeight;
        if (top < this.box.scrollTop || top + kRowHeight > this.box.scrollTop + this.box.clientHeight) {
            this.box.scrollTop = top - this.box.clientHeight / 2;
        }
        this.draw();
    }

    draw() {
        const first = Math.max(0, Math.floor(this.box.scrollTop / kRowHeight) - 2);
        const last = Math.min(this.count, first + Math.ceil(this.box.clientHeight / kRowHeight) + 4);
        const rows = [];
        for (let j = first; j < last; j++) {
            const { hidden, unplaced, selected } = this.state(j);
            const row = document.createElement("div");
            row.className = `row${hidden ? " hidden" : ""}${unplaced ? " unplaced" : ""}${selected ? " selected" : ""}`;
            row.style.top = `${j * kRowHeight}px`;
            row.dataset.instance = j;
            row.setAttribute("role", "option");
            row.setAttribute("aria-selected", selected ? "true" : "false");
            row.textContent = `Instance ${j}${unplaced ? " (cannot be placed)" : ""}`;
            rows.push(row);
        }
        this.rows.replaceChildren(...rows);
    }
}
