#include "store/ListFile.h"

#include "store/TextFile.h"

namespace q7 {

std::vector<std::string> parseListLines(const std::string& bytes) {
    std::vector<std::string> lines;
    const std::size_t end = std::min(bytes.find('\0'), bytes.size());
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < end) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes, start, i - start);
            if (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < end) lines.emplace_back(bytes, start, end - start);
    return lines;
}

std::string formatListLines(const std::vector<std::string>& values) {
    std::string out;
    std::size_t total = 0;
    for (const auto& v : values)
        total += v.size() + 2;
    out.reserve(total);
    for (const auto& v : values) {
        out += v;
        out += "\r\n";
    }
    return out;
}

std::string_view unreadTail(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    return nul == std::string_view::npos ? std::string_view() : bytes.substr(nul);
}

std::string formatListFile(const std::vector<std::string>& values, std::string_view previous) {
    std::string out = formatListLines(values);
    out += unreadTail(previous);
    return out;
}

std::vector<std::string> readListFile(const Folder& folder, const std::string& name) {
    return parseListLines(readWholeFile(folder, name));
}

void writeListFile(const Folder& folder, const std::string& name,
                   const std::vector<std::string>& values) {
    // The file on disk now, not as it was loaded: its hidden tail must survive.
    const std::string previous = folder.exists(name) ? readWholeFile(folder, name) : std::string();
    replaceFile(folder, name, formatListFile(values, previous));
}

bool hasUnreadTail(const Folder& folder, const std::string& name) {
    return folder.exists(name) && !unreadTail(readWholeFile(folder, name)).empty();
}

} // namespace q7
