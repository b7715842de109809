// Writing the report's records.
#include "batch/batch_report.hpp"

#include <array>

#include "console/file_names.hpp"
#include "export/output/json_text.hpp"

namespace kon2x {

const char kCsvHeader[] =
    "input,outcome,messages,points,single_points,two_point_elements,triangles,quads,polygons,instances,"
    "unplaced,"
    "materials,milliseconds,x,x_bytes,x_note,glb,glb_bytes,glb_note,svg,svg_bytes,svg_note,dxf,dxf_bytes,dxf_"
    "note\n";

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8_sequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() < length) {
        return 0;
    }
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

struct CountColumn {
    const char* name;
    std::size_t value;
};

std::array<CountColumn, 9> count_columns(const BatchRecord& record) {
    const ModelCounts& c = record.counts;
    return {{{"points", c.points},
             {"single_points", c.single_points},
             {"two_point_elements", c.two_point_elements},
             {"triangles", c.triangles},
             {"quads", c.quads},
             {"polygons", c.polygons},
             {"instances", c.instances},
             {"unplaced", c.unplaced},
             {"materials", record.materials}}};
}

void append_json_member(std::string& json, const char* name) {
    json += json.size() > 1 ? ",\"" : "\"";
    json += name;
    json += "\":";
}

std::string csv_field(std::string_view text) {
    const std::string field = utf8_or_escaped(text);
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + '"';
}

}  // namespace

std::string utf8_or_escaped(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    while (!text.empty()) {
        const std::size_t length = utf8_sequence(text);
        if (length > 0) {
            result.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[0]);
        result += "\\x";
        result += kHex[byte >> 4];
        result += kHex[byte & 15];
        text.remove_prefix(1);
    }
    return result;
}

std::string json_line(const BatchRecord& record) {
    std::string json = "{";
    append_json_member(json, "input");
    append_string(json, utf8_or_escaped(record.input));
    append_json_member(json, "outcome");
    append_string(json, outcome_name(record.outcome));
    append_json_member(json, "messages");
    append_string(json, utf8_or_escaped(record.messages));
    for (const CountColumn& column : count_columns(record)) {
        append_json_member(json, column.name);
        record.counted ? append_number(json, column.value) : void(json += "null");
    }
    append_json_member(json, "milliseconds");
    append_number(json, record.milliseconds);
    append_json_member(json, "outputs");
    json += '[';
    for (const OutputRecord& output : record.outputs) {
        separate(json, &output - record.outputs.data());
        json += R"({"format":)";
        append_string(json, output.format);
        json += R"(,"path":)";
        append_string(json, utf8_or_escaped(output.path));
        json += R"(,"bytes":)";
        append_number(json, output.bytes);
        json += R"(,"note":)";
        append_string(json, utf8_or_escaped(output.note));
        json += '}';
    }
    return json + "]}\n";
}

std::string csv_row(const BatchRecord& record) {
    std::string row =
        csv_field(record.input) + ',' + outcome_name(record.outcome) + ',' + csv_field(record.messages);
    for (const CountColumn& column : count_columns(record)) {
        row += ',';
        row += record.counted ? std::to_string(column.value) : "";
    }
    row += ',' + std::to_string(record.milliseconds);
    for (const char* format : {"x", "glb", "svg", "dxf"}) {
        std::string cells = ",,";
        for (const OutputRecord& output : record.outputs) {
            if (output.format == format) {
                cells = csv_field(output.path) + ',' + std::to_string(output.bytes) + ',' +
                        csv_field(output.note);
            }
        }
        row += ',' + cells;
    }
    return row + '\n';
}

BatchReport::~BatchReport() {
    close();
}

bool BatchReport::open(const std::string& path, ReportKind kind, bool header) {
    kind_ = kind;
    file_ = open_file(path, "wb");
    if (file_ != nullptr && kind == ReportKind::csv && header) {
        ok_ = std::fputs(kCsvHeader, file_) >= 0 && std::fflush(file_) == 0;
    }
    return file_ != nullptr;
}

void BatchReport::write(const BatchRecord& record) {
    if (file_ == nullptr) {
        return;
    }
    const std::string text = kind_ == ReportKind::csv ? csv_row(record) : json_line(record);
    ok_ = std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0 && ok_;
}

bool BatchReport::close() {
    if (file_ != nullptr) {
        ok_ = std::fclose(file_) == 0 && ok_;
        file_ = nullptr;
    }
    return ok_;
}

}  // namespace kon2x
