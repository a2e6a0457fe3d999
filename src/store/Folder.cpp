#include "store/Folder.h"

#include <string_view>

namespace q7 {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool isScratchName(const std::string& name) {
    return name.size() >= 6 && sameNameIgnoringCase(name.substr(0, 2), "Q7") &&
           sameNameIgnoringCase(name.substr(name.size() - 4), ".tmp");
}

namespace {
constexpr std::string_view outputScratchEnd = ".lirabel3.tmp";
// The longest file name most file systems take.
constexpr std::size_t longestName = 255;
} // namespace

std::string outputScratchPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
    const std::string name =
        path.substr(from, longestName - 1 - outputScratchEnd.size()); // a long name, cut
    return path.substr(0, from) + "." + name + std::string(outputScratchEnd);
}

void removeOutputScratch(FileSystem& fs, const std::string& dir) {
    // A leftover only takes room: whatever fails here, the output is written all the same.
    std::vector<std::string> names;
    try {
        names = fs.list(dir);
    } catch (...) {
        return;
    }
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    for (const std::string& name : names) {
        if (!name.starts_with('.') || !name.ends_with(outputScratchEnd)) continue;
        try {
            const std::string path = base + name;
            if (fs.kindOf(path) != FileKind::Regular) continue;
            // Held: another copy of the program is writing it now.
            const auto file = fs.open(path, OpenMode::ReadNoLink);
            if (file->tryLock()) fs.remove(path);
        } catch (...) {
        }
    }
}

std::string Folder::join(const std::string& name) const {
    if (dir_.empty()) return name;
    return dir_.back() == '/' ? dir_ + name : dir_ + "/" + name;
}

std::string Folder::path(const std::string& name) const {
    const std::string exact = join(name);
    if (fs_.exists(exact)) return exact;
    try {
        for (const std::string& entry : fs_.list(dir_))
            if (sameNameIgnoringCase(entry, name)) return join(entry);
    } catch (const std::exception&) {
        // An unreadable folder: fall back to the name as given.
    }
    return exact;
}

bool Folder::exists(const std::string& name) const {
    return fs_.exists(path(name));
}

} // namespace q7
