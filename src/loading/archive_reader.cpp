// The binary archive reader: header, then the sections in their fixed order,
// each validated while it is read.
#include "loading/archive_reader.hpp"

#include <string>
#include <vector>

#include "driver/console.hpp"
#include "loading/archive_input.hpp"
#include "loading/face_index_stream.hpp"

namespace kon2x {

namespace {

constexpr std::int32_t kVersionKind0 = 2880;
constexpr std::int32_t kCheckKind0 = 2025;
constexpr std::int32_t kVersionKind1 = 5760;
constexpr std::int32_t kCheckKind1 = 4000;
constexpr std::uint16_t kFirstClassTag = 0x8001;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kLongSeparator = 0x7FFF;
constexpr std::uint16_t kLongSeparatorSecond = 0xDD7D;

constexpr std::size_t kPointRecordSize = 48;
constexpr std::size_t kInstanceRecordSize = 48;
constexpr std::size_t kLineRecordSize = 24;
constexpr std::size_t kExtraEntrySize = 5;

// A class tag as the messages show it: signed 16-bit, widened to 32 bits.
unsigned widened(std::uint16_t tag) {
    return static_cast<unsigned>(static_cast<std::int32_t>(static_cast<std::int16_t>(tag)));
}

class ArchiveReader {
public:
    ArchiveReader(ConstructionModel& model, std::FILE* file) : model_(model), in_(file, model.source_name) {}

    void read() {
        if (read_header() && read_points() && read_faces() && read_instances() &&
            read_line_section("CObStrichLinie", model_.dashed_lines, model_.dashed_line_count) &&
            read_line_section("CObLinie", model_.lines, model_.line_count) && read_zero_word() &&
            read_line_section("CObMassLinie", model_.dimension_lines, model_.dimension_line_count)) {
            model_.loaded = 1;
        }
    }

private:
    // Reports a message unless the end of the file was met (already reported).
    bool fail(const std::string& message) {
        if (!in_.ended()) {
            report_and_wait(message);
        }
        return false;
    }
    bool fail_in_source(const char* format) {
        return fail(format_message(format, model_.source_name.c_str()));
    }

    bool read_header() {
        std::uint32_t version = 0;
        if (!in_.dword(version)) {
            return false;
        }
        const auto id = static_cast<std::int32_t>(version);
        if (id != kVersionKind0 && id != kVersionKind1) {
            return fail(format_message("Falsche Versionskennung: %x!\n", version));
        }
        model_.kind = id == kVersionKind0 ? kKindConvertible : kKindOther;
        const std::int32_t check = id == kVersionKind0 ? kCheckKind0 : kCheckKind1;
        return expect_dword(in_, static_cast<std::uint32_t>(check)) ||
               fail_in_source("Formatfehler 1 in %s!\n");
    }

    // The class header: the new-class tag, schema 0 and the class name.
    bool read_class_header(std::string_view name, const char* tag_message, const char* name_message) {
        if (!expect_word(in_, kNewClassTag) || !expect_word(in_, 0)) {
            return fail_in_source(tag_message);
        }
        return expect_class_name(in_, name) || fail_in_source(name_message);
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
        if (!read_class_header("CObPunkt", "Formatfehler 7 in %s!\n", "Formatfehler 8 in %s!\n") ||
            !read_point_section()) {
            return false;
        }
        class_tag_ = static_cast<std::uint16_t>(0x8002 + count);
        return true;
    }

    bool read_point_section() {
        const std::int32_t count = model_.point_count;
        if (count > 0) {
            model_.points.resize(static_cast<std::size_t>(count) + kSparePoints);
        }
        for (std::int32_t i = 0; i < count; ++i) {
            if (!read_point_record(model_.points[static_cast<std::size_t>(i)])) {
                return false;
            }
            if (i + 1 < count && !expect_word(in_, kFirstClassTag)) {
                return fail("Formatfehler 12!\n");
            }
        }
        return true;
    }

