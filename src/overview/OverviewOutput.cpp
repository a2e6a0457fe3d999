#include "overview/OverviewOutput.h"

#include "overview/OverviewColumns.h"
#include "store/Cp1252.h"

namespace q7 {

namespace {

void appendCsvValue(std::string& out, std::string_view utf8) {
    if (utf8.find_first_of(";\"\r\n") == std::string_view::npos) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

constexpr int left = 100;
constexpr int lineWidth = 2300;
constexpr int gap = 20;
constexpr int firstRow = 400;
constexpr int pitch = 60;
constexpr int footer = 3440;

} // namespace

std::string overviewCsv(const ShownList& list) {
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < list.columns.size(); ++i) {
        if (i) out += ';';
        appendCsvValue(
            out, columnCaption(overviewColumns()[std::size_t(list.columns[i])], list.captions));
    }
    out += "\r\n";
    std::string scratch;
    for (int row : list.rows) {
        for (std::size_t i = 0; i < list.columns.size(); ++i) {
            if (i) out += ';';
            appendCsvValue(out, cp1252ToUtf8(list.books.value(row, list.columns[i], scratch)));
        }
        out += "\r\n";
    }
    return out;
}

std::vector<PrintLayout> overviewSheet(const ShownList& list, const std::string& title,
                                       const std::string& detail) {
    // Each column gets its weight's share of the line.
    struct Place {
        int x, width;
    };
    std::vector<Place> places;
    // Each column first gets room for its caption (about 22 units a character at 10
    // points), then its weight's share of what is left of the line.
    int weights = 0, captions = 0;
    std::vector<int> least;
    for (int c : list.columns) {
        weights += overviewColumns()[std::size_t(c)].weight;
        least.push_back(
            int(lit(columnCaption(overviewColumns()[std::size_t(c)], list.captions)).size()) * 22 +
            gap);
        captions += least.back();
    }
    if (captions > lineWidth) least.assign(least.size(), 0);
    const int spare = std::max(lineWidth - captions, 0);
    int x = left;
    for (std::size_t i = 0; i < list.columns.size(); ++i) {
        const int width = least[i] + (captions > lineWidth ? lineWidth : spare) *
                                         overviewColumns()[std::size_t(list.columns[i])].weight /
                                         std::max(weights, 1);
        places.push_back({x, std::max(width - gap, 1)});
        x += width;
    }

    const std::size_t rows = list.rows.size();
    const std::size_t pageCount =
        rows == 0 ? 1 : (rows + overviewSheetRows - 1) / overviewSheetRows;
    std::vector<PrintLayout> pages;
    std::string scratch;
    for (std::size_t p = 0; p < pageCount; ++p) {
        PrintLayout page{10, false, {}};
        page.calls.push_back({left, 160, Ink::Red, title, 0});
        page.calls.push_back({left, 220, Ink::Black, detail, 0});
        for (std::size_t i = 0; i < list.columns.size(); ++i)
            page.calls.push_back(
                {places[i].x, 320, Ink::Black,
                 lit(columnCaption(overviewColumns()[std::size_t(list.columns[i])], list.captions)),
                 places[i].width});
        int y = firstRow;
        for (std::size_t r = p * overviewSheetRows; r < std::min(rows, (p + 1) * overviewSheetRows);
             ++r, y += pitch)
            for (std::size_t i = 0; i < list.columns.size(); ++i)
                page.calls.push_back(
                    {places[i].x, y, Ink::Black,
                     std::string(list.books.value(list.rows[r], list.columns[i], scratch)),
                     places[i].width});
        page.calls.push_back({1150, footer, Ink::Black,
                              "page " + std::to_string(p + 1) + " / " + std::to_string(pageCount),
                              0});
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace q7
