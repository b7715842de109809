// The files the converters write: an extension and a writer each.
#pragma once

#include <string>
#include <string_view>

#include "export/output/output_buffer.hpp"
#include "model/construction_model.hpp"

namespace kon2x {

struct OutputFormat {
    // Replaces the input's extension in the output name (".x").
    const char* extension;
    // Writes the whole file for a loaded model of kind 0. Returns a note for
    // the user, shown once the file is written, or "" when there is none.
    // The .x is formatted on `threads` threads (0: as many as the hardware
    // has); the other formats take one.
    std::string (*write)(const ConstructionModel& model, OutputBuffer& out, unsigned threads);
};

// The DirectX text mesh: the header line, then the Mesh object.
extern const OutputFormat kDirectXMesh;

// Binary glTF 2.0; instances that cannot be placed are counted in its note.
extern const OutputFormat kGltfBinary;

// The .glb's note for `unplaced` instances that cannot be placed:
// "Nicht darstellbare Instanzen: %d\n", or "" for none.
std::string unplaced_note(int unplaced);

// The drawing, the model's three line lists: SVG and ASCII DXF R12.
extern const OutputFormat kSvgDrawing;
extern const OutputFormat kDxfDrawing;

// The format of the converter named `program` (kon2x, kon2gltf, kon2svg,
// kon2dxf), or null for any other name.
const OutputFormat* converter_format(std::string_view program);

}  // namespace kon2x