    bool read_point_record(PointRecord& point) {
        unsigned char raw[kPointRecordSize];
        if (!in_.bytes(raw, sizeof raw)) {
            return false;
        }
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
        if (model_.kind == kKindOther && point.marker == kExtrasMarker) {
            return read_extras(point);
        }
        return true;
    }

    // Entries are read one by one, so a count that the file cannot hold ends
    // at the end of the file instead of in a huge allocation.
    bool read_extras(PointRecord& point) {
        std::uint32_t count = 0;
        if (!in_.dword(count)) {
            return false;
        }
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(count); ++i) {
            unsigned char raw[kExtraEntrySize - 1];
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
        if (!read_class_header("CObIndex", "Formatfehler 13 in %s!\n", "Formatfehler 14 in %s!\n") ||
            !read_face_index_stream(model_, in_, pair_count, class_tag_)) {
            return false;
        }
        class_tag_ = static_cast<std::uint16_t>(class_tag_ + face_stream_slot_count(model_) + 1);
        return true;
    }

    bool read_instances() {
        std::uint16_t count = 0;
        if (!in_.word(count)) {
            return false;
        }
        if (count > static_cast<std::uint16_t>(kMaxCount)) {
            return fail_in_source("Zu viele Instanzen in %s!\n");
        }
        if (!read_class_header("CObFormat", "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n") ||
            !read_instance_section(count)) {
            return false;
        }
        class_tag_ = static_cast<std::uint16_t>(class_tag_ + model_.instance_count + 1);
        return true;
    }

    bool read_instance_section(std::uint16_t count) {
        model_.instances.assign(count, InstanceRecord{});
        model_.instance_count = static_cast<std::int16_t>(count);
        for (std::size_t i = 0; i < count; ++i) {
            if (!read_instance_record(model_.instances[i])) {
                return false;
            }
            if (i + 1 < count && !read_instance_separator()) {
                return fail(format_message("Falscher Trenner2: %x!\n", widened(class_tag_)));
            }
        }
        return true;
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

    bool read_instance_record(InstanceRecord& instance) {
        unsigned char raw[kInstanceRecordSize];
        if (!in_.bytes(raw, sizeof raw)) {
            return false;
        }
        instance.x = int_at(raw);
        instance.y = int_at(raw + 4);
        instance.z = int_at(raw + 8);
        instance.rot_x = double_at(raw + 12);
        instance.rot_y = double_at(raw + 20);
        instance.rot_z = double_at(raw + 28);
        instance.scale_x = float_at(raw + 36);
        instance.scale_y = float_at(raw + 40);
        instance.scale_z = float_at(raw + 44);
        return true;
    }

    bool read_line_section(std::string_view name, std::vector<LineRecord>& list, std::int16_t& count_field) {
        std::uint16_t word = 0;
        if (!in_.word(word)) {
            return false;
        }
        count_field = static_cast<std::int16_t>(word);
        const std::int32_t count = count_field;
        if (count == 0) {
            return true;
        }
        if (!read_class_header(name, "Formatfehler 17 in %s!\n", "Formatfehler 18 in %s!\n")) {
            return false;
        }
        list.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        for (std::int32_t i = 0; i < count; ++i) {
            if (!read_line_record(list[static_cast<std::size_t>(i)])) {
                return false;
            }
            if (i + 1 < count && !expect_word(in_, class_tag_)) {
                return fail_in_source("Formatfehler 20 in %s!\n");
            }
        }
        class_tag_ = static_cast<std::uint16_t>(class_tag_ + count + 1);
        return true;
    }

    bool read_line_record(LineRecord& line) {
        unsigned char raw[kLineRecordSize];
        if (!in_.bytes(raw, sizeof raw)) {
            return false;
        }
        line.x0 = int_at(raw);
        line.y0 = int_at(raw + 4);
        line.x1 = int_at(raw + 8);
        line.y1 = int_at(raw + 12);
        line.length = double_at(raw + 16);
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
