// The file intake: the file input, the folder picker and drops anywhere on
// the page, of files or whole folders. A drop that misses the view still
// never navigates away. Sorts what was given into construction files and
// NNNN.png textures, each with its path below the folder given
// ("project/hall/a.kon"; a file given alone is its name), and refuses other
// pictures and what is far too big.

// Far beyond any construction file: 32767 points, faces and instances of
// 1023-character lines are about 100 MB.
export const kLargestInput = 256 << 20;
const kTextureName = /^(-?\d+)\.png$/i;

// onFiles({ models: [{ file, path }], textures: Map of textureKey to File, refused: [text] }).
export function listenForFiles(onFiles) {
    for (const id of ["file-input", "folder-input"]) {
        const input = document.getElementById(id);
        input.addEventListener("change", () => {
            const given = [...input.files].map((file) => ({ file, path: file.webkitRelativePath || file.name }));
            // A folder's files come in the order of their paths, as the walk of a dropped one.
            if (id === "folder-input") given.sort((a, b) => pathOrder(a.path, b.path));
            onFiles(sort(given));
            input.value = "";
        });
    }
    // The folder picker where the engine has one, else the folder input's.
    document.getElementById("choose-folder").addEventListener("click", async () => {
        if (!window.showDirectoryPicker) return document.getElementById("folder-input").click();
        const folder = await window.showDirectoryPicker().catch(() => null);
        if (folder) onFiles(sort(...await walkFolder([handleTree(folder)])));
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
        // The entries are taken while the drop lasts; they are read after it.
        const entries = [...(event.dataTransfer?.items ?? [])].map((item) => item.webkitGetAsEntry?.()).filter(Boolean);
        const files = [...(event.dataTransfer?.files ?? [])];
        if (!entries.some((entry) => entry.isDirectory)) return onFiles(sort(files.map((file) => ({ file, path: file.name }))));
        walkFolder(entries.map(entryTree)).then((found) => onFiles(sort(...found)));
    });
}

// A dropped entry (the entries API) as walkFolder takes it.
function entryTree(entry) {
    if (entry.isFile) return { name: entry.name, file: () => new Promise((resolve, reject) => entry.file(resolve, reject)) };
    return {
        name: entry.name, children: async () => {
            const reader = entry.createReader();
            const all = [];
            for (let part; (part = await new Promise((resolve, reject) => reader.readEntries(resolve, reject))).length;) all.push(...part);
            return all.map(entryTree);
        },
    };
}

// A folder chosen in the folder picker (a directory handle) as walkFolder takes it.
function handleTree(handle) {
    if (handle.kind === "file") return { name: handle.name, file: () => handle.getFile() };
    return {
        name: handle.name, children: async () => {
            const all = [];
            for await (const child of handle.values()) all.push(handleTree(child));
            return all;
        },
    };
}

// Every file below `nodes` ({ name, file() } or { name, children() }),
// each folder's in the order of their names, as kon2batch walks a folder:
// [[{ file, path }], [text]: what could not be read].
export async function walkFolder(nodes, above = "") {
    const found = [];
    const unread = [];
    for (const node of [...nodes].sort((a, b) => pathOrder(a.name, b.name))) {
        const path = `${above}${node.name}`;
        try {
            if (!node.children) {
                found.push({ file: await node.file(), path });
                continue;
            }
            const [below, problems] = await walkFolder(await node.children(), `${path}/`);
            found.push(...below);
            unread.push(...problems);
        } catch (error) {
            unread.push(`${path} could not be read (${error.message}).`);
        }
    }
    return [found, unread];
}

// The order of paths in which kon2batch walks a folder: each folder's names
// in order, a folder where its name falls among its neighbours' names.
export function pathOrder(a, b) {
    const [x, y] = [a.split("/"), b.split("/")];
    for (let k = 0; k < Math.min(x.length, y.length); k++) if (x[k] !== y[k]) return x[k] < y[k] ? -1 : 1;
    return x.length - y.length;
}

// The folder part of a path given ("project/hall/"; "" for a file given alone).
export function folderOf(path) {
    return path.slice(0, path.lastIndexOf("/") + 1);
}

// The file of texture `stem` for the construction files of `folder`: its
// folder's, else one given on its own (dropped later, say).
export function textureFor(textureFiles, folder, stem) {
    return textureFiles.get(textureKey(folder, stem)) ?? textureFiles.get(stem);
}

// The key of texture `stem` ("0007") for the construction files of `folder`
// (folderOf's): a texture belongs to the files of its own folder.
export function textureKey(folder, stem) {
    return `${folder}${stem}`;
}

// Texture n's file name without ".png", as "%04d" writes n ("0007", "-005").
export function textureStem(n) {
    const digits = String(Math.abs(n)).padStart(n < 0 ? 3 : 4, "0");
    return n < 0 ? `-${digits}` : digits;
}

// given: [{ file, path }]; unread: what could not be read, refused as it is.
export function sort(given, unread = []) {
    const sorted = { models: [], textures: new Map(), refused: [...unread] };
    for (const { file, path } of given) {
        const texture = kTextureName.exec(file.name);
        if (texture) {
            sorted.textures.set(textureKey(folderOf(path), textureStem(Number(texture[1]))), file);
        } else if (/\.png$/i.test(file.name)) {
            // Among a folder's files a picture is no surprise: it is left out without a word.
            if (!path.includes("/")) sorted.refused.push(`${file.name} is a picture, not a construction file; textures are named as their number, like 0007.png.`);
        } else if (file.size > kLargestInput) {
            sorted.refused.push(`${path} is ${Math.round(file.size / 2 ** 20)} MB, far more than a construction file holds: not read.`);
        } else {
            sorted.models.push({ file, path });
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
