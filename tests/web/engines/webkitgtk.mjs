// WebKitGTK: Debian's WebKitWebDriver starting its MiniBrowser, driven by
// selenium-webdriver. Run under xvfb-run. MiniBrowser saves downloads into
// $HOME unasked, so its HOME is a folder of its own, removed at the end.
import { spawn } from "node:child_process";
import { mkdtempSync, readdirSync, rmSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import path from "node:path";
import { Builder, By, Key } from "selenium-webdriver";

const libraries = "/usr/lib/x86_64-linux-gnu";
const miniBrowser = () => process.env.MINIBROWSER
    ?? path.join(libraries, readdirSync(libraries).find((name) => /^webkit2gtk-4\.\d$/.test(name)) ?? "webkit2gtk-4.1", "MiniBrowser");

const freePort = () => new Promise((resolve) => {
    const server = createServer().listen(0, "127.0.0.1", () => {
        const { port } = server.address();
        server.close(() => resolve(port));
    });
});

// The WebDriver server on a free port, answering; the process and its HOME.
async function startServer() {
    const port = await freePort();
    const home = mkdtempSync(path.join(tmpdir(), "webkitgtk-home-"));
    const server = spawn("WebKitWebDriver", [`--port=${port}`], { env: { ...process.env, HOME: home }, stdio: "ignore" });
    const url = `http://127.0.0.1:${port}`;
    for (let tries = 0; ; tries++) {
        try {
            if ((await fetch(`${url}/status`)).ok) return { url, server, home };
        } catch (error) {
            if (tries === 100 || server.exitCode !== null) throw new Error(`WebKitWebDriver did not start: ${error.message}`);
        }
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
}

// The part of a screenshot of the window that shows `selector`, as base64 PNG.
// (An element's own screenshot of a WebGL canvas can show an older frame.)
const cropped = `return (async (png, selector) => {
    const image = new Image();
    image.src = "data:image/png;base64," + png;
    await image.decode();
    const box = document.querySelector(selector).getBoundingClientRect();
    const canvas = Object.assign(document.createElement("canvas"), { width: box.width, height: box.height });
    canvas.getContext("2d").drawImage(image, -box.left, -box.top);
    return canvas.toDataURL("image/png").split(",")[1];
})(arguments[0], arguments[1]);`;

// A key as selenium names it; "Shift+ArrowLeft" as a chord.
const keyOf = (name) => {
    const [, modifier, key] = /^(?:(Shift|Control)\+)?(.+)$/.exec(name);
    const one = key.length === 1 ? key : Key[key.replace(/([a-z])([A-Z])/g, "$1_$2").toUpperCase()];
    return modifier ? Key.chord(Key[modifier.toUpperCase()], one) : one;
};

export async function launch() {
    const { url, server, home } = await startServer();
    const stop = () => {
        server.kill();
        rmSync(home, { recursive: true, force: true });
    };
    let driver;
    try {
        driver = await new Builder().usingServer(url).withCapabilities({
            browserName: "MiniBrowser",
            "webkitgtk:browserOptions": { binary: miniBrowser(), args: ["--automation"] },
        }).build();
        // A viewport of 1100 × 700, as the other engines have: the window adds MiniBrowser's toolbar.
        await driver.manage().window().setRect({ width: 1100, height: 700 });
        const [width, height] = await driver.executeScript("return [innerWidth, innerHeight];");
        await driver.manage().window().setRect({ width: 2200 - width, height: 1400 - height });
    } catch (error) {
        stop();
        throw error;
    }
    const find = (selector) => driver.findElement(By.css(selector));
    const version = (await driver.getCapabilities()).get("browserVersion");
    return {
        name: "WebKitGTK",
        version,
        open: (address) => driver.get(address),
        evaluate: (fn, arg) => driver.executeScript(`return (${fn})(arguments[0]);`, arg),
        setFiles: async (selector, paths) => (await find(selector)).sendKeys(paths.join("\n")),
        click: async (selector) => (await find(selector)).click(),
        // Offsets of a pointer move count from the element's centre.
        clickAt: async (selector, x, y) => {
            const element = await find(selector);
            const { width, height } = await element.getRect();
            await driver.actions().move({ origin: element, x: Math.round(x - width / 2), y: Math.round(y - height / 2) }).click().perform();
        },
        press: async (selector, keys) => (await find(selector)).sendKeys(...keys.map(keyOf)),
        screenshot: async (selector) => Buffer.from(await driver.executeScript(cropped, await driver.takeScreenshot(), selector), "base64"),
        close: async () => {
            await driver.quit().catch(() => {});
            stop();
        },
    };
}
