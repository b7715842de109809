// Frames timed inside the page, for page.evaluate: a drag across the view
// in 10 pointer moves, turning it by 36 degrees in all, each frame finished
// by reading a pixel; resolves with the mean ms a frame.
export function orbitFrames() {
    const canvas = document.querySelector("#view canvas");
    const gl = canvas.getContext("webgl2");
    const pixel = new Uint8Array(4);
    const at = (x) => ({ pointerId: 1, isPrimary: true, pointerType: "mouse", button: 0, buttons: 1, clientX: x, clientY: 300, bubbles: true });
    // A step of a hundredth of the view's height turns the camera by 3.6 degrees, whatever its size.
    const step = canvas.clientHeight / 100;
    canvas.dispatchEvent(new PointerEvent("pointerdown", at(300)));
    const start = performance.now();
    for (let i = 1; i <= 10; i++) {
        canvas.ownerDocument.dispatchEvent(new PointerEvent("pointermove", at(300 + step * i)));
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    }
    const time = (performance.now() - start) / 10;
    canvas.ownerDocument.dispatchEvent(new PointerEvent("pointerup", at(500)));
    return time;
}
