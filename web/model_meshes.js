// The model's full mesh as the scene draws it: one instanced mesh per
// material, all sharing one list of instance matrices, and the stand-ins of
// the instances beyond the budget: boxes, or dots at their centres when
// there are very many. Either the first `full` instances are drawn in full
// (`fixed`), or each frame names those that are (placeFull, where far ones
// are drawn simplified: detail.js).
import * as THREE from "three";

export const kStandIn = 0x5a6a80;  // the colour of boxes and dots
const kStandInColour = new THREE.Color(kStandIn);
const kStandInSelected = new THREE.Color(0xff7a00);
const kHidden = new THREE.Matrix4().makeScale(0, 0, 0);

export class ModelMeshes {
    // model: readGlb's; images: NNNN to ImageBitmap; nodes: { matrices,
    // drawable (per node), full, fraction, bulk (Box3), boxesArePoints }.
    constructor(scene, model, images, nodes) {
        this.scene = scene;
        Object.assign(this, nodes);
        this.matrixList = new THREE.InstancedBufferAttribute(new Float32Array(16 * this.full), 16);
        this.meshes = [];
        this.drawn = this.addModel(model, images);
        this.boxes = this.full < this.matrices.length ? this.addBoxes() : null;
        this.fixed = true;
    }

    // Node i's matrix where it can be drawn, else one that hides it.
    drawnMatrix(i) {
        return this.drawable[i] ? this.matrices[i] : kHidden;
    }

    // One instanced mesh per material; returns the triangles drawn of one instance.
    addModel(model, images) {
        const points = model.positions.length / 3;
        const marks = { stamp: new Int32Array(points), number: new Int32Array(points) };
        for (let i = 0; i < this.full; i++) this.drawnMatrix(i).toArray(this.matrixList.array, 16 * i);
        let drawn = 0;
        for (const [generation, primitive] of model.primitives.entries()) {
            const geometry = compactGeometry(model, primitive.indices, marks, generation + 1);
            const count = 3 * Math.floor((this.fraction * primitive.indices.length) / 3);
            geometry.setDrawRange(0, count);
            drawn += count / 3;
            const mesh = new THREE.InstancedMesh(geometry, surfaceMaterial(model, primitive.material, images), 0);
            mesh.instanceMatrix = this.matrixList;
            mesh.count = this.full;
            mesh.userData.count = primitive.indices.length;
            // The instances span the model, which is nearly always in sight: culling
            // would cost each mesh a sphere round every instance, for nothing.
            mesh.frustumCulled = false;
            this.scene.add(mesh);
            this.meshes.push(mesh);
        }
        return drawn;
    }

    // The bulk's box placed by every instance that is not drawn in full, or
    // when there are very many, a dot at its centre.
    addBoxes() {
        const count = this.matrices.length - this.full;
        const center = this.bulk.getCenter(new THREE.Vector3());
        let boxes;
        if (this.boxesArePoints) {
            this.centres = new Float32Array(3 * count).fill(NaN);  // NaN: not drawn
            for (let i = 0; i < count; i++) {
                if (this.drawable[this.full + i]) center.clone().applyMatrix4(this.matrices[this.full + i]).toArray(this.centres, 3 * i);
            }
            const geometry = new THREE.BufferGeometry();
            geometry.setAttribute("position", new THREE.BufferAttribute(this.centres.slice(), 3));
            const colours = new Float32Array(3 * count);
            for (let i = 0; i < count; i++) kStandInColour.toArray(colours, 3 * i);
            geometry.setAttribute("color", new THREE.BufferAttribute(colours, 3));
            boxes = new THREE.Points(geometry, new THREE.PointsMaterial({ vertexColors: true, size: 3, sizeAttenuation: false }));
            boxes.frustumCulled = false;  // the dots not drawn are NaN, which no bounding sphere holds
        } else {
            const size = this.bulk.getSize(new THREE.Vector3());
            const geometry = new THREE.BoxGeometry(size.x, size.y, size.z);
            geometry.translate(center.x, center.y, center.z);
            boxes = new THREE.InstancedMesh(geometry, new THREE.MeshBasicMaterial({ wireframe: true }), count);
            for (let i = 0; i < count; i++) {
                boxes.setMatrixAt(i, this.drawnMatrix(this.full + i));
                boxes.setColorAt(i, kStandInColour);
            }
        }
        this.scene.add(boxes);
        return boxes;
    }

    // Node i drawn (`drawn`) or not, its stand-in highlighted or not, where the first `full` are drawn in full.
    setNode(i, drawn, highlighted) {
        if (i < this.full) {
            if (this.fixed) {
                (drawn ? this.drawnMatrix(i) : kHidden).toArray(this.matrixList.array, 16 * i);
                this.matrixList.needsUpdate = true;
            }
        } else if (this.boxesArePoints) {
            const k = i - this.full;
            const { position, color } = this.boxes.geometry.attributes;
            position.setXYZ(k, ...(drawn ? this.centres.subarray(3 * k, 3 * k + 3) : [NaN, NaN, NaN]));
            color.setXYZ(k, ...(highlighted ? kStandInSelected : kStandInColour));
            position.needsUpdate = color.needsUpdate = true;
        } else if (this.boxes) {
            this.boxes.setMatrixAt(i - this.full, drawn ? this.drawnMatrix(i) : kHidden);
            this.boxes.setColorAt(i - this.full, highlighted ? kStandInSelected : kStandInColour);
            this.boxes.instanceMatrix.needsUpdate = this.boxes.instanceColor.needsUpdate = true;
        }
    }

