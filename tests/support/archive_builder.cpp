// The archive builder used by the tests.
#include "support/archive_builder.hpp"

#include <cstring>

namespace kon2x::test {

namespace {

class Writer {
public:
    explicit Writer(Archive& archive) : archive_(archive) {}

    void mark(const std::string& item) { archive_.at[item] = archive_.bytes.size(); }
    void byte(std::uint8_t value) { archive_.bytes.push_back(static_cast<char>(value)); }
    void word(std::uint16_t value) {
        byte(static_cast<std::uint8_t>(value));
        byte(static_cast<std::uint8_t>(value >> 8));
    }
    void dword(std::uint32_t value) {
        word(static_cast<std::uint16_t>(value));
        word(static_cast<std::uint16_t>(value >> 16));
    }
    void integer(std::int32_t value) { dword(static_cast<std::uint32_t>(value)); }
    void real32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        dword(bits);
    }
    void real64(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        dword(static_cast<std::uint32_t>(bits));
        dword(static_cast<std::uint32_t>(bits >> 32));
    }
    void class_header(const std::string& section, const std::string& name) {
        mark(section + ".tag");
        word(0xFFFF);
        mark(section + ".schema");
        word(0);
        mark(section + ".name");
        word(static_cast<std::uint16_t>(name.size()));
        archive_.bytes += name;
    }

private:
    Archive& archive_;
};

void write_point(Writer& out, const ArchivePoint& p, bool kind1) {
    for (std::int32_t value : {p.x, p.y, p.z, p.aux, 0, 0, 0, 0}) {
        out.integer(value);
    }
    out.byte(p.red);
    out.byte(p.green);
    out.byte(p.blue);
    out.byte(p.marker);
    out.real32(p.u);
    out.real32(p.v);
    out.integer(p.texture);
    if (kind1 && p.marker == kExtrasMarker) {
        out.integer(static_cast<std::int32_t>(p.extras.size()));
        for (const ExtraEntry& e : p.extras) {
            out.byte(e.key);
            out.byte(e.red);
            out.byte(e.green);
            out.byte(e.blue);
            out.byte(p.fifth_byte);
        }
    }
}

void write_instance(Writer& out, const InstanceRecord& i) {
    out.integer(i.x);
    out.integer(i.y);
    out.integer(i.z);
    out.real64(i.rot_x);
    out.real64(i.rot_y);
    out.real64(i.rot_z);
    out.real32(i.scale_x);
    out.real32(i.scale_y);
    out.real32(i.scale_z);
}

void write_lines(Writer& out, const std::string& section, const std::string& name,
                 const std::vector<LineRecord>& lines, std::uint16_t& tag) {
    out.mark(section + ".count");
    out.word(static_cast<std::uint16_t>(lines.size()));
    if (lines.empty()) {
        return;
    }
    out.class_header(section, name);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            out.mark(section + ".sep" + std::to_string(i));
            out.word(tag);
        }
        const LineRecord& l = lines[i];
        out.integer(l.x0);
        out.integer(l.y0);
        out.integer(l.x1);
        out.integer(l.y1);
        out.real64(l.length);
    }
    tag = static_cast<std::uint16_t>(tag + lines.size() + 1);
}

}  // namespace

ArchivePoint archive_point(int x, int y, int z, int red, int green, int blue, int texture, float u, float v) {
    ArchivePoint p;
    p.x = x;
    p.y = y;
    p.z = z;
    p.red = static_cast<std::uint8_t>(red);
    p.green = static_cast<std::uint8_t>(green);
    p.blue = static_cast<std::uint8_t>(blue);
    p.texture = texture;
    p.u = u;
    p.v = v;
    return p;
}

