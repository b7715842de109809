// The part of WASI preview 1 that the programs use, over files held in memory:
// one folder "." with the input, which receives the outputs, and the console.
const kSuccess = 0;
const kBadFile = 8;
const kExists = 20;
const kInvalid = 28;
const kIsFolder = 31;
const kNoEntry = 44;
const kNotFolder = 54;
const kNotSupported = 58;
const kNotSeekable = 70;
const kFolderFd = 3;
const kFileTypes = { terminal: 2, folder: 3, file: 4 };

// Thrown by proc_exit to leave the program with its status.
export class ProgramExit {
    constructor(status) {
        this.status = status;
    }
}

// The chunks as one array.
function joined(chunks) {
    const whole = new Uint8Array(chunks.reduce((sum, chunk) => sum + chunk.length, 0));
    let at = 0;
    for (const chunk of chunks) {
        whole.set(chunk, at);
        at += chunk.length;
    }
    return whole;
}

// A file of the folder: its bytes as a list of chunks, copied once each.
// Writes at the end append a chunk; a write elsewhere (after a seek) joins
// the chunks first and patches them.
class MemoryFile {
    constructor(bytes, { created }) {
        this.chunks = bytes ? [bytes] : [];
        this.size = bytes ? bytes.length : 0;
        this.created = created;  // made by the program (not given to it)
        this.handedOn = false;  // some of its bytes went to onWrite and are not kept
    }
    // The whole content as one array.
    bytes() {
        if (this.chunks.length !== 1) this.chunks = [joined(this.chunks)];
        return this.chunks[0];
    }
    // Writes `bytes` at `position`; a gap before it reads as zeros.
    writeAt(position, bytes) {
        if (position === this.size) {
            this.chunks.push(bytes);
            this.size += bytes.length;
            return;
        }
        const end = position + bytes.length;
        if (end > this.size) {
            this.chunks.push(new Uint8Array(end - this.size));
            this.size = end;
        }
        this.bytes().set(bytes, position);
    }
}

export class MemoryWasi {
    // args: the program's arguments, argv[0] first. files: a Map of name to
    // Uint8Array. onWrite(name, bytes): told of every write at the end of a
    // file, `bytes` a view of the program's memory that holds them only
    // during the call; when it returns true it has taken the bytes (copied
    // them), and the file does not keep them (a later write elsewhere in that
    // file then fails). folders:
    // names that are folders, which the page never has (for tests).
    constructor(args, files, { onWrite = () => false, folders = [] } = {}) {
        this.args = args.map((argument) => new TextEncoder().encode(`${argument}\0`));
        this.files = new Map([...files].map(([name, bytes]) => [name, new MemoryFile(bytes, { created: false })]));
        this.folders = new Set(folders);
        this.onWrite = onWrite;
        this.console = [];  // [fd, bytes] in the order written
        this.open = new Map();  // fd: { name, file, position }
        this.nextFd = kFolderFd + 1;
        this.memory = null;
    }

    // The console as text, standard output and error interleaved as written.
    // A write that is one of the `prompts` is left out; where it ended a
    // line that its text left open, a line end stands in for it (the user's
    // Enter would have), unless `lineEnds` is false (as kon2batch reports).
    consoleText(prompts = new Set(), { lineEnds = true } = {}) {
        const decoder = new TextDecoder();
        let text = "";
        for (const [, bytes] of this.console) {
            const piece = decoder.decode(bytes, { stream: true });
            if (!prompts.has(piece)) text += piece;
            else if (lineEnds && text !== "" && !text.endsWith("\n")) text += "\n";
        }
        return text + decoder.decode();
    }

    // The bytes written to standard output (fd 1) or error (fd 2).
    consoleBytes(fd) {
        return joined(this.console.filter(([to]) => to === fd).map(([, bytes]) => bytes));
    }

    // The files the program made and kept: [{ name, chunks, size }].
    writtenFiles() {
        return [...this.files].filter(([, file]) => file.created).map(([name, file]) => ({ name, chunks: file.chunks, size: file.size }));
    }

    // Runs the instance's _start; returns the exit status.
    start(instance) {
        this.memory = instance.exports.memory;
        try {
            instance.exports._start();
            return 0;
        } catch (error) {
            if (error instanceof ProgramExit) return error.status;
            throw error;
        }
    }

    // The WASI calls are the methods named as WASI names them (with an underscore).
    imports() {
        const calls = {};
        for (const name of Object.getOwnPropertyNames(MemoryWasi.prototype)) {
            if (name.includes("_")) calls[name] = this[name].bind(this);
        }
        return { wasi_snapshot_preview1: calls };
    }

