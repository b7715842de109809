// The bundled example's colours in a screenshot: its walls' beige and its roof's red.

// Counts the screenshot's pixels of the walls' beige (230, 220, 200: red >=
// green > blue, all bright) and the roof's red (180, 40, 30) in any light.
export async function houseColours(page, picture) {
    const found = await page.evaluate(async (png) => {
        const image = new Image();
        image.src = `data:image/png;base64,${png}`;
        await image.decode();
        const context = new OffscreenCanvas(image.width, image.height).getContext("2d");
        context.drawImage(image, 0, 0);
        const { data, width } = context.getImageData(0, 0, image.width, image.height);
        const rows = { wall: [], roof: [] };
        for (let i = 0; i < data.length; i += 4) {
            const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
            if (r > 60 && r >= g && g > b && g > 0.8 * r && b > 0.55 * r) rows.wall.push(Math.floor(i / 4 / width));
            if (r > 60 && r > 2.5 * g && r > 2.5 * b) rows.roof.push(Math.floor(i / 4 / width));
        }
        const mean = (list) => list.reduce((sum, y) => sum + y, 0) / list.length;
        return { walls: rows.wall.length, wall_row: mean(rows.wall), roofs: rows.roof.length, roof_row: mean(rows.roof) };
    }, picture.toString("base64"));
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
