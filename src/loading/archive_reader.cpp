// The binary archive reader: header, then the sections in their fixed order,
// each validated while it is read.
#include "loading/archive_reader.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "console/console.hpp"
#include "loading/archive_input.hpp"
#include "loading/face_index_stream.hpp"

namespace kon2x {

namespace {

// The version ids, the model kind each gives and the check value that follows it.
struct Version {
    std::int32_t id;
    std::int32_t kind;
    std::int32_t check;
};
constexpr Version kVersions[] = {{2880, kKindConvertible, 2025}, {5760, kKindOther, 4000}};

// Words of the object framing.
constexpr std::uint16_t kFirstClassTag = 0x8001;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kLongSeparator = 0x7FFF;
constexpr std::uint16_t kLongSeparatorSecond = 0xDD7D;

// A section's class name and the messages for a wrong class header.
struct SectionClass {
    std::string_view name;
    const char* tag_message;   // new-class tag or schema wrong
    const char* name_message;  // class name wrong
};

constexpr SectionClass kPointClass{"CObPunkt", "Formatfehler 7 in %s!\n", "Formatfehler 8 in %s!\n"};
constexpr SectionClass kIndexClass{"CObIndex", "Formatfehler 13 in %s!\n", "Formatfehler 14 in %s!\n"};
constexpr SectionClass kFormatClass{"CObFormat", "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n"};
constexpr SectionClass kDashedLineClass{"CObStrichLinie", "Formatfehler 17 in %s!\n",
                                        "Formatfehler 18 in %s!\n"};
constexpr SectionClass kLineClass{"CObLinie", "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n"};
constexpr SectionClass kDimensionLineClass{"CObMassLinie", "Formatfehler 17 in %s!\n",
                                           "Formatfehler 18 in %s!\n"};

// The records' fields in file order, little-endian, without gaps.
constexpr std::size_t kPointRecordSize = 48;  // the largest record
void decode_point(const unsigned char* raw, PointRecord& point) {
    point.x = int_at(raw);
    point.y = int_at(raw + 4);
    point.z = int_at(raw + 8);
    point.aux = int_at(raw + 12);
    for (std::size_t i = 0; i < point.aux_values.size(); ++i) {
        point.aux_values[i] = int_at(raw + 16 + 4 * i);
    }
    point.red = raw[32];
    point.green = raw[33];
    point.blue = raw[34];
    point.marker = raw[35];
    point.u = float_at(raw + 36);
    point.v = float_at(raw + 40);
    point.texture = int_at(raw + 44);
    point.material_vertex = 0;
}

constexpr std::size_t kInstanceRecordSize = 48;
void decode_instance(const unsigned char* raw, InstanceRecord& instance) {
    instance = InstanceRecord{int_at(raw),         int_at(raw + 4),     int_at(raw + 8),
                              double_at(raw + 12), double_at(raw + 20), double_at(raw + 28),
                              float_at(raw + 36),  float_at(raw + 40),  float_at(raw + 44)};
}

constexpr std::size_t kLineRecordSize = 24;
void decode_line(const unsigned char* raw, LineRecord& line) {
    line = LineRecord{int_at(raw), int_at(raw + 4), int_at(raw + 8), int_at(raw + 12), double_at(raw + 16)};
}

class ArchiveReader {
public:
    ArchiveReader(ConstructionModel& model, std::FILE* file) : model_(model), in_(file, model.source_name) {}

    void read() {
        if (read_header() && read_points() && read_faces() && read_instances() &&
            read_lines(kDashedLineClass, model_.dashed_lines, model_.dashed_line_count) &&
            read_lines(kLineClass, model_.lines, model_.line_count) && read_zero_word() &&
            read_lines(kDimensionLineClass, model_.dimension_lines, model_.dimension_line_count)) {
            model_.loaded = 1;
        } else {
            in_.report_failure();
        }
    }

private:
    bool fail_in_source(const char* format) {
        return in_.fail(format_message(format, model_.source_name.c_str()));
    }

    bool read_header() {
        std::uint32_t version = 0;
        if (!in_.dword(version)) {
            return false;
        }
        for (const Version& known : kVersions) {
            if (static_cast<std::int32_t>(version) == known.id) {
                model_.kind = known.kind;
                return expect_dword(in_, static_cast<std::uint32_t>(known.check)) ||
                       fail_in_source("Formatfehler 1 in %s!\n");
            }
        }
        return in_.fail(format_message("Falsche Versionskennung: %x!\n", version));
    }

    // The class header: the new-class tag, schema 0 and the class name.
    bool read_class_header(const SectionClass& section) {
        if (!expect_word(in_, kNewClassTag) || !expect_word(in_, 0)) {
            return fail_in_source(section.tag_message);
        }
        return expect_class_name(in_, section.name) || fail_in_source(section.name_message);
    }

    // The objects of a section: `count` records, each after the first behind
    // a separator. The class and its objects then use up count + 1 tags.
    template <typename ReadRecord, typename ReadSeparator>
    bool read_objects(std::int32_t count, ReadRecord read_record, ReadSeparator read_separator,
                      const std::string& separator_message) {
        for (std::int32_t i = 0; i < count; ++i) {
            if (!read_record(static_cast<std::size_t>(i))) {
                return false;
            }
            if (i + 1 < count && !read_separator()) {
                return in_.fail(separator_message);
            }
        }
        class_tag_ = static_cast<std::uint16_t>(class_tag_ + count + 1);
        return true;
    }