    view() {
        return new DataView(this.memory.buffer);
    }
    bytesAt(pointer, length) {
        return new Uint8Array(this.memory.buffer, pointer, length);
    }
    pathAt(pointer, length) {
        return new TextDecoder().decode(this.bytesAt(pointer, length)).replace(/^\.\//, "");
    }
    // Calls `visit(pointer, length)` for each buffer of an iovec list.
    forEachBuffer(iovs, count, visit) {
        const view = this.view();
        let total = 0;
        for (let i = 0; i < count; i++) {
            const length = view.getUint32(iovs + 8 * i + 4, true);
            const done = visit(view.getUint32(iovs + 8 * i, true), length);
            total += done;
            if (done < length) break;
        }
        return total;
    }

    args_sizes_get(count, size) {
        this.view().setUint32(count, this.args.length, true);
        this.view().setUint32(size, this.args.reduce((sum, argument) => sum + argument.length, 0), true);
        return kSuccess;
    }
    args_get(pointers, buffer) {
        for (const [i, argument] of this.args.entries()) {
            this.view().setUint32(pointers + 4 * i, buffer, true);
            this.bytesAt(buffer, argument.length).set(argument);
            buffer += argument.length;
        }
        return kSuccess;
    }

    fd_prestat_get(fd, prestat) {
        if (fd !== kFolderFd) return kBadFile;
        this.view().setUint8(prestat, 0);
        this.view().setUint32(prestat + 4, 1, true);
        return kSuccess;
    }
    fd_prestat_dir_name(fd, pointer, length) {
        if (fd !== kFolderFd || length < 1) return kBadFile;
        this.view().setUint8(pointer, ".".charCodeAt(0));
        return kSuccess;
    }
    fd_fdstat_get(fd, stat) {
        const type = fd <= 2 ? kFileTypes.terminal : fd === kFolderFd ? kFileTypes.folder : this.open.has(fd) ? kFileTypes.file : 0;
        if (type === 0) return kBadFile;
        const view = this.view();
        view.setUint8(stat, type);
        view.setUint16(stat + 2, 0, true);
        view.setBigUint64(stat + 8, 0xffffffffn, true);
        view.setBigUint64(stat + 16, 0xffffffffn, true);
        return kSuccess;
    }
    fd_fdstat_set_flags() {
        return kSuccess;
    }

    path_open(folder, lookupFlags, path, pathLength, openFlags, rightsBase, rightsInheriting, fdFlags, fdOut) {
        if (folder !== kFolderFd) return kBadFile;
        const name = this.pathAt(path, pathLength);
        const [create, directory, exclusive, truncate] = [1, 2, 4, 8].map((bit) => (openFlags & bit) !== 0);
        if (name === "." || name === "") return directory ? kNotSupported : kIsFolder;
        if (name.includes("/")) return kNoEntry;
        if (this.folders.has(name)) return directory ? kNotSupported : kIsFolder;
        let file = this.files.get(name);
        if (directory) return file ? kNotFolder : kNoEntry;
        if (file && exclusive) return kExists;
        if (!file && !create) return kNoEntry;
        if (!file || truncate) {
            file = new MemoryFile(null, { created: true });
            this.files.set(name, file);
        }
        const fd = this.nextFd++;
        this.open.set(fd, { name, file, position: 0 });
        this.view().setUint32(fdOut, fd, true);
        return kSuccess;
    }
    path_unlink_file(folder, path, pathLength) {
        if (folder !== kFolderFd) return kBadFile;
        return this.files.delete(this.pathAt(path, pathLength)) ? kSuccess : kNoEntry;
    }
    path_remove_directory() {
        return kNotFolder;
    }

    fd_read(fd, iovs, count, readOut) {
        if (fd === 0) {
            this.view().setUint32(readOut, 0, true);  // no one answers the prompts: end of input
            return kSuccess;
        }
        const handle = this.open.get(fd);
        if (!handle) return kBadFile;
        const bytes = handle.file.bytes();
        const read = this.forEachBuffer(iovs, count, (pointer, length) => {
            const part = bytes.subarray(handle.position, handle.position + length);
            this.bytesAt(pointer, part.length).set(part);
            handle.position += part.length;
            return part.length;
        });
        this.view().setUint32(readOut, read, true);
        return kSuccess;
    }
    fd_write(fd, iovs, count, writtenOut) {
        const handle = this.open.get(fd);
        if (fd !== 1 && fd !== 2 && !handle) return kBadFile;
        // Bytes handed on cannot be patched: writing there fails loudly.
        if (handle?.file.handedOn && handle.position !== handle.file.size) return kNotSeekable;
        const written = this.forEachBuffer(iovs, count, (pointer, length) => {
            const bytes = this.bytesAt(pointer, length);
            if (!handle) {
                this.console.push([fd, bytes.slice()]);
            } else if (handle.position === handle.file.size && this.onWrite(handle.name, bytes)) {
                handle.file.handedOn = true;
                handle.file.size += length;
                handle.position += length;
            } else {
                handle.file.writeAt(handle.position, bytes.slice());
                handle.position += length;
            }
            return length;
        });
        this.view().setUint32(writtenOut, written, true);
        return kSuccess;
    }
    fd_seek(fd, offset, whence, positionOut) {
        const handle = this.open.get(fd);
        if (!handle) return fd <= 2 ? kNotSeekable : kBadFile;
        const base = [0, handle.position, handle.file.size][whence];
        if (base === undefined || base + Number(offset) < 0) return kInvalid;
        const position = base + Number(offset);
        handle.position = position;
        this.view().setBigUint64(positionOut, BigInt(position), true);
        return kSuccess;
    }
    fd_close(fd) {
        return this.open.delete(fd) ? kSuccess : kBadFile;
    }
    proc_exit(status) {
        throw new ProgramExit(status);
    }
}
