// The camera and navigation: orbit, perspective or orthographic, fit all or
// a box, the standard views named in the file's axes, and the axes marker.
import * as THREE from "three";
import { OrbitControls } from "three/examples/jsm/controls/OrbitControls.js";

// A point (x, y, z) of the file is (x, -y, -z) in the scene (glTF's axes),
// so the file's -y is up. Each view looks from `from` at the model: top
// from the file's -y (a hair towards -z, so that the file's z points up on
// the screen), front from -z, side from +x.
const kViews = {
    top: [0, 1, 1e-6],
    front: [0, 0, 1],
    side: [1, 0, 0],
    oblique: [0.55, 0.45, 1],
};
// How long the camera must rest after a drag, pinch or wheel before the full frame.
const kRestMs = 150;
const kFileAxes = [["x", [1, 0, 0], "#c0392b"], ["y", [0, -1, 0], "#2e8b3a"], ["z", [0, 0, -1], "#2858b8"]];
const kFov = 40;
const kHalfFov = THREE.MathUtils.degToRad(kFov / 2);  // the perspective camera's, vertically

// How far from a sphere of `radius` the perspective camera of `aspect` sees all of it.
export function distanceToSee(radius, aspect) {
    const horizontal = Math.atan(Math.tan(kHalfFov) * aspect);
    return (1.1 * Math.max(radius, 1e-3)) / Math.sin(Math.min(kHalfFov, horizontal));
}

// Places `camera` to look at `box` from the direction of the view `name`,
// the whole box in sight at `aspect`: { sphere: the box's, distance }.
export function fitCamera(camera, box, aspect, name = "oblique") {
    const sphere = box.getBoundingSphere(new THREE.Sphere());
    const distance = distanceToSee(sphere.radius, aspect);
    camera.position.copy(sphere.center).addScaledVector(new THREE.Vector3(...kViews[name]).normalize(), distance);
    camera.lookAt(sphere.center);
    return { sphere, distance };
}

// A perspective camera as the view's, of `aspect`.
export function viewCamera(aspect) {
    return new THREE.PerspectiveCamera(kFov, aspect, 1, 1000);
}

export class Navigation {
    // onChange(): the view moved and wants a frame. onMoving(moving): a drag,
    // pinch or wheel started to move the camera (true), or it has rested
    // for kRestMs since (false): wheel notches come as many short moves.
    constructor(canvas, onChange, onMoving) {
        this.perspective = viewCamera(1);
        this.orthographic = new THREE.OrthographicCamera(-1, 1, 1, -1, 1, 1000);
        this.camera = this.perspective;
        this.aspect = 1;
        this.radius = 1;  // of everything placed, for the orthographic depth range
        this.controls = new OrbitControls(this.camera, canvas);
        this.controls.listenToKeyEvents(canvas);  // keys elsewhere on the page never move the view
        let pressed = false;
        let moving = false;
        let resting = null;
        this.quiet = false;  // while the page itself moves the camera: one frame, drawn by the caller
        this.controls.addEventListener("start", () => {
            pressed = true;
            clearTimeout(resting);
        });
        this.controls.addEventListener("change", () => {
            if (this.quiet) return;
            if (pressed && !moving) onMoving((moving = true));
            this.followCamera();
            onChange();
        });
        this.controls.addEventListener("end", () => {
            pressed = false;
            if (moving) resting = setTimeout(() => onMoving((moving = false)), kRestMs);
        });
        this.onChange = onChange;
    }

    get orthographicShown() {
        return this.camera === this.orthographic;
    }

    setAspect(aspect) {
        this.aspect = aspect;
        this.perspective.aspect = aspect;
        this.shapeOrthographic(this.orthographic.top);
        this.perspective.updateProjectionMatrix();
    }

    // How far from a sphere of `radius` the perspective camera sees all of it.
    distanceToSee(radius) {
        return distanceToSee(radius, this.aspect);
    }

    // Looks at `box` from the direction of the view `name`, the whole box in sight.
    fit(box, name = "oblique") {
        const { sphere, distance } = fitCamera(this.camera, box, this.aspect, name);
        this.camera.zoom = 1;
        this.shapeOrthographic(distance * Math.tan(kHalfFov));
        this.controls.target.copy(sphere.center);
        this.moved();
    }

    // The orthographic camera's half height, its width following the view's.
    shapeOrthographic(halfHeight) {
        Object.assign(this.orthographic, { top: halfHeight, bottom: -halfHeight, left: -halfHeight * this.aspect, right: halfHeight * this.aspect });
        this.orthographic.updateProjectionMatrix();
    }

