#pragma once
// The overview's list taken away: as a CSV file that spreadsheets open as it is, as an
// OpenDocument spreadsheet, and as a printed inventory. Both hold the rows shown, in the order and
// columns shown.
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

// The same as an OpenDocument spreadsheet, every value a text as typed: an ISBN keeps its
// leading zero.
std::string overviewSpreadsheet(const ShownList& list);

// The rows shown as a printed table (see pagedTable): `title` in red, `detail` below it.
std::vector<PrintLayout> overviewSheet(const ShownList& list, const std::string& title,
                                       const std::string& detail, const TextWidth& width);

} // namespace q7
