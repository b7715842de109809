// The model's facts as the loader has them (kon2info's summary): its counts,
// the instances that cannot be placed, their values, its elements. Counting
// cancelled or failed can be tried again.

export class ModelFacts {
    constructor(session) {
        this.session = session;
    }

    // Takes kon2info's result into the state, or why there is none.
    take(result) {
        const state = this.session.state;
        if (result.kind === "done" && result.status === 0) {
            state.info = JSON.parse(result.stdout);
            state.unplaced = new Set(state.info.unplaced);
        } else {
            state.infoProblem = `Counting the model's elements ${result.kind === "cancelled" ? "was cancelled" : "failed"}: `
                + "no counts, no list of instances and no .x until Count again.";
        }
    }

    canCountAgain() {
        const state = this.session.state;
        return state.model !== null && state.infoProblem !== "";
    }

    // Counts again; with the counts, the model is drawn again as it is seen.
    async countAgain() {
        const session = this.session;
        if (session.jobs.busy || !this.canCountAgain()) return;
        const current = session.currentCheck();
        Object.assign(session.state, { infoProblem: "", busy: true });
        session.render();
        await session.guarded(current, async () => {
            const result = await session.run("kon2info");
            if (!current()) return;
            this.take(result);
            if (session.state.info) await session.draw(current, true);
        });
        if (current()) session.state.busy = false;
        session.render();
    }
}
