// What the view draws beside the model: the grid on the ground, the
// measured points and the line between them, and the corner the keys name.
import { groundGrid } from "./navigation.js";
import { measureMarks } from "./picking.js";

export class ViewAids {
    constructor(scene) {
        this.scene = scene;
        this.grid = null;  // { step, helper }
        this.marks = null;
        this.pointMark = null;
    }

    // The grid under `box` (null: none), in squares of `grid.step` units.
    setGrid(box) {
        if (this.grid) {
            this.scene.remove(this.grid.helper);
            this.grid.helper.dispose();
        }
        this.grid = box ? groundGrid(box) : null;
        if (this.grid) this.scene.add(this.grid.helper);
    }

    // Marks the measured points (scene positions) and the line between them.
    setMarks(positions) {
        this.marks = this.replace(this.marks, positions.length ? measureMarks(positions) : null);
    }

    // Marks the corner that the keys name (a scene position; null: none).
    setPointMark(position) {
        this.pointMark = this.replace(this.pointMark, position ? measureMarks([position], 0x1060e0) : null);
    }

    clear() {
        this.setGrid(null);
        this.setMarks([]);
        this.setPointMark(null);
    }

    // Puts `object` (if any) in the place of `old` (if any), which is freed.
    replace(old, object) {
        if (old) {
            this.scene.remove(old);
            old.traverse((part) => {
                part.geometry?.dispose();
                part.material?.dispose();
            });
        }
        if (object) this.scene.add(object);
        return object;
    }
}
