// The text construction reader: header checks, a counting pass, then a parsing pass.
#include "loading/text_reader.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "console/console.hpp"
#include "loading/text_fields.hpp"
#include "loading/text_lines.hpp"

namespace kon2x {

namespace {

constexpr std::string_view kFaceHeader = "Flaechen";
constexpr std::string_view kInstanceHeader = "ScalX";

std::uint8_t low_byte(std::string_view field) {
    return static_cast<std::uint8_t>(parse_integer(field));
}

std::int16_t low_word(std::string_view field) {
    return static_cast<std::int16_t>(parse_integer(field));
}

// Fields 4 to 9 of a point line, in order; a line may end before any of them.
using OptionalPointField = void (*)(PointRecord&, std::string_view);
constexpr OptionalPointField kOptionalPointFields[] = {
    [](PointRecord& p, std::string_view field) { p.red = low_byte(field); },
    [](PointRecord& p, std::string_view field) { p.green = low_byte(field); },
    [](PointRecord& p, std::string_view field) { p.blue = low_byte(field); },
    [](PointRecord& p, std::string_view field) { p.texture = parse_integer(field); },
    [](PointRecord& p, std::string_view field) { p.u = to_float32(parse_real(field)); },
    [](PointRecord& p, std::string_view field) { p.v = to_float32(parse_real(field)); },
};

// Line counts of the three sections, blank lines included.
struct SectionSizes {
    std::size_t points = 0;
    std::size_t faces = 0;
    std::size_t instances = 0;
};

class TextReader {
public:
    TextReader(ConstructionModel& model, std::FILE* file) : model_(model), lines_(file) {}

    // True when the whole file was read; else failure() says why.
    bool read() {
        model_.reset();
        SectionSizes sizes;
        if (!read_header() || !count_sections(sizes)) {
            return false;
        }
        allocate(sizes);
        if (!lines_.rewind()) {
            return fail(format_message("Lesefehler in %s!\n", model_.source_name.c_str()));
        }
        line_number_ = 0;
        std::string_view line;
        next_line(line);
        next_line(line);
        return read_section(kFaceHeader, &TextReader::read_point_line) &&
               read_section(kInstanceHeader, &TextReader::read_face_line) &&
               read_section({}, &TextReader::read_instance_line);
    }

    const std::string& failure() const { return failure_; }

private:
    // The next piece of text, counted in the line numbers; like a C string,
    // its content ends at a NUL byte.
    bool next_line(std::string_view& line) {
        if (!lines_.next(line)) {
            return false;
        }
        ++line_number_;
        line = line.substr(0, line.find('\0'));
        return true;
    }

    // Whether `line` ends a section that ends at a line beginning with `end`
    // (an empty `end`: the section runs to the end of the file).
    static bool ends_section(std::string_view line, std::string_view end) {
        return !end.empty() && begins_with_ignoring_case(line, end);
    }

    // Keeps why reading stopped, for the one report in read_text.
    bool fail(std::string message) {
        failure_ = std::move(message);
        return false;
    }

    bool fail_at_line(const char* format) { return fail(format_message(format, line_number_)); }

    bool read_header() {
        std::string_view line;
        if (!next_line(line) || !begins_with_ignoring_case(line, "KON") || line.size() < 5) {
            return fail("Falsches Kon-Format!\n");
        }
        separator_ = line[3];
        const std::string_view type = line.substr(4);
        if (begins_with_ignoring_case(type, "VAQ")) {
            model_.kind = kKindOther;
        } else if (begins_with_ignoring_case(type, "KRUV")) {
            model_.kind = kKindConvertible;
        } else {
            return fail("Falscher Kon-Typ!\n");
        }
        if (!next_line(line) || line.empty() || (line[0] != 'X' && line[0] != 'x')) {
            return fail("Punkteliste nicht gefunden!\n");
        }
        return true;
    }

    // Counts the lines of a section; true if the line that ends it was found.
    bool count_section(std::string_view end, std::size_t& count) {
        std::string_view line;
        while (next_line(line)) {
            if (ends_section(line, end)) {
                return true;
            }
            ++count;
        }
        return end.empty();
    }

    bool count_sections(SectionSizes& sizes) {
        if (!count_section(kFaceHeader, sizes.points)) {
            return fail("Flaechenliste nicht gefunden!\n");
        }
        if (!count_section(kInstanceHeader, sizes.faces)) {
            return fail("Instanzen nicht gefunden!\n");
        }
        return count_section({}, sizes.instances);
    }

