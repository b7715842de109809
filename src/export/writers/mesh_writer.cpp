// The DirectX text mesh writer: vertices, faces, material list and texture
// coordinates of every instance, streamed through the output buffer.
#include "export/writers/mesh_writer.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "export/maths/nan_rule.hpp"
#include "export/output/decimal_digits.hpp"
#include "export/output/fixed6.hpp"
#include "export/output/ordered_chunks.hpp"

namespace kon2x {

namespace {

constexpr double kColourScale = 0.003921568859368563;  // the float32 nearest to 1/255

// Copies a string literal without its terminator.
template <std::size_t N>
char* put(char* out, const char (&text)[N]) {
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

// Text helpers over the output buffer; every line ends in CR LF.
class MeshText {
public:
    explicit MeshText(OutputBuffer& out) : out_(out) {}

    void text(std::string_view text) { out_.write(text); }
    void line(std::string_view text) {
        out_.write(text);
        out_.write("\r\n");
    }
    void count_line(std::int64_t value) {
        char* p = out_.reserve(32);
        p = write_decimal(p, value);
        p = put(p, ";\r\n");
        out_.commit(p);
    }
    OutputBuffer& buffer() { return out_; }

private:
    OutputBuffer& out_;
};

bool counts_as_negative(float factor) {
    return factor < 0.0f || std::isnan(factor);
}

bool is_mirrored(const InstanceRecord& instance) {
    return (counts_as_negative(instance.scale_x) != counts_as_negative(instance.scale_y)) !=
           counts_as_negative(instance.scale_z);
}

// Vertex lines `first` to `end` - 1; vertex j * P + k is point k placed by instance j.
void format_vertices(const MeshPlan& plan, std::int64_t first, std::int64_t end, TextChunk& out) {
    const std::span<const PointRecord> points = plan.points();
    const auto point_count = static_cast<std::int64_t>(points.size());
    for (std::int64_t v = first; v < end;) {
        const std::int64_t j = v / point_count;
        const InstanceTransform transform(plan.instances()[static_cast<std::size_t>(j)]);
        const bool finite = transform.finite();
        const auto number = [finite](float value) {
            return finite ? double{value} : nan_rule::widened(value);
        };
        for (const std::int64_t stop = std::min(end, (j + 1) * point_count); v < stop; ++v) {
            const PointRecord& point = points[static_cast<std::size_t>(v - j * point_count)];
            const Vec3f r = directx_axes(plan.kind(), transform.apply(model_position(point)));
            char* p = out.reserve(3 * kMaxFixed6Length + 16);
            p = write_fixed6(p, number(r.x));
            p = put(p, "; ");
            p = write_fixed6(p, number(r.y));
            p = put(p, "; ");
            p = write_fixed6(p, number(r.z));
            p = put(p, ";,\r\n");
            out.commit(p);
        }
    }
}

// Room for one vertex number and its comma.
constexpr std::size_t kIndexRoom = 24;

void format_face(const FaceRecord& face, std::int64_t base, bool stored_order, TextChunk& out) {
    const std::int32_t n = face.vertex_count;
    char* p = out.reserve(static_cast<std::size_t>(n) * kIndexRoom + 64);
    p = write_decimal(p, std::int64_t{n});
    p = put(p, ";  ");
    for (std::int32_t i = 0; i < n; ++i) {
        if (i > 0) {
            *p++ = ',';
        }
        p = write_decimal(p, base + face.index(stored_order ? i : n - 1 - i));
    }
    p = put(p, ";,\r\n");
    out.commit(p);
}

// Face lines `first` to `end` - 1; mesh face j * G + g is drawn face g in
// instance j, its indices offset by j * P.
void format_faces(const MeshPlan& plan, std::int64_t first, std::int64_t end, TextChunk& out) {
    const std::vector<DrawnFace>& faces = plan.faces();
    const auto face_count = static_cast<std::int64_t>(faces.size());
    const auto point_count = static_cast<std::int64_t>(plan.points().size());
    for (std::int64_t f = first; f < end;) {
        const std::int64_t j = f / face_count;
        const bool mirrored = is_mirrored(plan.instances()[static_cast<std::size_t>(j)]);
        // Kind 0 reverses the winding of unmirrored instances, kind 1 of mirrored ones.
        const bool stored_order = plan.kind() == kKindConvertible ? mirrored : !mirrored;
        for (const std::int64_t stop = std::min(end, (j + 1) * face_count); f < stop; ++f) {
            format_face(*faces[static_cast<std::size_t>(f - j * face_count)].face, j * point_count,
                        stored_order, out);
        }
    }
}

// The vertex lines, the face count line and the face lines, formatted in
// chunks of kLinesPerChunk lines on `threads` threads and written in order.
bool write_vertices_and_faces(const MeshPlan& plan, unsigned threads, OutputBuffer& out) {
    constexpr std::int64_t kLinesPerChunk = 8192;
    const std::int64_t vertex_total = plan.vertex_total();
    const std::int64_t face_total = plan.face_total();
    const auto chunks_of = [](std::int64_t lines) { return (lines + kLinesPerChunk - 1) / kLinesPerChunk; };
    const std::int64_t vertex_chunks = chunks_of(vertex_total);
    const std::int64_t face_chunks =
        std::max<std::int64_t>(chunks_of(face_total), 1);  // the count line at least
    const auto format = [&](std::size_t index, TextChunk& chunk) {
        const auto i = static_cast<std::int64_t>(index);
        if (i < vertex_chunks) {
            format_vertices(plan, i * kLinesPerChunk, std::min(vertex_total, (i + 1) * kLinesPerChunk),
                            chunk);
            return;
        }
        const std::int64_t g = i - vertex_chunks;
        if (g == 0) {
            char* p = write_decimal(chunk.reserve(32), face_total);
            chunk.commit(put(p, ";\r\n"));
        }
        format_faces(plan, g * kLinesPerChunk, std::min(face_total, (g + 1) * kLinesPerChunk), chunk);
    };
    // A model of a few chunks is formatted faster than threads start.
    const unsigned used_threads = vertex_chunks + face_chunks >= 4 ? threads : 1;
    return format_in_order(static_cast<std::size_t>(vertex_chunks + face_chunks), used_threads, format,
                           [&](std::string_view text) {
                               out.write(text);
                               return out.ok();
                           });
}

// The face material numbers of one instance, each but the first preceded by ",\r\n".
std::string face_materials_of_one_instance(const MeshPlan& plan) {
    std::string numbers;
    char digits[32];
    for (const DrawnFace& face : plan.faces()) {
        if (!numbers.empty()) {
            numbers += ",\r\n";
        }
        numbers.append(digits, write_decimal(digits, std::int64_t{face.material}));
    }
    return numbers;
}

void write_material_list(const MeshPlan& plan, MeshText& mesh) {
    const std::string per_instance = face_materials_of_one_instance(plan);
    mesh.line("MeshMaterialList {");
    mesh.count_line(static_cast<std::int64_t>(plan.materials().size()));
    mesh.count_line(plan.face_total());
    for (std::size_t j = 0; j < plan.instances().size(); ++j) {
        if (j > 0 && !per_instance.empty()) {
            mesh.text(",\r\n");
        }
        mesh.text(per_instance);
    }
    mesh.line(";;");

    for (std::size_t m = 0; m < plan.materials().size(); ++m) {
        const MaterialKey& key = plan.materials()[m];
        char* p = mesh.buffer().reserve(3 * kMaxFixed6Length + 64);
        p = put(p, "Material {\r\n\t");
        p = write_fixed6(p, key.red * kColourScale);
        p = put(p, "; ");
        p = write_fixed6(p, key.green * kColourScale);
        p = put(p, "; ");
        p = write_fixed6(p, key.blue * kColourScale);
        p = put(p, "; 1.00000;;\r\n");
        mesh.buffer().commit(p);
        mesh.text("\t0.000000;\r\n\t0.000000; 0.000000; 0.000000;;\r\n\t0.000000; 0.000000; 0.000000;;\r\n");
        if (const std::int32_t texture = plan.texture_of_material(m); texture >= 0) {
            mesh.text("\tTextureFilename {\r\n\t\t\"");
            mesh.text(plan.texture_names()[static_cast<std::size_t>(texture)]);
            mesh.line(".dds\";");
            mesh.line("\t}");
        }
        mesh.line("} // Material");
    }
    mesh.line("} // MeshMaterialList");
}

void write_texture_coords(const MeshPlan& plan, MeshText& mesh) {
    mesh.line("MeshTextureCoords {");
    mesh.count_line(plan.vertex_total());
    // The coordinates of the point set, formatted once and repeated per instance.
    std::string lines;
    char line[2 * kMaxFixed6Length + 8];
    for (const PointRecord& point : plan.points()) {
        char* p = write_fixed6(line, nan_rule::widened(point.u));
        p = put(p, "; ");
        p = write_fixed6(p, nan_rule::widened(point.v));
        p = put(p, ";\r\n");
        lines.append(line, p);
    }
    for (std::size_t j = 0; j < plan.instances().size(); ++j) {
        mesh.text(lines);
    }
    mesh.line("} // MeshTextureCoords");
}

}  // namespace

void write_mesh(const MeshPlan& plan, OutputBuffer& out, const char* mesh_name, unsigned threads) {
    if (plan.faces().empty()) {
        return;
    }
    MeshText mesh(out);
    mesh.text("Mesh ");
    mesh.text(mesh_name != nullptr && mesh_name[0] != '\0' ? mesh_name : "Main_Mesh");
    mesh.line(" {");
    mesh.count_line(plan.vertex_total());
    if (!write_vertices_and_faces(plan, threads == 0 ? hardware_threads() : threads, out)) {
        return;  // a write failed: the rest would not be written either
    }
    write_material_list(plan, mesh);
    write_texture_coords(plan, mesh);
    mesh.line("} // Mesh");
}

}  // namespace kon2x
