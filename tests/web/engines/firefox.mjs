// Debian's Firefox ESR driven by puppeteer-core over WebDriver BiDi. It draws
// WebGL only with a display: run under xvfb-run with LIBGL_ALWAYS_SOFTWARE=1.
import puppeteer from "puppeteer-core";

export async function launch() {
    const browser = await puppeteer.launch({
        browser: "firefox",
        executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr",
        headless: false,
        defaultViewport: { width: 1100, height: 700 },
        extraPrefsFirefox: { "network.proxy.type": 0, "browser.shell.checkDefaultBrowser": false },
    });
    const page = await browser.newPage();
    return {
        name: "Firefox",
        version: await browser.version(),
        open: (url) => page.goto(url),
        evaluate: (fn, arg) => page.evaluate(fn, arg),
        setFiles: async (selector, paths) => (await page.$(selector)).uploadFile(...paths),
        click: (selector) => page.click(selector),
        clickAt: async (selector, x, y) => {
            const box = await (await page.$(selector)).boundingBox();
            await page.mouse.click(box.x + x, box.y + y);
        },
        press: async (selector, keys) => {
            await page.focus(selector);
            for (const key of keys) {
                const [, modifier, name] = /^(?:(Shift|Control)\+)?(.+)$/.exec(key);
                if (modifier) await page.keyboard.down(modifier);
                await page.keyboard.press(name);
                if (modifier) await page.keyboard.up(modifier);
            }
        },
        screenshot: async (selector) => Buffer.from(await (await page.$(selector)).screenshot()),
        saveToFile: (path) => page.screenshot({ path }),
        close: () => browser.close(),
    };
}
