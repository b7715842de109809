// Making the drawing's files the first time the drawing is shown: kon2svg's
// and kon2dxf's runs, offered as they named them. A run cancelled halfway
// leaves the drawing to be made when it is shown again.

export class DrawingFiles {
    constructor(session) {
        this.session = session;
    }

    // Whether showing the drawing should make it now.
    due() {
        const { drawing, bytes } = this.session.state;
        return (!drawing || drawing.phase === "cancelled") && !this.session.jobs.busy && bytes !== null;
    }

    async make() {
        const session = this.session;
        const current = session.currentCheck();
        this.set({ phase: "running", text: "Making the drawing…" });
        const results = [];
        for (const program of ["kon2svg", "kon2dxf"]) {
            const result = await session.run(program);
            if (!current()) return;
            if (result.kind === "cancelled") {
                this.set({ phase: "cancelled", text: "Making the drawing was cancelled: show the drawing again to make it." });
                return;
            }
            results.push(result);
        }
        const failed = results.find((result) => result.kind !== "done" || result.status !== 0);
        if (failed) {
            this.set({ phase: "failed", text: `The drawing was not made${failed.kind === "done" ? ` (exit status ${failed.status})` : ""}.` });
            return;
        }
        for (const result of results) session.offer(result.files);
        const [svg] = results[0].files;  // kon2svg writes one file
        const text = await svg.blob.text();
        if (current()) this.set({ phase: "done", text: "", svg: text });
    }

    set(drawing) {
        this.session.state.drawing = drawing;
        this.session.render();
    }
}