    // Draws in full the nodes `nodes` (at most `full`) for this frame, and no stand-in.
    placeFull(nodes) {
        this.fixed = false;
        nodes.forEach((node, slot) => this.matrices[node].toArray(this.matrixList.array, 16 * slot));
        this.setCount(nodes.length);
        if (this.boxes) this.boxes.visible = false;
    }

    // Back to the first `full` nodes drawn in full, those for which drawn(i)
    // holds, and the others' stand-ins.
    placeFixed(drawn) {
        if (this.fixed) return;
        this.fixed = true;
        for (let i = 0; i < this.full; i++) (drawn(i) ? this.drawnMatrix(i) : kHidden).toArray(this.matrixList.array, 16 * i);
        this.setCount(this.full);
        if (this.boxes) this.boxes.visible = true;
    }

    setCount(count) {
        for (const mesh of this.meshes) {
            mesh.count = count;
            mesh.visible = count > 0;
        }
        this.matrixList.clearUpdateRanges();
        this.matrixList.addUpdateRange(0, 16 * count);
        this.matrixList.needsUpdate = true;
    }

    // Draws the first `share` of each material's triangles.
    setShare(share) {
        for (const mesh of this.meshes) mesh.geometry.setDrawRange(0, 3 * Math.floor((share * mesh.userData.count) / 3));
    }

    objects() {
        return [...this.meshes, this.boxes].filter(Boolean);
    }
}

// The points that these triangles use, and the triangles renumbered to them:
// a software renderer (SwiftShader) transforms every point of a draw's index
// range, so one shared array of all points would cost every material all of
// them. `marks` (one entry per point) hold the new number of each point
// taken for the geometry stamped `stamp`.
function compactGeometry(model, indices, marks, stamp) {
    const taken = new Int32Array(indices.length);
    const renumbered = new Uint32Array(indices.length);
    let count = 0;
    for (let i = 0; i < indices.length; i++) {
        const point = indices[i];
        if (marks.stamp[point] !== stamp) {
            marks.stamp[point] = stamp;
            marks.number[point] = count;
            taken[count++] = point;
        }
        renumbered[i] = marks.number[point];
    }
    const positions = new Float32Array(3 * count);
    const uvs = new Float32Array(2 * count);
    for (let k = 0; k < count; k++) {
        const point = taken[k];
        for (let axis = 0; axis < 3; axis++) positions[3 * k + axis] = model.positions[3 * point + axis];
        uvs[2 * k] = model.uvs[2 * point];
        uvs[2 * k + 1] = model.uvs[2 * point + 1];
    }
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute("position", new THREE.BufferAttribute(positions, 3));
    geometry.setAttribute("uv", new THREE.BufferAttribute(uvs, 2));
    geometry.setIndex(new THREE.BufferAttribute(count < 65536 ? new Uint16Array(renumbered) : renumbered, 1));
    return geometry;
}

function surfaceMaterial(model, index, images) {
    const source = model.materials[index];
    const material = new THREE.MeshStandardMaterial({
        color: new THREE.Color().setRGB(...source.color, THREE.LinearSRGBColorSpace),
        side: THREE.DoubleSide, metalness: 0, roughness: 1, flatShading: true,
        polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1,
    });
    const image = source.texture >= 0 ? images.get(model.textureNames[source.texture]) : undefined;
    if (image) {
        material.map = new THREE.Texture(image);
        material.map.flipY = false;  // glTF's texture coordinates start at the top
        material.map.colorSpace = THREE.SRGBColorSpace;
        material.map.needsUpdate = true;
    }
    return material;
}

// Each material's colour in linear RGB as one colour per corner gives it:
// its colour times its texture's mean, where it has one.
export function flatColours(model, images) {
    return model.materials.map((source) => {
        const image = source.texture >= 0 ? images.get(model.textureNames[source.texture]) : undefined;
        const mean = image ? meanColour(image) : [1, 1, 1];
        return source.color.map((value, axis) => value * mean[axis]);
    });
}

// The picture's mean colour, linear, from a copy 8 by 8 pixels large.
function meanColour(image) {
    const canvas = document.createElement("canvas");
    canvas.width = canvas.height = 8;
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0, 8, 8);
    const pixels = context.getImageData(0, 0, 8, 8).data;
    const sums = [0, 0, 0];
    for (let p = 0; p < pixels.length; p += 4) for (let axis = 0; axis < 3; axis++) sums[axis] += pixels[p + axis];
    return sums.map((sum) => new THREE.Color().setRGB(sum / 64 / 255, 0, 0, THREE.SRGBColorSpace).r);
}
