// The binary archive reader.
#include "loading/archive_reader.hpp"

#include "driver/console.hpp"

namespace kon2x {

void read_archive(ConstructionModel& model, std::FILE* file) {
    // The archive form is not read yet: every archive is refused.
    unsigned char version[4] = {};
    const std::size_t got = std::fread(version, 1, sizeof version, file);
    if (got < sizeof version) {
        report_and_wait(format_message("Unerwartetes Dateiende in %s!\n", model.source_name.c_str()));
        return;
    }
    const std::uint32_t id = version[0] | (version[1] << 8) | (version[2] << 16) |
                             (static_cast<std::uint32_t>(version[3]) << 24);
    report_and_wait(format_message("Falsche Versionskennung: %x!\n", id));
}

}  // namespace kon2x
