// What the view draws on: the WebGL renderer and its canvas, the scene with
// its lights, the camera and its navigation, the axes marker, and the grid
// and marks beside the model (view_aids.js). Without WebGL there is no
// renderer, and nothing is drawn.
import * as THREE from "three";
import { Navigation } from "./navigation.js";
import { ViewAids } from "./view_aids.js";

const kSunFrom = new THREE.Vector3(0.4, 1, 0.7);
export const kBackground = 0xe8eef4;

// The scene's background and lights, the same wherever a model is drawn: { scene, sun }.
export function litScene() {
    const scene = new THREE.Scene();
    scene.background = new THREE.Color(kBackground);
    scene.add(new THREE.HemisphereLight(0xffffff, 0x8a8a80, 2.2));
    const sun = new THREE.DirectionalLight(0xffffff, 1.6);
    scene.add(sun);
    return { scene, sun };
}

// The sun over `sphere`, from `distance` away.
export function aimSun(sun, sphere, distance) {
    sun.position.copy(sphere.center).addScaledVector(kSunFrom, distance);
}

// Frees the meshes and lines `objects`, out of every scene.
export function freeObjects(objects) {
    for (const object of objects) {
        object.geometry.dispose();
        object.material.map?.dispose();
        object.material.dispose();
        object.dispose?.();
    }
}

export class Stage {
    // onChange(): the camera moved and wants a frame; onMoving(moving): see
    // Navigation; onResize(): the container's size changed.
    constructor(container, { onChange, onMoving, onResize }) {
        this.retired = [];  // the objects of the last model, freed after the next frame
        this.lost = false;
        this.onLost = () => {};  // told when the graphics context is lost
        try {
            this.renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
        } catch {
            this.renderer = null;
            return;
        }
        const canvas = this.renderer.domElement;
        this.renderer.setPixelRatio(window.devicePixelRatio);
        this.renderer.localClippingEnabled = true;  // the section cuts the model, not the grid or the marks
        canvas.tabIndex = 0;
        canvas.setAttribute("aria-label", "3D view: drag, or Shift and the arrow keys, to turn; right-drag or the arrow keys to pan; "
            + "scroll, plus and minus to zoom; click an instance to select it; comma and period step through the selected "
            + "instance's corners, Enter measures to the one named; the view's other keys are named on its toolbar");
        container.append(canvas);
        canvas.addEventListener("webglcontextlost", (event) => {
            event.preventDefault();
            this.lost = true;
            this.onLost();
        });
        ({ scene: this.scene, sun: this.sun } = litScene());
        this.aids = new ViewAids(this.scene);
        this.navigation = new Navigation(canvas, onChange, onMoving);
        this.axes = container.ownerDocument.getElementById("axes");
        new ResizeObserver(onResize).observe(container);
    }

    get working() {
        return this.renderer !== null && !this.lost;
    }

    // Sizes the view to its container (a layout read); false when there is no
    // renderer, the container has no size, or the size is as it was.
    fitContainer(container = this.renderer?.domElement.parentElement) {
        const { width, height } = container.getBoundingClientRect();
        const size = this.renderer?.getSize(new THREE.Vector2());
        if (!this.renderer || width === 0 || height === 0 || (size.x === width && size.y === height)) return false;
        this.renderer.setSize(width, height);
        this.navigation.setAspect(width / height);
        this.navigation.controls.keyRotateSpeed = height / 72;  // Shift and an arrow key turn by 5 degrees
        return true;
    }

    // The drawing's height in pixels.
    get height() {
        return this.renderer.getDrawingBufferSize(new THREE.Vector2()).y;
    }

    // Draws the scene, the canvas shown; the axes marker follows.
    draw() {
        this.fitContainer();
        this.renderer.render(this.scene, this.navigation.camera);
        this.renderer.domElement.style.visibility = "";
        // Freed once the browser has shown the frame: its materials have taken the programs over.
        if (this.retired.length) setTimeout(() => this.freeRetired());
        // The marker follows once per screen frame, apart from drawing the view.
        if (this.axes && !this.axesDue) {
            this.axesDue = true;
            requestAnimationFrame(() => {
                this.axesDue = false;
                this.navigation.drawAxes(this.axes);
            });
        }
    }

    // Takes `objects` out of the scene. They are freed after the next frame:
    // a shader program whose last material is freed is deleted, and the next
    // model's materials would compile it again.
    retire(objects) {
        this.scene?.remove(...objects);
        this.retired.push(...objects);
        if (!this.working) this.freeRetired();
    }

    freeRetired() {
        freeObjects(this.retired);
        this.retired = [];
    }

    // Hides the canvas until the next draw.
    hide() {
        this.renderer?.renderLists.dispose();
        if (this.renderer) this.renderer.domElement.style.visibility = "hidden";
    }

    // The sun over `sphere` and from a distance that sees all of it.
    light(sphere) {
        aimSun(this.sun, sphere, this.navigation.distanceToSee(sphere.radius));
    }

    // While the camera is moved, a quarter of the pixels.
    setMoving(moving) {
        this.renderer.setPixelRatio(window.devicePixelRatio * (moving ? 0.5 : 1));
    }

    snapshot() {
        return new Promise((resolve) => this.renderer.domElement.toBlob(resolve, "image/png"));
    }
}