IndexPairs pairs_of(const FaceGroups& groups) {
    IndexPairs pairs{{0, 1}};
    const auto run = [&](const std::vector<std::vector<int>>& faces) {
        for (const auto& face : faces) {
            for (int index : face) {
                pairs.emplace_back(index, 0);
            }
        }
    };
    for (int index : groups.singles) {
        pairs.emplace_back(index, 0);
    }
    pairs.emplace_back(1, 1);
    run(groups.twos);
    pairs.emplace_back(4, 1);
    run(groups.triangles);
    pairs.emplace_back(7, 1);
    run(groups.quads);
    pairs.emplace_back(9, 1);
    for (const auto& polygon : groups.polygons) {
        run({polygon});
        pairs.emplace_back(9, 1);
    }
    pairs.emplace_back(9, 1);
    pairs.insert(pairs.end(), groups.trailing.begin(), groups.trailing.end());
    return pairs;
}

int slot_count_of(const FaceGroups& groups) {
    int slots = 6 + static_cast<int>(groups.singles.size() + 2 * groups.twos.size() +
                                     3 * groups.triangles.size() + 4 * groups.quads.size());
    for (const auto& polygon : groups.polygons) {
        slots += static_cast<int>(polygon.size()) + (polygon.size() > 4 ? 1 : 0);
    }
    return slots;
}

void Archive::put_word(const std::string& item, std::uint16_t value) {
    const std::size_t offset = at.at(item);
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

void Archive::put_byte(const std::string& item, std::uint8_t value) {
    bytes[at.at(item)] = static_cast<char>(value);
}

Archive build_archive(const ArchiveContents& contents) {
    Archive archive;
    Writer out(archive);
    const bool kind1 = contents.version == 5760;
    out.mark("version");
    out.integer(contents.version);
    out.mark("check");
    out.integer(contents.check.value_or(kind1 ? 4000 : 2025));

    std::uint16_t tag = 0x8001;
    out.mark("points.count");
    const auto point_word =
        contents.point_count_word.value_or(static_cast<std::uint16_t>(contents.points.size()));
    out.word(point_word);
    if (point_word != 0) {
        out.class_header("points", "CObPunkt");
        for (std::size_t i = 0; i < contents.points.size(); ++i) {
            if (i > 0) {
                out.mark("points.sep" + std::to_string(i));
                out.word(0x8001);
            }
            out.mark("points." + std::to_string(i));
            write_point(out, contents.points[i], kind1);
        }
        tag = static_cast<std::uint16_t>(0x8002 + point_word);
    }

    out.mark("pairs.count");
    out.word(static_cast<std::uint16_t>(contents.pairs.size()));
    if (!contents.pairs.empty()) {
        out.class_header("pairs", "CObIndex");
        for (std::size_t i = 0; i < contents.pairs.size(); ++i) {
            if (i > 0) {
                out.mark("pairs.sep" + std::to_string(i));
                out.word(tag);
            }
            out.integer(contents.pairs[i].first);
            out.integer(contents.pairs[i].second);
        }
        tag = static_cast<std::uint16_t>(tag + contents.slot_count + 1);
    }

    out.mark("instances.count");
    out.word(static_cast<std::uint16_t>(contents.instances.size()));
    out.class_header("instances", "CObFormat");
    for (std::size_t i = 0; i < contents.instances.size(); ++i) {
        if (i > 0) {
            out.mark("instances.sep" + std::to_string(i));
            if (i - 1 < contents.instance_separators.size()) {
                for (std::uint16_t word : contents.instance_separators[i - 1]) {
                    out.word(word);
                }
            } else {
                out.word(tag);
            }
        }
        write_instance(out, contents.instances[i]);
    }
    tag = static_cast<std::uint16_t>(tag + contents.instances.size() + 1);

    write_lines(out, "dashed", "CObStrichLinie", contents.dashed_lines, tag);
    write_lines(out, "lines", "CObLinie", contents.lines, tag);
    out.mark("zero");
    out.word(0);
    write_lines(out, "dimension", "CObMassLinie", contents.dimension_lines, tag);
    out.mark("end");
    return archive;
}

std::string smallest_archive() {
    const unsigned char bytes[] = {0x40, 0x0B, 0x00, 0x00, 0xE9, 0x07, 0x00, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x09, 0x00,
                                   0x43, 0x4F, 0x62, 0x46, 0x6F, 0x72, 0x6D, 0x61, 0x74, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

}  // namespace kon2x::test
