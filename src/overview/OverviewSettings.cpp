#include "overview/OverviewSettings.h"

#include "overview/OverviewColumns.h"

#include <algorithm>
#include <charconv>

namespace q7 {

namespace {

std::vector<std::string_view> split(std::string_view text) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return parts;
}

} // namespace

OverviewLayout readOverviewLayout(SettingsBackend& store) {
    OverviewLayout layout;
    if (const auto stored = store.read(overviewColumnsKey))
        for (std::string_view key : split(*stored)) {
            const int c = columnIndex(key);
            if (c >= 0 &&
                std::find(layout.columns.begin(), layout.columns.end(), c) == layout.columns.end())
                layout.columns.push_back(c);
        }
    if (layout.columns.empty()) {
        layout.columns = defaultColumns();
        return layout;
    }
    if (const auto stored = store.read(overviewWidthsKey)) {
        for (std::string_view part : split(*stored)) {
            int width = 0;
            const auto [end, error] =
                std::from_chars(part.data(), part.data() + part.size(), width);
            if (error != std::errc() || end != part.data() + part.size() || width < 10 ||
                width > 4000) {
                layout.widths.clear();
                break;
            }
            layout.widths.push_back(width);
        }
        if (layout.widths.size() != layout.columns.size()) layout.widths.clear();
    }
    return layout;
}

void writeOverviewLayout(SettingsBackend& store, const OverviewLayout& layout) {
    std::string columns, widths;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        if (i) columns += ',';
        columns += overviewColumns()[std::size_t(layout.columns[i])].key;
    }
    for (std::size_t i = 0; i < layout.widths.size(); ++i) {
        if (i) widths += ',';
        widths += std::to_string(layout.widths[i]);
    }
    store.write(overviewColumnsKey, columns);
    store.write(overviewWidthsKey, widths);
}

} // namespace q7