    // Switches between perspective and orthographic, keeping what is in sight.
    setOrthographic(on) {
        if (on === this.orthographicShown) return;
        const target = this.controls.target;
        const distance = this.camera.position.distanceTo(target);
        const tangent = Math.tan(kHalfFov);
        const next = on ? this.orthographic : this.perspective;
        next.position.copy(this.camera.position);
        if (on) {
            this.shapeOrthographic((distance * tangent) / this.perspective.zoom);
        } else {
            const sight = this.orthographic.top / this.orthographic.zoom / tangent;
            next.position.sub(target).setLength(sight).add(target);
        }
        next.zoom = 1;
        next.quaternion.copy(this.camera.quaternion);
        this.camera = next;
        this.controls.object = next;
        this.moved();
    }

    // Moves closer by `factor` (below 1: away), as the wheel does.
    zoom(factor) {
        if (this.orthographicShown) {
            this.camera.zoom *= factor;
        } else {
            const target = this.controls.target;
            this.camera.position.sub(target).divideScalar(factor).add(target);
        }
        this.moved();
    }

    // After the page moved the camera itself: the controls follow, and one frame is drawn.
    moved() {
        this.quiet = true;
        this.controls.update();
        this.quiet = false;
        this.followCamera();
        this.onChange();
    }

    // Near and far planes around what the camera looks at, so that zooming
    // in or out never cuts the model away.
    followCamera() {
        const distance = Math.max(this.camera.position.distanceTo(this.controls.target), 1e-6);
        if (this.orthographicShown) {
            this.camera.near = distance - 4 * this.radius;
            this.camera.far = distance + 4 * this.radius;
        } else {
            this.camera.near = distance / 100;
            this.camera.far = distance * 100;
        }
        this.camera.updateProjectionMatrix();
    }

    // Turns the marker of the file's x, y and z in `svg` (60 by 60) as the
    // camera is turned, the axis nearest the viewer on top.
    drawAxes(svg) {
        if (!svg.firstChild) {
            svg.innerHTML = kFileAxes.map(([name, , colour]) => `<g data-axis="${name}"><line x1="30" y1="30" stroke="${colour}" stroke-width="2.5"/>`
                + `<text fill="${colour}" text-anchor="middle">${name}</text></g>`).join("");
        }
        const toCamera = this.camera.quaternion.clone().invert();
        const axes = kFileAxes.map(([name, direction]) => ({
            group: svg.querySelector(`[data-axis="${name}"]`), v: new THREE.Vector3(...direction).applyQuaternion(toCamera),
        }));
        for (const { group, v } of axes.sort((a, b) => a.v.z - b.v.z)) {
            const at = (length, down = 0) => [30 + length * v.x, 30 + down - length * v.y].map((value) => value.toFixed(1));
            const [[x, y], [lx, ly]] = [at(16), at(24, 4)];
            const [line, text] = group.children;
            line.setAttribute("x2", x);
            line.setAttribute("y2", y);
            text.setAttribute("x", lx);
            text.setAttribute("y", ly);
            svg.append(group);
        }
    }
}

// The plane that keeps what lies up to `at` (0 to 1 across `box`) along the
// file's axis `axis` ("x", "y" or "z"), or from there on when `flipped`.
export function sectionPlane(box, axis, at, flipped) {
    const along = new THREE.Vector3(...kFileAxes.find(([name]) => name === axis)[1]);
    const [a, b] = [along.dot(box.min), along.dot(box.max)];
    const cut = Math.min(a, b) + at * Math.abs(b - a);
    return flipped ? new THREE.Plane(along, -cut) : new THREE.Plane(along.clone().negate(), cut);
}

// A grid on the ground under `box` (the scene's -y is the file's down), its
// square 1, 2 or 5 times a power of ten units, about a tenth of the box, its
// lines at the file's multiples of it: { step, helper }.
export function groundGrid(box) {
    const size = box.getSize(new THREE.Vector3());
    const extent = Math.max(size.x, size.z, 1e-6);
    const power = 10 ** Math.floor(Math.log10(extent / 10));
    const step = [1, 2, 5, 10].map((k) => k * power).find((candidate) => candidate >= extent / 10);
    const squares = 2 * Math.ceil(extent / step) + 4;
    const helper = new THREE.GridHelper(squares * step, squares, 0x8090a0, 0xb8c2cc);
    const center = box.getCenter(new THREE.Vector3());
    // An even number of squares about a multiple of the step has its lines at multiples of it.
    helper.position.set(Math.round(center.x / step) * step, box.min.y, Math.round(center.z / step) * step);
    return { step, helper };
}
