// The bundled example's colours in a screenshot: its walls' beige and its roof's red.

// Where the screenshot shows the walls' beige (230, 220, 200: red >= green >
// blue, all bright) and the roof's red (180, 40, 30) in any light: for each
// colour and each half of the picture (left, right), the pixels' count, mean
// column and row, and box (left, right, top, bottom).
export async function houseSpots(page, picture) {
    return page.evaluate(async (png) => {
        const image = new Image();
        image.src = `data:image/png;base64,${png}`;
        await image.decode();
        const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
        context.drawImage(image, 0, 0);
        const { data, width } = context.getImageData(0, 0, image.width, image.height);
        const spot = () => ({ count: 0, x: 0, y: 0, left: Infinity, right: -Infinity, top: Infinity, bottom: -Infinity });
        const found = { wall: { left: spot(), right: spot() }, roof: { left: spot(), right: spot() } };
        const add = (colour, x, y) => {
            const s = found[colour][x < width / 2 ? "left" : "right"];
            Object.assign(s, { count: s.count + 1, x: s.x + x, y: s.y + y, left: Math.min(s.left, x), right: Math.max(s.right, x),
                top: Math.min(s.top, y), bottom: Math.max(s.bottom, y) });
        };
        for (let i = 0; i < data.length; i += 4) {
            const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
            const [x, y] = [(i / 4) % width, Math.floor(i / 4 / width)];
            if (r > 60 && r >= g && g > b && g > 0.8 * r && b > 0.55 * r) add("wall", x, y);
            if (r > 60 && r > 2.5 * g && r > 2.5 * b) add("roof", x, y);
        }
        for (const halves of Object.values(found)) {
            for (const s of Object.values(halves)) Object.assign(s, { x: s.x / s.count, y: s.y / s.count });
        }
        return found;
    }, picture.toString("base64"));
}

// Counts the screenshot's pixels of the walls and of the roof, and their mean rows.
export async function houseColours(page, picture) {
    const { wall, roof } = await houseSpots(page, picture);
    const both = ({ left, right }) => [left.count + right.count, (left.count * (left.y || 0) + right.count * (right.y || 0)) / (left.count + right.count)];
    const [[walls, wallRow], [roofs, roofRow]] = [both(wall), both(roof)];
    const found = { walls, wall_row: wallRow, roofs, roof_row: roofRow };
    console.log(`wall pixels ${found.walls} (mean row ${found.wall_row.toFixed(0)}), roof pixels ${found.roofs} (mean row ${found.roof_row.toFixed(0)})`);
    return found;
}

// Whether the picture shows the house upright: walls and roof, the roof above.
export async function showsTheHouse(page, picture) {
    const found = await houseColours(page, picture);
    const shown = found.walls > 2000 && found.roofs > 2000 && found.roof_row < found.wall_row;
    console.log(shown ? "the house shows its walls and roof, upright" : "the house is not shown as it should be");
    return shown;
}
