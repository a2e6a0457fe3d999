#include "overview/OverviewOutput.h"

#include "output/Spreadsheet.h"
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

std::string overviewSpreadsheet(const ShownList& list) {
    Spreadsheet sheet("Vue d'ensemble");
    std::vector<std::string> captions;
    for (int c : list.columns)
        captions.push_back(columnCaption(overviewColumns()[std::size_t(c)], list.captions));
    sheet.addRow({captions.begin(), captions.end()});
    std::vector<std::string> values(list.columns.size());
    std::string scratch;
    for (int row : list.rows) {
        for (std::size_t i = 0; i < list.columns.size(); ++i)
            values[i] = cp1252ToUtf8(list.books.value(row, list.columns[i], scratch));
        sheet.addRow({values.begin(), values.end()});
    }
    return sheet.bytes();
}

std::vector<PrintLayout> overviewSheet(const ShownList& list, const std::string& title,
                                       const std::string& detail, const TextWidth& width) {
    PagedTable table{title, detail, {}, {}};
    for (int c : list.columns) {
        const OverviewColumn& column = overviewColumns()[std::size_t(c)];
        table.columns.push_back(
            {lit(columnCaption(column, list.captions)), printedWhole(column), column.weight});
    }
    table.rows.reserve(list.rows.size());
    std::string scratch;
    for (int row : list.rows) {
        TableRow& printed = table.rows.emplace_back();
        for (int c : list.columns)
            printed.cells.emplace_back(list.books.value(row, c, scratch));
    }
    return pagedTable(table, width);
}

} // namespace q7
