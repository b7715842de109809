// Reads the .glb that kon2gltf writes into plain arrays for the viewer and the panel.

const kJson = 0x4e4f534a;

function viewOf(json, bin, accessorIndex, Type) {
    const accessor = json.accessors[accessorIndex];
    const view = json.bufferViews[accessor.bufferView];
    const components = { SCALAR: 1, VEC2: 2, VEC3: 3 }[accessor.type];
    const offset = bin.byteOffset + (view.byteOffset ?? 0) + (accessor.byteOffset ?? 0);
    return new Type(bin.buffer.slice(offset, offset + accessor.count * components * Type.BYTES_PER_ELEMENT));
}

// { positions, uvs, primitives: [{ material, indices }], nodes: [{ instance,
// translation, rotation, scale }], materials: [{ color, texture, extras }],
// textureNames: [NNNN per texture], box: { min, max } of the points }.
export function readGlb(buffer) {
    const data = new DataView(buffer);
    const jsonLength = data.getUint32(12, true);
    if (data.getUint32(16, true) !== kJson) throw new Error("not a kon2gltf file");
    const json = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 20, jsonLength)));
    const model = { positions: null, uvs: null, primitives: [], nodes: [], materials: [], textureNames: [], box: null };
    const mesh = json.meshes?.[0];
    if (!mesh) return model;
    const bin = new Uint8Array(buffer, 20 + jsonLength + 8);
    model.positions = viewOf(json, bin, 0, Float32Array);
    model.uvs = viewOf(json, bin, 1, Float32Array);
    model.box = { min: json.accessors[0].min, max: json.accessors[0].max };
    model.primitives = mesh.primitives.map((p) => ({ material: p.material, indices: viewOf(json, bin, p.indices, Uint16Array) }));
    model.nodes = json.nodes.map((node) => ({
        instance: node.extras.instance,
        translation: node.translation ?? [0, 0, 0],
        rotation: node.rotation ?? [0, 0, 0, 1],
        scale: node.scale ?? [1, 1, 1],
    }));
    model.textureNames = (json.textures ?? []).map((texture) => json.images[texture.source].uri.replace(/\.png$/, ""));
    model.materials = json.materials.map((material) => ({
        color: material.pbrMetallicRoughness.baseColorFactor.slice(0, 3),
        texture: material.pbrMetallicRoughness.baseColorTexture?.index ?? -1,
        extras: material.extras,
    }));
    return model;
}
