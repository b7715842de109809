// Writes a few hundred construction files, valid and broken, text and binary,
// into a folder: the inputs on which two builds of kon2x are compared.
// Usage: kon2x_sample_inputs FOLDER [COUNT] [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "support/archive_builder.hpp"

namespace kon2x::test {
namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    std::string real() {
        static const char* const kReals[] = {"0",          "1",   "-1",   "0,5", "2.25", "1e3",
                                             "-0,0078125", "30",  "45,5", "90",  "180",  "1e39",
                                             "-2",         "0.1", ".5",   "5.",  "abc",  "1,2,3"};
        return kReals[pick(0, static_cast<int>(std::size(kReals)) - 1)];
    }

    // A coordinate within `reach`, or with `far`, now and then one far beyond the rest.
    std::string coordinate(int reach, bool far) {
        static const char* const kFar[] = {"16777217", "2147483647", "-2147483648", "2147483648",
                                           "-99999999999"};
        return far && chance(10) ? kFar[pick(0, 4)] : std::to_string(pick(-reach, reach));
    }

    std::string text_file() {
        const char separator = chance(80) ? ';' : " ,\t|"[pick(0, 3)];
        const std::string sep(1, separator);
        std::string text = chance(95) ? "KON" : "kOn";
        text += sep + (chance(90) ? "KRUV" : chance(50) ? "VAQ" : "XYZ") + "\n";
        text += chance(97) ? "X\n" : "Y\n";
        const int points = pick(0, 40);
        const bool far = chance(20);
        for (int i = 0; i < points; ++i) {
            text += coordinate(5000, far) + sep + coordinate(5000, far);
            if (!chance(3)) {
                text += sep + coordinate(5000, far);
            }
            const int extras = pick(0, 9);
            for (int f = 0; f < extras; ++f) {
                text += sep + (f == 4 || f == 5 ? real() : std::to_string(pick(-10, 300)));
            }
            if (extras == 9 && chance(30)) {
                text += sep + "1" + sep + "2" + sep + "3" + sep + "4" + sep + "5";
            }
            text += chance(10) ? "\r\n" : "\n";
        }
        text += chance(97) ? "Flaechen\n" : "Flaeche\n";
        const int faces = pick(0, 30);
        for (int i = 0; i < faces; ++i) {
            const int n = pick(1, 8);
            for (int k = 0; k < n; ++k) {
                const int index = chance(2) ? points + 3 : pick(0, points > 0 ? points - 1 : 0);
                text += (k > 0 ? sep : std::string()) + std::to_string(index);
            }
            text += "\n";
        }
        text += chance(97) ? "ScalX\n" : "";
        const int instances = pick(0, 5);
        for (int i = 0; i < instances; ++i) {
            const int fields = chance(95) ? 9 : pick(1, 10);
            for (int f = 0; f < fields; ++f) {
                text += (f > 0 ? sep : std::string()) + (f < 6 ? real() : std::to_string(pick(-100, 100)));
            }
            text += "\n";
        }
        return text;
    }

    std::string archive() {
        ArchiveContents contents;
        contents.version = chance(90) ? 2880 : 5760;
        const int points = pick(0, 20);
        const bool far = chance(20);
        for (int i = 0; i < points; ++i) {
            ArchivePoint p;
            p.x = far && chance(10) ? (chance(50) ? 16777217 : INT32_MIN) : pick(-3000, 3000);
            p.y = pick(-3000, 3000);
            p.z = pick(-3000, 3000);
            p.red = static_cast<std::uint8_t>(pick(0, 255));
            p.green = static_cast<std::uint8_t>(pick(0, 3) * 85);
            p.texture = chance(30) ? pick(1, 20) : 0;
            p.u = static_cast<float>(pick(0, 64)) / 64;
            p.v = static_cast<float>(pick(0, 64)) / 32;
            if (chance(20)) {
                p.marker = kExtrasMarker;
                p.extras = {{1, 2, 3, 4}};
            }
            contents.points.push_back(p);
        }
        FaceGroups groups;
        const auto index = [&] { return pick(0, points > 0 ? points - 1 : 0); };
        for (int f = pick(0, 12); f > 0 && points > 0; --f) {
            const int kind = pick(1, 5);
            std::vector<int> face;
            for (int k = 0; k < (kind == 5 ? pick(3, 7) : kind); ++k) {
                face.push_back(index());
            }
            if (kind == 1) {
                groups.singles.push_back(face[0]);
            } else if (kind == 2) {
                groups.twos.push_back(face);
            } else if (kind == 3) {
                groups.triangles.push_back(face);
            } else if (kind == 4) {
                groups.quads.push_back(face);
            } else {
                groups.polygons.push_back(face);
            }
        }
        if (points > 0) {
            contents.faces(groups);
        }
        for (int j = pick(0, 4); j > 0; --j) {
            InstanceRecord instance;
            instance.x = pick(-100, 100);
            instance.rot_y = pick(0, 3) * 30.0;
            instance.rot_z = pick(0, 1) * 45.0;
            instance.scale_x = chance(30) ? -1.0f : 1.0f;
            instance.scale_z = chance(20) ? 2.5f : 1.0f;
            contents.instances.push_back(instance);
        }
        if (chance(30) && contents.instances.size() > 1) {
            contents.instance_separators = {{0x7FFF, 0xDD7D, 0}};
        }
        if (chance(50)) {
            contents.lines = {LineRecord{1, 2, 3, 4, 2.5}};
        }
        std::string bytes = build_archive(contents).bytes;
        if (chance(25) && !bytes.empty()) {
            bytes[static_cast<std::size_t>(pick(0, static_cast<int>(bytes.size()) - 1))] ^=
                static_cast<char>(pick(1, 255));
        } else if (chance(10)) {
            bytes.resize(static_cast<std::size_t>(pick(0, static_cast<int>(bytes.size()))));
        } else if (chance(5)) {
            bytes += "trailing";
        }
        return bytes;
    }

private:
    std::mt19937 random_;
};

}  // namespace
}  // namespace kon2x::test

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT] [SEED]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 300;
    kon2x::test::Generator generator(argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 1u);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const bool text = i % 2 == 0;
        const std::string name = "sample" + std::to_string(i) + (text ? ".kon" : ".bin");
        std::ofstream(folder / name, std::ios::binary)
            << (text ? generator.text_file() : generator.archive());
    }
    return 0;
}
