// Tests of the page's file intake: which files are models, which textures, which refused.
import assert from "node:assert/strict";
import test from "node:test";
import { kLargestInput, sort, textureStem } from "../../web/intake.js";

test("texture names are written as %04d writes the number", () => {
    for (const [number, stem] of [[7, "0007"], [-5, "-005"], [12345, "12345"], [-1234, "-1234"], [120, "0120"]]) {
        assert.equal(textureStem(number), stem);
    }
});

test("files are sorted into models, textures and refused ones", () => {
    const files = [
        { name: "house.kon", size: 100 }, { name: "0007.png", size: 10 }, { name: "12.PNG", size: 10 },
        { name: "model.bin", size: kLargestInput }, { name: "film.mp4", size: kLargestInput + 1 },
        { name: "photo.png", size: 10 },
    ];
    const sorted = sort(files);
    assert.deepEqual(sorted.models.map((file) => file.name), ["house.kon", "model.bin"]);
    assert.deepEqual([...sorted.textures.keys()], ["0007", "0012"]);
    assert.equal(sorted.refused.length, 2);
    assert.match(sorted.refused[0], /^film\.mp4 is 256 MB/);
    assert.match(sorted.refused[1], /^photo\.png is a picture, not a construction file/);
});
