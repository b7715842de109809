// The 3D view: three.js draws the model's instances upright, lit and fitted,
// one instanced mesh per material, within a triangle budget; instances beyond
// it are drawn as boxes, and the panel says so.
import * as THREE from "three";
import { OrbitControls } from "three/examples/jsm/controls/OrbitControls.js";

const kTriangleBudget = 4_000_000;
const kHighlight = new THREE.Color(1.0, 0.75, 0.2);
const kPlain = new THREE.Color(1, 1, 1);
const kHidden = new THREE.Matrix4().makeScale(0, 0, 0);

export class Viewer {
    // onLost(): told when the 3D view stops working (no WebGL, or the context lost).
    constructor(container, onLost) {
        this.meshes = [];  // the instanced meshes of full instances, edges among them
        this.boxes = null;  // the stand-in boxes
        this.matrices = [];
        this.full = 0;
        try {
            this.renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
        } catch {
            this.renderer = null;
            onLost();
            return;
        }
        this.renderer.setPixelRatio(window.devicePixelRatio);
        container.append(this.renderer.domElement);
        this.renderer.domElement.addEventListener("webglcontextlost", (event) => {
            event.preventDefault();
            onLost();
        });
        this.scene = new THREE.Scene();
        this.scene.background = new THREE.Color(0xe8eef4);
        this.scene.add(new THREE.HemisphereLight(0xffffff, 0x8a8a80, 2.2));
        this.sun = new THREE.DirectionalLight(0xffffff, 1.6);
        this.scene.add(this.sun);
        this.camera = new THREE.PerspectiveCamera(40, 1, 1, 1000);
        this.controls = new OrbitControls(this.camera, this.renderer.domElement);
        this.controls.listenToKeyEvents(window);
        this.controls.addEventListener("change", () => this.render());
        this.edgesShown = false;
        new ResizeObserver(() => this.resize(container)).observe(container);
        this.resize(container);
    }

    get working() {
        return this.renderer !== null;
    }

    resize(container) {
        const { width, height } = container.getBoundingClientRect();
        if (!this.renderer || width === 0 || height === 0) return;
        this.renderer.setSize(width, height);
        this.camera.aspect = width / height;
        this.camera.updateProjectionMatrix();
        this.render();
    }

    render() {
        if (this.renderer) this.renderer.render(this.scene, this.camera);
    }

    // Frees everything the last model held.
    clear() {
        for (const object of [...this.meshes, this.boxes].filter(Boolean)) {
            this.scene.remove(object);
            object.geometry.dispose();
            object.material.map?.dispose();
            object.material.dispose();
            object.dispose();
        }
        this.meshes = [];
        this.boxes = null;
        this.matrices = [];
        this.full = 0;
        this.renderer?.renderLists.dispose();
        this.render();
    }

    // Shows a model read by readGlb; `images` maps NNNN to an ImageBitmap.
    // Returns how many instances are drawn in full.
    show(model, images) {
        this.clear();
        if (!this.renderer || !model.positions) return 0;
        const triangles = model.primitives.reduce((sum, p) => sum + p.indices.length / 3, 0);
        this.full = Math.min(model.nodes.length, Math.max(1, Math.floor(kTriangleBudget / Math.max(triangles, 1))));
        this.matrices = model.nodes.map((node) => new THREE.Matrix4().compose(
            new THREE.Vector3(...node.translation), new THREE.Quaternion(...node.rotation), new THREE.Vector3(...node.scale)));
        const position = new THREE.BufferAttribute(model.positions, 3);
        const uv = new THREE.BufferAttribute(model.uvs, 2);
        for (const primitive of model.primitives) {
            const geometry = new THREE.BufferGeometry();
            geometry.setAttribute("position", position);
            geometry.setAttribute("uv", uv);
            geometry.setIndex(new THREE.BufferAttribute(primitive.indices, 1));
            const surface = this.addInstanced(geometry, surfaceMaterial(model, primitive.material, images));
            const edges = this.addInstanced(geometry, new THREE.MeshBasicMaterial({ color: 0x202020, wireframe: true }));
            edges.instanceMatrix = surface.instanceMatrix;
            edges.visible = this.edgesShown;
            edges.userData.edges = true;
        }
        if (this.full < model.nodes.length) this.addBoxes(model);
        this.fit(model);
        return this.full;
    }

    addInstanced(geometry, material) {
        const mesh = new THREE.InstancedMesh(geometry, material, this.full);
        for (let i = 0; i < this.full; i++) {
            mesh.setMatrixAt(i, this.matrices[i]);
            mesh.setColorAt(i, kPlain);
        }
        this.scene.add(mesh);
        this.meshes.push(mesh);
        return mesh;
    }

    // The points' box placed by every instance that is not drawn in full.
    addBoxes(model) {
        const { min, max } = model.box;
        const geometry = new THREE.BoxGeometry(max[0] - min[0], max[1] - min[1], max[2] - min[2]);
        geometry.translate((min[0] + max[0]) / 2, (min[1] + max[1]) / 2, (min[2] + max[2]) / 2);
        const count = model.nodes.length - this.full;
        this.boxes = new THREE.InstancedMesh(geometry, new THREE.MeshBasicMaterial({ color: 0x5a6a80, wireframe: true }), count);
        for (let i = 0; i < count; i++) this.boxes.setMatrixAt(i, this.matrices[this.full + i]);
        this.scene.add(this.boxes);
    }

    // Points the camera at the placed model from the front, a little above.
    fit(model) {
        const box = new THREE.Box3();
        const corners = new THREE.Box3(new THREE.Vector3(...model.box.min), new THREE.Vector3(...model.box.max));
        for (const matrix of this.matrices) box.union(corners.clone().applyMatrix4(matrix));
        const sphere = box.getBoundingSphere(new THREE.Sphere());
        const radius = Math.max(sphere.radius, 1e-3);
        const vertical = THREE.MathUtils.degToRad(this.camera.fov / 2);
        const horizontal = Math.atan(Math.tan(vertical) * this.camera.aspect);
        const distance = (1.1 * radius) / Math.sin(Math.min(vertical, horizontal));
        this.camera.near = distance / 100;
        this.camera.far = distance * 100;
        this.camera.position.copy(sphere.center).add(new THREE.Vector3(0.55, 0.45, 1).normalize().multiplyScalar(distance));
        this.camera.updateProjectionMatrix();
        this.sun.position.copy(sphere.center).add(new THREE.Vector3(0.4, 1, 0.7).multiplyScalar(distance));
        this.controls.target.copy(sphere.center);
        this.controls.update();
        this.render();
        this.size = box.getSize(new THREE.Vector3());
    }

    setEdges(shown) {
        this.edgesShown = shown;
        for (const mesh of this.meshes) if (mesh.userData.edges) mesh.visible = shown;
        this.render();
    }

    // Node i drawn (or not), highlighted (or not).
    setNode(i, { visible, highlighted }) {
        if (i < this.full) {
            for (const mesh of this.meshes) {
                if (mesh.userData.edges) continue;
                mesh.setMatrixAt(i, visible ? this.matrices[i] : kHidden);
                mesh.setColorAt(i, highlighted ? kHighlight : kPlain);
                mesh.instanceMatrix.needsUpdate = true;
                mesh.instanceColor.needsUpdate = true;
            }
        } else if (this.boxes) {
            this.boxes.setMatrixAt(i - this.full, visible ? this.matrices[i] : kHidden);
            this.boxes.instanceMatrix.needsUpdate = true;
        }
    }

    snapshot() {
        this.render();
        return new Promise((resolve) => this.renderer.domElement.toBlob(resolve, "image/png"));
    }
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