    // No section can hold more records than the 16-bit counts allow, so room
    // beyond that is never allocated, however many lines a section has.
    void allocate(const SectionSizes& sizes) {
        const auto capped = [](std::size_t lines) {
            return std::min(lines, static_cast<std::size_t>(kMaxCount));
        };
        model_.points.resize(capped(sizes.points) + kSparePoints);
        model_.faces.resize(capped(sizes.faces));
        model_.instances.resize(capped(sizes.instances));
    }

    // Parses the lines of a section, each with `read_line`, up to the line
    // that ends it; false after the first line that fails.
    bool read_section(std::string_view end, bool (TextReader::*read_line)(std::string_view)) {
        std::string_view line;
        while (next_line(line) && !ends_section(line, end)) {
            if (!(this->*read_line)(line)) {
                return false;
            }
        }
        return true;
    }

    bool read_point_line(std::string_view line) {
        PointRecord& point = model_.points[static_cast<std::size_t>(model_.point_count)];
        point.clear();
        FieldCursor fields(line, separator_);
        const auto x = fields.next();
        if (!x) {
            return true;  // blank line
        }
        const auto y = fields.next();
        const auto z = y ? fields.next() : std::nullopt;
        if (!z) {
            return fail_at_line("falsches Punktformat in Zeile %d!\n");
        }
        if (model_.point_count == kMaxCount) {
            return fail_at_line("Zu viele Punkte in Zeile %d!\n");
        }
        point.x = parse_integer(*x);
        point.y = parse_integer(*y);
        point.z = parse_integer(*z);
        ++model_.point_count;
        read_point_extras(point, fields);
        return true;
    }

    // Fields 4 to 9, then the extra entries in groups of key, red, green, blue.
    static void read_point_extras(PointRecord& point, FieldCursor& fields) {
        std::optional<std::string_view> field;
        for (const OptionalPointField read : kOptionalPointFields) {
            if (!(field = fields.next())) {
                return;
            }
            read(point, *field);
        }
        while ((field = fields.next())) {
            ExtraEntry entry;
            entry.key = low_byte(*field);
            if ((field = fields.next())) {
                entry.red = low_byte(*field);
                if ((field = fields.next())) {
                    entry.green = low_byte(*field);
                    if ((field = fields.next())) {
                        entry.blue = low_byte(*field);
                    }
                }
            }
            point.add_extra(entry);
            if (!field) {
                break;
            }
        }
        if (point.extra_count > 0) {
            point.marker = kExtrasMarker;
        }
    }

    bool read_face_line(std::string_view line) {
        FieldCursor fields(line, separator_);
        auto field = fields.next();
        if (!field) {
            return true;  // blank line
        }
        if (model_.face_count == kMaxCount) {
            return fail_at_line("Zu viele Flaechen in Zeile %d!\n");
        }
        FaceRecord& face = model_.faces[static_cast<std::size_t>(model_.face_count)];
        ++model_.face_count;
        for (; field; field = fields.next()) {
            const std::int16_t index = low_word(*field);
            // Every consumer reads points at each index: one that names no
            // point refuses the file.
            if (index < 0 || index >= model_.point_count) {
                return fail(format_message("Falscher Punkt: %d in Zeile %d!\n", index, line_number_));
            }
            face.append_index(index);
        }
        return true;
    }

    bool read_instance_line(std::string_view line) {
        FieldCursor fields(line, separator_);
        std::array<std::string_view, 9> values;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto field = fields.next();
            if (!field) {
                return i == 0 || fail_at_line("falsches Instanzformat in Zeile %d!\n");
            }
            values[i] = *field;
        }
        if (model_.instance_count == kMaxCount) {
            return fail_at_line("Zu viele Instanzen in Zeile %d!\n");
        }
        InstanceRecord& instance = model_.instances[static_cast<std::size_t>(model_.instance_count)];
        instance.scale_x = to_float32(parse_real(values[0]));
        instance.scale_y = to_float32(parse_real(values[1]));
        instance.scale_z = to_float32(parse_real(values[2]));
        instance.rot_x = parse_real(values[3]);
        instance.rot_y = parse_real(values[4]);
        instance.rot_z = parse_real(values[5]);
        instance.x = parse_integer(values[6]);
        instance.y = parse_integer(values[7]);
        instance.z = parse_integer(values[8]);
        ++model_.instance_count;
        return true;
    }

    ConstructionModel& model_;
    TextLines lines_;
    char separator_ = ';';
    int line_number_ = 0;
    std::string failure_;
};

}  // namespace

int read_text(ConstructionModel& model, std::FILE* file) {
    TextReader reader(model, file);
    if (!reader.read()) {
        report_and_wait(reader.failure());
        return 0;
    }
    return 1;
}

}  // namespace kon2x
