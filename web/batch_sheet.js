// "Save sheet": the batch's cards as they are shown, in their order, drawn
// as PNG pages of at most kSheetSide pixels a side, as a contact sheet of
// photographs is printed: each picture with the file's name and outcome.
import { kPictureHeight, kPictureWidth } from "./pictures.js";

export const kSheetSide = 4096;
const kCell = { width: kPictureWidth + 16, height: kPictureHeight + 44 };
const kFont = "12px system-ui, sans-serif";

// The pages for `count` cards: [{ first, count, columns, rows }], each at
// most `side` pixels wide and high.
export function sheetPages(count, side = kSheetSide) {
    const across = Math.min(count, Math.floor(side / kCell.width));
    const perPage = across * Math.floor(side / kCell.height);
    const pages = [];
    for (let first = 0; first < count; first += perPage) {
        const cards = Math.min(perPage, count - first);
        pages.push({ first, count: cards, columns: across, rows: Math.ceil(cards / across) });
    }
    return pages;
}

// `cards`: [{ name, outcome, failed, picture (a PNG Blob or null) }] in
// their order. Resolves with a PNG Blob per page.
export async function drawSheet(cards) {
    const blobs = [];
    for (const page of sheetPages(cards.length)) {
        const canvas = document.createElement("canvas");
        Object.assign(canvas, { width: page.columns * kCell.width, height: page.rows * kCell.height });
        const context = canvas.getContext("2d");
        context.fillStyle = "#ffffff";
        context.fillRect(0, 0, canvas.width, canvas.height);
        context.font = kFont;
        for (let k = 0; k < page.count; k++) {
            await drawCard(context, cards[page.first + k], (k % page.columns) * kCell.width + 8, Math.floor(k / page.columns) * kCell.height + 8);
        }
        const blob = await new Promise((resolve) => canvas.toBlob(resolve, "image/png"));
        if (!blob) throw new Error("the browser made no picture of the sheet");
        blobs.push(blob);
    }
    return blobs;
}

async function drawCard(context, { name, outcome, failed, picture }, x, y) {
    const image = picture && await createImageBitmap(picture).catch(() => null);
    if (image) {
        context.drawImage(image, x, y);
        image.close();
    } else {
        context.fillStyle = "#f0f0ec";
        context.fillRect(x, y, kPictureWidth, kPictureHeight);
    }
    context.fillStyle = "#1d1d1b";
    context.fillText(fitted(context, name, true), x, y + kPictureHeight + 15);
    context.fillStyle = failed ? "#a01010" : "#555555";
    context.fillText(fitted(context, outcome), x, y + kPictureHeight + 30);
}

// `text` cut to the picture's width, an ellipsis where cut: at its end, or
// at its start (`keepEnd`: a path's file name is at its end).
function fitted(context, text, keepEnd = false) {
    const part = (length) => (keepEnd ? `…${text.slice(text.length - length)}` : `${text.slice(0, length)}…`);
    if (context.measureText(text).width <= kPictureWidth) return text;
    let length = text.length;
    while (length > 0 && context.measureText(part(length)).width > kPictureWidth) length--;
    return part(length);
}

// Hands `blob` to the browser as a download named `name`.
export function saveFile(blob, name) {
    const anchor = document.createElement("a");
    anchor.href = URL.createObjectURL(blob);
    anchor.download = name;
    anchor.click();
    setTimeout(() => URL.revokeObjectURL(anchor.href), 1000);
}
