// The file intake: the file input and drops anywhere on the page. A drop that
// misses the view still never navigates away. Sorts what was given into
// construction files and NNNN.png textures, and refuses other pictures and
// what is far too big.

// Far beyond any construction file: 32767 points, faces and instances of
// 1023-character lines are about 100 MB.
export const kLargestInput = 256 << 20;
const kTextureName = /^(-?\d+)\.png$/i;

// onFiles({ models: [File], textures: Map of NNNN to File, refused: [text] }).
export function listenForFiles(onFiles) {
    const input = document.getElementById("file-input");
    input.addEventListener("change", () => {
        onFiles(sort([...input.files]));
        input.value = "";
    });
    for (const type of ["dragenter", "dragover"]) {
        window.addEventListener(type, (event) => {
            event.preventDefault();
            document.body.classList.add("dragging");
        });
    }
    window.addEventListener("dragleave", (event) => {
        if (event.relatedTarget === null) document.body.classList.remove("dragging");
    });
    window.addEventListener("drop", (event) => {
        event.preventDefault();
        document.body.classList.remove("dragging");
        onFiles(sort([...(event.dataTransfer?.files ?? [])]));
    });
}

// Texture n's file name without ".png", as "%04d" writes n ("0007", "-005").
export function textureStem(n) {
    const digits = String(Math.abs(n)).padStart(n < 0 ? 3 : 4, "0");
    return n < 0 ? `-${digits}` : digits;
}

export function sort(files) {
    const sorted = { models: [], textures: new Map(), refused: [] };
    for (const file of files) {
        const texture = kTextureName.exec(file.name);
        if (texture) {
            sorted.textures.set(textureStem(Number(texture[1])), file);
        } else if (/\.png$/i.test(file.name)) {
            sorted.refused.push(`${file.name} is a picture, not a construction file; textures are named as their number, like 0007.png.`);
        } else if (file.size > kLargestInput) {
            sorted.refused.push(`${file.name} is ${Math.round(file.size / 2 ** 20)} MB, far more than a construction file holds: not read.`);
        } else {
            sorted.models.push(file);
        }
    }
    return sorted;
}

// Whether a file's first bytes are a construction file's, as kon2batch
// tells them: "KON" in any case, or an archive's version id (2880 or 5760).
export function isConstructionHead(head) {
    const upper = (i) => String.fromCharCode(head[i]).toUpperCase();
    if (head.length >= 3 && upper(0) + upper(1) + upper(2) === "KON") return true;
    const version = head.length === 4 ? new DataView(head.buffer, head.byteOffset, 4).getUint32(0, true) : 0;
    return version === 2880 || version === 5760;
}

// The name a program gives its output for the input `name`: its extension,
// if any, replaced by `extension` (".glb").
export function outputName(name, extension) {
    const dot = name.lastIndexOf(".");
    return (dot > Math.max(name.lastIndexOf("/"), name.lastIndexOf("\\")) ? name.slice(0, dot) : name) + extension;
}
