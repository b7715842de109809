// The batch's pictures: each converted entry's .glb, as the batch hands it
// over, drawn by the PictureMaker in turn on the page's thread. An entry's
// `picture` is null until then, and then { blob, url }, or { none: why }.
// A .glb is dropped once drawn: only the picture (a few KB) is kept. The
// batch never waits for the pictures: while it converts, they take at most
// a share of the page's thread (kConvertingShare), which hands the workers
// their next files; beyond kMostWaiting bytes of .glb waiting, an entry's
// is dropped too, and made again for its picture once the batch has ended
// (catchUp).
import { baseName } from "./batch.js";
import { readGlb } from "./glb.js";
import { folderOf, textureFor } from "./intake.js";

const kMostWaiting = 64 << 20;
const kConvertingShare = 0.15;

export class BatchPictures {
    // maker: a PictureMaker; textureFiles: the session's, by textureKey;
    // onChange(): told as pictures fill in.
    constructor(maker, textureFiles, onChange) {
        Object.assign(this, { maker, textureFiles, onChange });
        this.waiting = [];  // [{ entry, blob }] to draw, in order
        this.waitingBytes = 0;
        this.later = [];  // the entries whose .glb was dropped
        this.drawn = [];  // the entries with a picture, whose URLs clear() revokes
        this.room = [];  // catchUp's wait for the next picture drawn
        this.drawing = false;
        this.cleared = 0;  // counts clear(): what was under way before is dropped
        this.converting = () => false;  // whether the batch's workers convert files
    }

    get working() {
        return this.maker.working;
    }

    // Takes `entry`'s .glb `blob`, to draw its picture.
    add(entry, blob) {
        if (this.waiting.length && this.waitingBytes + blob.size > kMostWaiting) return this.later.push(entry);
        this.waiting.push({ entry, blob });
        this.waitingBytes += blob.size;
        if (!this.drawing) this.drawAll();
        return this.waiting.length;
    }

    async drawAll() {
        this.drawing = true;
        while (this.waiting.length) {
            const { entry, blob } = this.waiting.shift();
            this.waitingBytes -= blob.size;
            const cleared = this.cleared;
            // Drawn, its PNG is encoded while the next one is drawn.
            const start = performance.now();
            const { png } = await this.picture(entry, blob).catch((error) => ({ png: Promise.resolve({ none: `no picture: ${error.message}` }) }));
            this.room.shift()?.();
            png.then((made) => this.take(entry, made, cleared));
            const spent = performance.now() - start;
            if (this.converting()) await new Promise((resolve) => setTimeout(resolve, spent * (1 / kConvertingShare - 1)));
        }
        this.maker.release();
        this.drawing = false;
    }

    // Resolves once `entry` is drawn with { png: a promise of its picture }.
    async picture(entry, blob) {
        const start = performance.now();
        if (!this.working) return { png: Promise.resolve({ none: "no picture" }) };
        const model = readGlb(await blob.arrayBuffer());
        const images = await this.images(model, folderOf(entry.name));
        let drawn;
        try {
            drawn = await this.maker.draw(model, images);
        } finally {
            for (const image of images.values()) image.close();
        }
        performance.measure("kon2x picture", { start });  // for the page's benchmark
        performance.clearMeasures("kon2x picture");
        if (typeof drawn === "string") return { png: Promise.resolve({ none: drawn }) };
        return { png: drawn.png.then((png) => (png ? { blob: png } : { none: "no picture" })) };
    }

    take(entry, picture, cleared) {
        if (cleared !== this.cleared) return;
        if (picture.blob) {
            picture.url = URL.createObjectURL(picture.blob);
            this.drawn.push(entry);
        }
        entry.picture = picture;
        this.onChange();
    }

    // The textures the model names that were given for its folder, decoded; those that do not decode are left out.
    async images(model, folder) {
        const images = new Map();
        for (const name of model.textureNames) {
            const file = textureFor(this.textureFiles, folder, name);
            const image = file && await createImageBitmap(file).catch(() => null);
            if (image) images.set(name, image);
        }
        return images;
    }

    // Makes the .glb of the entries whose .glb was dropped again, on
    // `runner` (a JobRunner), and draws them; ends the runner.
    async catchUp(runner) {
        const cleared = this.cleared;
        for (let entry; (entry = this.later.shift()) && cleared === this.cleared;) {
            const bytes = await entry.file.arrayBuffer().catch(() => null);
            const result = bytes && await runner.run({ program: "kon2counts", name: baseName(entry.name), bytes });
            const glb = result?.kind === "done" && result.status === 0 ? result.files[0]?.blob : null;
            if (cleared !== this.cleared) break;
            if (!glb) {
                this.take(entry, { none: "no picture" }, cleared);
                continue;
            }
            // One .glb is made while the last is drawn.
            if (this.add(entry, glb) > 1) await new Promise((resolve) => this.room.push(resolve));
        }
        runner.end();
    }

    // Frees every picture, and drops what waits: a new batch starts.
    clear() {
        for (const entry of this.drawn) URL.revokeObjectURL(entry.picture.url);
        Object.assign(this, { drawn: [], waiting: [], waitingBytes: 0, later: [] });
        this.cleared++;
        for (const resolve of this.room.splice(0)) resolve();
    }
}
