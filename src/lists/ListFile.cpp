#include "lists/ListFile.h"

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

std::vector<std::string> readListFile(const Folder& folder, const std::string& name) {
    return parseListLines(readWholeFile(folder, name));
}

void writeListFile(const Folder& folder, const std::string& name,
                   const std::vector<std::string>& values) {
    replaceFile(folder, name, formatListLines(values));
}

} // namespace q7
