// Chromium (Debian's, or $CHROMIUM) driven by playwright-core; every request
// that leaves the machine is refused and counted (requests(), which only this
// driver has; saveToFile is for --screenshot).
import { chromium } from "playwright-core";

export async function launch() {
    const browser = await chromium.launch({
        executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
        args: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--no-first-run"],
    });
    let requests = 0;
    const context = await browser.newContext({ viewport: { width: 1100, height: 700 } });
    await context.route(/^(?!file:|data:|blob:)/, (route) => {
        requests++;
        route.abort();
    });
    const page = await context.newPage();
    return {
        name: "Chromium",
        version: browser.version(),
        open: (url) => page.goto(url),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        setFiles: (selector, paths) => page.setInputFiles(selector, paths),
        click: (selector) => page.click(selector),
        clickAt: async (selector, x, y) => {
            const box = await page.locator(selector).boundingBox();
            await page.mouse.click(box.x + x, box.y + y);
        },
        press: async (selector, keys) => {
            await page.focus(selector);
            for (const key of keys) await page.keyboard.press(key);
        },
        screenshot: (selector) => page.locator(selector).screenshot(),
        saveToFile: (path) => page.screenshot({ path }),
        requests: () => requests,
        close: () => browser.close(),
    };
}
