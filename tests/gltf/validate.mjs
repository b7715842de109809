// Validates .glb files with the Khronos glTF validator and prints its
// reports; exits with 1 if any file has an error or a warning (notes are fine).
// The textures' images (NNNN.png, and NNNN.dds for MSFT_texture_dds) are
// served as one small valid PNG: the validator reports an image it cannot
// read as an error and one it does not recognise, which includes every DDS
// file, as a warning.
// Usage: node validate.mjs FILE.glb...
import { readFile } from "node:fs/promises";
import path from "node:path";
import validator from "gltf-validator";

const kGreyPixel = Buffer.from(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGM4ceIEAAS0AlkWLoFAAAAAAElFTkSuQmCC", "base64");

function image(uri) {
    return /^-?[0-9]+\.(png|dds)$/.test(uri)
        ? Promise.resolve(new Uint8Array(kGreyPixel))
        : Promise.reject(new Error(`no such image: ${uri}`));
}

let failed = false;
for (const file of process.argv.slice(2)) {
    const report = await validator.validateBytes(new Uint8Array(await readFile(file)), {
        uri: path.basename(file),
        maxIssues: 0,
        externalResourceFunction: image,
    });
    const { numErrors, numWarnings, numInfos, messages } = report.issues;
    console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings, ${numInfos} notes`);
    for (const message of messages.filter((m) => m.severity < 2)) {
        console.log(`  ${message.severity === 0 ? "error" : "warning"} ${message.code}: ${message.message} ${message.pointer ?? ""}`);
    }
    failed ||= numErrors > 0 || numWarnings > 0;
}
process.exit(failed ? 1 : 0);
