// The selected instance drawn on its own instead of in its slot among the
// others: in full where the frame's budget allows while the others give way,
// and drawn over in a tint that shows on every colour.
import * as THREE from "three";

// Of these, the one farther from a surface's colour tints it, half covering:
// it shows on red as on yellow.
const kTints = [new THREE.Color(1.0, 0.8, 0.0), new THREE.Color(0.0, 0.25, 1.0)];

const distance = (a, b) => Math.hypot(a.r - b.r, a.g - b.g, a.b - b.b);

export class Focus {
    // meshes: the instanced meshes of the model, one per material; their
    // points and triangles are shared, their materials too.
    constructor(scene, meshes) {
        this.scene = scene;
        this.parts = meshes.map((mesh) => {
            const geometry = new THREE.BufferGeometry();
            for (const [name, attribute] of Object.entries(mesh.geometry.attributes)) geometry.setAttribute(name, attribute);
            geometry.setIndex(mesh.geometry.index);
            const surface = new THREE.Mesh(geometry, mesh.material);
            const tint = kTints.reduce((a, b) => (distance(a, mesh.material.color) >= distance(b, mesh.material.color) ? a : b));
            const over = new THREE.Mesh(geometry, new THREE.MeshBasicMaterial({
                color: tint, transparent: true, opacity: 0.5, side: THREE.DoubleSide, depthFunc: THREE.LessEqualDepth, depthWrite: false,
            }));
            for (const object of [surface, over]) {
                Object.assign(object, { matrixAutoUpdate: false, visible: false });
                scene.add(object);
            }
            return { geometry, surface, over, count: mesh.geometry.index.count };
        });
        this.node = null;
    }

    // Draws node `node` placed by `matrix` (node null: none).
    place(node, matrix) {
        this.node = node;
        for (const { surface, over } of this.parts) {
            for (const object of [surface, over]) {
                object.visible = node !== null;
                if (matrix) object.matrix.copy(matrix);
            }
        }
    }

    // Draws the first `fraction` of each material's triangles.
    setDrawn(fraction) {
        for (const { geometry, count } of this.parts) geometry.setDrawRange(0, 3 * Math.floor((fraction * count) / 3));
    }

    // The tint's materials, to be cut as the surfaces are.
    tints() {
        return this.parts.map(({ over }) => over);
    }

    // Frees what the focus holds, with the model: the points, triangles and
    // surfaces' materials are shared with it.
    dispose() {
        for (const { geometry, surface, over } of this.parts) {
            this.scene.remove(surface, over);
            over.material.dispose();
            geometry.dispose();
        }
    }
}
