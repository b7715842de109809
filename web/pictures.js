// Small pictures of models, for the batch's cards: the fitted, lit view of
// the 3D view's first frame, in its colours, drawn offscreen by a renderer
// of their own (the view's keeps its model), one picture at a time. Where
// the model has more instances than the frame draws in full, the picture
// waits (at most kLevelsWait ms) for the simplified levels, as the view's
// frames draw once they come.
import * as THREE from "three";
import { DrawnModel } from "./drawn_model.js";
import { kTriangleBudget, layOut } from "./layout.js";
import { fitCamera, viewCamera } from "./navigation.js";
import { aimSun, freeObjects, litScene } from "./stage.js";

const kLevelsWait = 2000;
export const kPictureWidth = 160;
export const kPictureHeight = 120;

export class PictureMaker {
    // makeLevels: as the Viewer's (simplified levels for far instances), or null.
    constructor(makeLevels) {
        this.makeLevels = makeLevels;
        this.lost = false;
        try {
            this.renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true, canvas: document.createElement("canvas") });
        } catch {
            this.renderer = null;
            return;
        }
        this.renderer.setPixelRatio(1);
        this.renderer.setSize(kPictureWidth, kPictureHeight, false);
        this.renderer.domElement.addEventListener("webglcontextlost", () => {
            this.lost = true;
        });
        ({ scene: this.scene, sun: this.sun } = litScene());
        this.camera = viewCamera(kPictureWidth / kPictureHeight);
        this.retired = [];  // the last picture's meshes: freed after the next one is drawn, whose shaders they share
    }

    get working() {
        return this.renderer !== null && !this.lost;
    }

    // Draws `model` (readGlb's) with `images` (NNNN to ImageBitmap). Resolves
    // once it is drawn with { png: a promise of its PNG Blob, encoded
    // meanwhile }, or with why there is no picture: "nothing to draw", as
    // the view would draw nothing, or "no face has an area", as it would say.
    async draw(model, images) {
        if (!this.working) return "no picture";
        if (model.positions === null || !model.nodes.length) return "nothing to draw";
        const layout = layOut(model);
        if (layout.fitted.isEmpty()) return "nothing to draw";
        if (layout.zeroArea) return "no face has an area";
        const drawn = new DrawnModel(this.scene, model, images, { ...layout, budget: kTriangleBudget });
        let current = true;  // levels that come later are not for this picture
        try {
            if (layout.full < model.nodes.length && this.makeLevels) await this.levels(drawn, () => current && this.working);
            if (!this.working) return "no picture";
            this.frame(layout.fitted);
            drawn.apply(this.camera, kPictureHeight, false);
            this.renderer.render(this.scene, this.camera);
            // The canvas is copied at once; the next picture may be drawn while this one is encoded.
            return { png: new Promise((resolve) => this.renderer.domElement.toBlob(resolve, "image/png")) };
        } finally {
            current = false;
            this.release();
            drawn.dispose((objects) => {
                this.scene.remove(...objects);
                this.retired.push(...objects);
            });
        }
    }

    // The simplified levels of `drawn`, taken while `wanted()`, or none if they take longer than kLevelsWait.
    levels(drawn, wanted) {
        let waited;
        const wait = new Promise((resolve) => { waited = setTimeout(resolve, kLevelsWait); });
        const made = drawn.askForLevels(this.makeLevels, { wanted, clip: () => {}, ready: () => {} });
        return Promise.race([made, wait]).finally(() => clearTimeout(waited));
    }

    // Frees the last picture's meshes: the next one is drawn, or none is to come.
    release() {
        freeObjects(this.retired);
        this.retired = [];
    }

    // The camera and the sun as the view's first frame has them for `box`.
    frame(box) {
        const { sphere, distance } = fitCamera(this.camera, box, this.camera.aspect);
        Object.assign(this.camera, { near: distance / 100, far: distance * 100 });
        this.camera.updateProjectionMatrix();
        this.camera.updateMatrixWorld();
        aimSun(this.sun, sphere, distance);
    }
}
