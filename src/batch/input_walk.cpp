// The walk over folders and the look at each file's first bytes.
#include "batch/input_walk.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "batch/temporary_names.hpp"
#include "console/file_names.hpp"

namespace kon2x {

namespace fs = std::filesystem;

std::vector<std::string> find_temporaries(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(path_of(folder), fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && temporary_slice(name_of(it->path().filename()))) {
            found.push_back(name_of(it->path()));
        }
    }
    return found;
}

FileKind file_kind(const std::string& path) {
    std::FILE* file = open_file(path, "rb");
    if (file == nullptr) {
        return FileKind::unreadable;
    }
    unsigned char head[4] = {};
    const std::size_t size = std::fread(head, 1, sizeof head, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return FileKind::unreadable;
    }
    const auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (size >= 3 && upper(head[0]) == 'K' && upper(head[1]) == 'O' && upper(head[2]) == 'N') {
        return FileKind::construction;
    }
    const std::uint32_t version = head[0] | head[1] << 8 | head[2] << 16 | std::uint32_t{head[3]} << 24;
    return size == 4 && (version == 2880 || version == 5760) ? FileKind::construction : FileKind::other;
}

namespace {

// The same file however its path is spelled ("d/a.kon", "./d/a.kon", "/u/d/a.kon").
std::string spelling_free(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path_of(path), error);
    return name_of((error ? path_of(path) : absolute).lexically_normal());
}

class Walk {
public:
    explicit Walk(const std::string& excluded) {
        if (!excluded.empty()) {
            seen_.insert(spelling_free(excluded));
        }
    }

    InputWalk take() { return std::move(walk_); }

    void visit_path(const std::string& given) {
        std::error_code error;
        const fs::file_status status = fs::status(path_of(given), error);
        if (error) {
            return unreadable(given, error);
        }
        if (fs::is_directory(status)) {
            visit_folder(path_of(given), "");
        } else {
            visit_file(given, name_of(path_of(given).filename()), fs::is_regular_file(status));
        }
    }

private:
    void visit_folder(const fs::path& folder, const fs::path& relative) {
        std::error_code error;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(*it);
        }
        if (error) {
            unreadable(name_of(folder), error);
        }
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return a.path().filename().native() < b.path().filename().native();
        });
        for (const fs::directory_entry& entry : entries) {
            const fs::path below = relative / entry.path().filename();
            std::error_code type_error;
            if (entry.is_directory(type_error) && !entry.is_symlink(type_error)) {
                visit_folder(entry.path(), below);
            } else if (!entry.is_directory(type_error)) {
                visit_file(name_of(entry.path()), name_of(below), entry.is_regular_file(type_error));
            }
        }
    }

    // Only a regular file is opened: a pipe or a device could block the walk.
    void visit_file(const std::string& path, const std::string& relative, bool regular) {
        if (!seen_.insert(spelling_free(path)).second) {
            return;
        }
        if (regular && temporary_slice(name_of(path_of(path).filename()))) {
            walk_.temporaries.push_back(path);
            return;
        }
        switch (regular ? file_kind(path) : FileKind::other) {
        case FileKind::construction:
            walk_.inputs.push_back({path, relative});
            break;
        case FileKind::other:
            ++walk_.skipped;
            break;
        case FileKind::unreadable:
            walk_.unreadable.push_back("cannot read " + path);
            break;
        }
    }

    void unreadable(const std::string& path, const std::error_code& error) {
        walk_.unreadable.push_back("cannot read " + path + ": " + error.message());
    }

    InputWalk walk_;
    std::set<std::string> seen_;
};

}  // namespace

InputWalk find_inputs(const std::vector<std::string>& paths, const std::string& excluded) {
    Walk walk(excluded);
    for (const std::string& path : paths) {
        walk.visit_path(path);
    }
    return walk.take();
}

}  // namespace kon2x
