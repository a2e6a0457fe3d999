#pragma once
// The overview's list taken away: as a CSV file that spreadsheets open as it is, and as a
// printed inventory. Both hold the rows shown, in the order and columns shown.
#include "output/PrintLayout.h"
#include "overview/OverviewBooks.h"
#include "settings/Settings.h"

#include <string>
#include <vector>

namespace q7 {

struct ShownList {
    const OverviewBooks& books;
    const std::vector<int>& rows;
    const std::vector<int>& columns;
    const Settings& captions;
};

// UTF-8 with a byte order mark, ';' between values, CR LF after each line, values quoted
// when they hold ';', '"' or a line break (quotes doubled), a header line first.
std::string overviewCsv(const ShownList& list);

constexpr int overviewSheetRows = 50;

// A4 pages of the printer grid: the heading in red (`title`, `detail` below it in black),
// the column captions, the rows with each column's share of the line fitted by its weight,
// "page 3 / 12" at each foot. At least one page. Texts are Windows-1252.
std::vector<PrintLayout> overviewSheet(const ShownList& list, const std::string& title,
                                       const std::string& detail);

} // namespace q7
