// Tests of the page's WASI layer where the programs' runs do not reach it:
// writes after a seek, and the console without its prompts.
import assert from "node:assert/strict";
import test from "node:test";
import { MemoryWasi } from "../../web/wasi.js";

const encode = (text) => new TextEncoder().encode(text);

// A layer over one page of memory, with calls that take texts instead of pointers.
function layer(options) {
    const wasi = new MemoryWasi(["kon2x"], new Map(), options);
    wasi.memory = new WebAssembly.Memory({ initial: 1 });
    const put = (at, bytes) => new Uint8Array(wasi.memory.buffer).set(bytes, at);
    return {
        wasi,
        create(name) {
            put(512, encode(name));
            assert.equal(wasi.path_open(3, 0, 512, name.length, 1 | 8, 0n, 0n, 0, 100), 0);
            return wasi.view().getUint32(100, true);
        },
        write(fd, text) {
            put(1024, encode(text));
            wasi.view().setUint32(0, 1024, true);
            wasi.view().setUint32(4, text.length, true);
            return wasi.fd_write(fd, 0, 1, 16);
        },
        seek: (fd, position) => wasi.fd_seek(fd, BigInt(position), 0, 24),
    };
}

test("a write after a seek patches the file, a gap reads as zeros", () => {
    for (const [steps, expected] of [
        [["abcdef", 1, "XY"], "aXYdef"],
        [["abc", 2, "XYZ"], "abXYZ"],
        [["abc", 5, "Z"], "abc\0\0Z"],
        [["ab", "cd", 0, "X", 4, "e"], "Xbcde"],
    ]) {
        const { wasi, create, write, seek } = layer();
        const fd = create("out.x");
        for (const step of steps) assert.equal(typeof step === "number" ? seek(fd, step) : write(fd, step), 0);
        const [file] = wasi.writtenFiles();
        assert.equal(new TextDecoder().decode(wasi.files.get("out.x").bytes()), expected, steps.join(" "));
        assert.equal(file.size, expected.length);
    }
});

test("a write before the end of bytes already handed on fails instead of corrupting them", () => {
    const { create, write, seek } = layer({ onWrite: () => true });
    const fd = create("out.x");
    assert.equal(write(fd, "header"), 0);
    assert.equal(seek(fd, 0), 0);
    assert.equal(write(fd, "H"), 70);
});

test("the console without prompts keeps the text, with a line end where a prompt ended an open line", () => {
    for (const [pieces, expected] of [
        [[[1, "EOF not found!"], [1, "Return->"], [2, "a.kon ist fehlerhaft\n"], [1, "--> "]], "EOF not found!\na.kon ist fehlerhaft\n"],
        [[[1, "Zu wenig Speicher!\n"], [1, "Return->"]], "Zu wenig Speicher!\n"],
        [[[1, "--> "]], ""],
        [[[1, "I: 3 S: 2\n"], [1, "Falsches Kon-Format!"], [1, "Return->"], [1, "x"]], "I: 3 S: 2\nFalsches Kon-Format!\nx"],
    ]) {
        const { wasi } = layer();
        wasi.console = pieces.map(([fd, text]) => [fd, encode(text)]);
        assert.equal(wasi.consoleText(new Set(["Return->", "--> "])), expected);
    }
});
