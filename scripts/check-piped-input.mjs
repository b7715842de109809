// Fails when a script under tests/, scripts/ or bench/ starts a program with
// its standard input written into a pipe (node's `input:`, Python's
// `input=`). A program that exits without reading it (every converter that
// needs no prompt) makes that write fail with EPIPE, or not, by timing
// alone. Run from the source tree's top.
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";

const languages = [
    { files: /\.m?js$/, starters: /\b(spawn|spawnSync|exec|execSync|execFile|execFileSync|fork)\s*\(/g, piped: /\binput\s*:/ },
    { files: /\.py$/, starters: /\bsubprocess\.(run|call|check_call|check_output|Popen)\s*\(/g, piped: /\binput\s*=/ },
];

// The text of the call whose "(" is at `open`, to its matching ")", with
// the insides of strings and templates left out.
function callText(source, open) {
    let depth = 0;
    let text = "";
    for (let i = open; i < source.length; i++) {
        const c = source[i];
        if (c === '"' || c === "'" || c === "`") {
            const end = source.indexOf(c, i + 1);
            i = end < 0 ? source.length : end;
            continue;
        }
        text += c;
        if (c === "(") depth++;
        if (c === ")" && --depth === 0) break;
    }
    return text;
}

const files = execFileSync("git", ["ls-files", "-co", "--exclude-standard", "tests", "scripts", "bench"], { encoding: "utf8", stdio: ["ignore", "pipe", "inherit"] })
    .split("\n").filter((file) => !file.includes("node_modules/"));
const found = [];
let read = 0;
for (const file of files) {
    const language = languages.find(({ files: pattern }) => pattern.test(file));
    if (!language) continue;
    read++;
    const source = readFileSync(file, "utf8");
    for (const call of source.matchAll(language.starters)) {
        const open = call.index + call[0].length - 1;
        if (language.piped.test(callText(source, open))) {
            found.push(`${file}:${source.slice(0, call.index).split("\n").length}: ${call[1]} gives the program its standard input through a pipe`);
        }
    }
}
if (found.length) {
    console.error(found.join("\n"));
    console.error("A program that exits without reading its input makes that write fail (EPIPE) by timing alone:\n"
        + "give it a file instead (in node runAnswered of tests/web/native.mjs, in Python stdin=an open file),\n"
        + "or no input where it needs none (stdio \"ignore\", subprocess.DEVNULL).");
    process.exit(1);
}
console.log(`no program started with input through a pipe (${read} scripts read)`);
