// Making the .x: in memory and offered up to kLargestX; a larger one is
// streamed into a file the user chooses where the browser can save to one,
// else it is left to the kon2x program.

// A .x up to this size is made in memory and offered.
export const kLargestX = 512 << 20;

export function megabytes(bytes) {
    return bytes >= 2 ** 30 ? `${(bytes / 2 ** 30).toFixed(1)} GB` : `${Math.round(bytes / 2 ** 20)} MB`;
}

export class XExport {
    constructor(session) {
        this.session = session;
    }

    // About how many bytes the .x has: each point and face line of every instance.
    estimate() {
        const c = this.session.state.info;
        return c.instances * (c.points * 70 + (c.triangles + c.quads + c.polygons) * 40);
    }

    canMake() {
        const { info, x } = this.session.state;
        return info?.x_name !== undefined && x?.phase !== "done"
            && (this.estimate() <= kLargestX || window.showSaveFilePicker !== undefined);
    }

    async make() {
        const session = this.session;
        if (session.jobs.busy || !this.canMake()) return;
        const current = session.currentCheck();
        const name = session.state.info.x_name;
        const large = this.estimate() > kLargestX;
        let target = null;
        if (large) {
            try {
                target = await window.showSaveFilePicker({ suggestedName: name });
            } catch (error) {
                if (error.name !== "AbortError" && current()) this.set("failed", `${name} was not saved: ${error.message}`);
                return;  // a cancelled dialog changes nothing
            }
            if (!current()) return;
        }
        this.set("running", `Making ${name}…`);
        const result = large ? await this.stream(target, current) : await session.run("kon2x");
        if (!current()) return;
        if (result.kind === "unwritable") {
            this.set("failed", `${target.name} could not be written: ${result.message}`);
        } else if (result.kind === "cancelled") {
            this.set("cancelled", `Making ${name} was cancelled.`);
        } else if (result.kind === "trapped") {
            this.set("failed", `${name} was not made: the program stopped with an error (${result.message}).`);
        } else if (result.status !== 0) {
            this.set("failed", `${name} was not made (exit status ${result.status}). ${result.messages}`);
        } else if (large) {
            this.set("done", `${target.name} saved (${megabytes(result.written)}).`);
        } else {
            session.offer(result.files);
            this.set("done", "");
        }
    }

    // Runs kon2x with its output streamed into the file handle; resolves
    // with the run's result (`written`: its size), or { kind: "unwritable",
    // message } when the file cannot be written (the run is then cancelled).
    async stream(handle, current) {
        let failure = null;
        let written = 0;
        let stream;
        let writing = handle.createWritable().then((opened) => {
            stream = opened;
        });
        const stopped = (error) => {
            failure ??= error;
            if (current()) this.session.jobs.cancel();
        };
        const result = await this.session.run("kon2x", {
            onChunk: (name, bytes) => {
                written += bytes.byteLength;
                writing = writing.then(() => failure || stream.write(bytes)).catch(stopped);
            },
        });
        await writing.catch(stopped);
        try {
            if (!failure) await (result.kind === "done" && result.status === 0 ? stream.close() : stream.abort());
        } catch (error) {
            failure = error;
        }
        if (failure) await stream?.abort().catch(() => {});
        return failure ? { kind: "unwritable", message: failure.message } : { ...result, written };
    }

    set(phase, text) {
        this.session.state.x = { phase, text };
        this.session.render();
    }
}