    bool read_points() {
        std::uint16_t count = 0;
        if (!in_.word(count)) {
            return false;
        }
        model_.point_count = static_cast<std::int16_t>(count);
        if (count == 0) {
            return true;
        }
        if (!read_class_header(kPointClass)) {
            return false;
        }
        if (model_.point_count > 0) {
            model_.points.resize(static_cast<std::size_t>(model_.point_count) + kSparePoints);
        }
        return read_objects(
            model_.point_count, [&](std::size_t i) { return read_point(model_.points[i]); },
            [&] { return expect_word(in_, class_tag_); }, "Formatfehler 12!\n");
    }

    bool read_point(PointRecord& point) {
        return read_record(kPointRecordSize, point, decode_point) &&
               (model_.kind != kKindOther || point.marker != kExtrasMarker || read_extras(point));
    }

    // Entries are read one by one, so a count that the file cannot hold ends
    // at the end of the file instead of in a huge allocation.
    bool read_extras(PointRecord& point) {
        std::uint32_t count = 0;
        if (!in_.dword(count)) {
            return false;
        }
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(count); ++i) {
            unsigned char raw[4];  // key, red, green, blue; a fifth byte follows
            if (!in_.bytes(raw, sizeof raw)) {
                return false;
            }
            point.add_extra(ExtraEntry{raw[1], raw[2], raw[3], raw[0]});
            // A non-zero fifth byte is shown and otherwise ignored.
            if (!expect_byte(in_, 0) && in_.ended()) {
                return false;
            }
        }
        return true;
    }

    bool read_faces() {
        std::uint16_t pair_count = 0;
        if (!in_.word(pair_count)) {
            return false;
        }
        if (pair_count == 0) {
            return true;
        }
        if (!read_class_header(kIndexClass) || !read_face_index_stream(model_, in_, pair_count, class_tag_)) {
            return false;
        }
        class_tag_ = static_cast<std::uint16_t>(class_tag_ + face_stream_slot_count(model_) + 1);
        return true;
    }

    // The instance section has its class header even when it is empty.
    bool read_instances() {
        std::uint16_t count = 0;
        if (!in_.word(count)) {
            return false;
        }
        if (count > static_cast<std::uint16_t>(kMaxCount)) {
            return fail_in_source("Zu viele Instanzen in %s!\n");
        }
        if (!read_class_header(kFormatClass)) {
            return false;
        }
        model_.instances.assign(count, InstanceRecord{});
        model_.instance_count = static_cast<std::int16_t>(count);
        return read_objects(
            count,
            [&](std::size_t i) {
                return read_record(kInstanceRecordSize, model_.instances[i], decode_instance);
            },
            [&] { return read_instance_separator(); },
            format_message("Falscher Trenner2: %x!\n", tag_as_shown(class_tag_)));
    }

    // A word separator (the class tag) until the first one that begins with
    // 0x7FFF; from then on every separator is three words long.
    bool read_instance_separator() {
        std::uint16_t first = 0;
        if (!in_.word(first)) {
            return false;
        }
        if (first == kLongSeparator) {
            separator_mode_ = 1;
        } else if (separator_mode_ == 0) {
            return first == class_tag_;
        }
        std::uint16_t second = 0;
        std::uint16_t third = 0;
        if (!in_.word(second) || (separator_mode_ == 1 && second != kLongSeparatorSecond)) {
            return false;
        }
        separator_mode_ = 2;
        return in_.word(third);
    }

    bool read_lines(const SectionClass& section, std::vector<LineRecord>& list, std::int16_t& count_field) {
        std::uint16_t word = 0;
        if (!in_.word(word)) {
            return false;
        }
        count_field = static_cast<std::int16_t>(word);
        if (count_field == 0) {
            return true;
        }
        if (!read_class_header(section)) {
            return false;
        }
        list.resize(static_cast<std::size_t>(std::max<std::int16_t>(count_field, 0)));
        return read_objects(
            count_field, [&](std::size_t i) { return read_record(kLineRecordSize, list[i], decode_line); },
            [&] { return expect_word(in_, class_tag_); },
            format_message("Formatfehler 20 in %s!\n", model_.source_name.c_str()));
    }

    // A fixed-size record read whole and decoded field by field.
    template <typename Record>
    bool read_record(std::size_t size, Record& record, void (*decode)(const unsigned char*, Record&)) {
        unsigned char raw[kPointRecordSize];
        if (!in_.bytes(raw, size)) {
            return false;
        }
        decode(raw, record);
        return true;
    }

    bool read_zero_word() {
        std::uint16_t word = 0;
        if (!in_.word(word)) {
            return false;
        }
        return word == 0 || fail_in_source("Formatfehler Juhu in %s!\n");
    }

    ConstructionModel& model_;
    ArchiveInput in_;
    std::uint16_t class_tag_ = kFirstClassTag;
    int separator_mode_ = 0;  // for the CObFormat separators; see read_instance_separator
};

}  // namespace

void read_archive(ConstructionModel& model, std::FILE* file) {
    ArchiveReader reader(model, file);
    reader.read();
}

}  // namespace kon2x
