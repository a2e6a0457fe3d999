#include "store/Folder.h"

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
