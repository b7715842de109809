// Tests of the page's file intake: which files are models, which textures, which refused.
import assert from "node:assert/strict";
import test from "node:test";
import { kLargestInput, pathOrder, sort, textureStem, walkFolder } from "../../web/intake.js";

test("texture names are written as %04d writes the number", () => {
    for (const [number, stem] of [[7, "0007"], [-5, "-005"], [12345, "12345"], [-1234, "-1234"], [120, "0120"]]) {
        assert.equal(textureStem(number), stem);
    }
});

test("files are sorted into models, textures (by folder) and refused ones", () => {
    const files = [
        { name: "house.kon", size: 100 }, { name: "0007.png", size: 10 }, { name: "12.PNG", size: 10 },
        { name: "model.bin", size: kLargestInput }, { name: "film.mp4", size: kLargestInput + 1 },
        { name: "photo.png", size: 10 }, { name: "photo.png", size: 10, path: "p/a/photo.png" }, { name: "0007.png", size: 10, path: "p/a/0007.png" },
    ];
    const sorted = sort(files.map((file) => ({ file, path: file.path ?? file.name })), ["p/b could not be read (gone)."]);
    assert.deepEqual(sorted.models.map(({ file }) => file.name), ["house.kon", "model.bin"]);
    assert.deepEqual([...sorted.textures.keys()], ["0007", "0012", "p/a/0007"]);
    assert.equal(sorted.refused.length, 3);
    assert.match(sorted.refused[1], /^film\.mp4 is 256 MB/);
    assert.match(sorted.refused[2], /^photo\.png is a picture, not a construction file/);
});

test("a folder is walked in the order of each folder's names, keeping the paths below it", async () => {
    const leaf = (name) => ({ name, file: async () => name });
    const folder = (name, children) => ({ name, children: async () => children });
    const broken = { name: "c", children: async () => { throw new Error("gone"); } };
    const [found, unread] = await walkFolder([folder("p", [leaf("b.kon"), folder("a", [leaf("z.kon"), broken]), leaf("a10.kon")])]);
    assert.deepEqual(found.map(({ path }) => path), ["p/a/z.kon", "p/a10.kon", "p/b.kon"]);
    assert.deepEqual(unread, ["p/a/c could not be read (gone)."]);
    assert.deepEqual(["p/hall.kon", "p/hall/z.kon", "p/b.kon"].sort(pathOrder), ["p/b.kon", "p/hall/z.kon", "p/hall.kon"]);
});
