#pragma once
// The overview's columns, one row each: what a column shows, its caption, whether it is
// shown by default, sorts as numbers, can be a grouping. Every part of the overview (the
// table, the filter's field choice, the groups, the export and the printed list) reads
// this table.
#include "settings/Settings.h"
#include "store/Fiche.h"

#include <span>
#include <string>
#include <vector>

namespace q7 {

enum class ColumnKind {
    Text,      // one text field as stored
    Positions, // pos1 to pos4, the filled ones joined with " / "
    Flag,      // "Oui" or "Non"
    Borrower,  // who has the book, from the lending register
    Lent,      // "Oui" while the book is out, else "Non"
    Cover,     // the cover's thumbnail; "Oui" or "Non" in words (sorted, printed, exported)
};

struct OverviewColumn {
    const char* key;     // its name in the settings file
    const char* caption; // UTF-8; null: the user caption from the settings
    ColumnKind kind = ColumnKind::Text;
    Field field = Field::titre;
    Flag flag = Flag::lut;
    bool shown = false;          // shown when nothing is stored
    bool numbers = false;        // sorted as numbers when its values are numbers
    const char* group = nullptr; // its entry in "Regrouper par"; null: none
    int weight = 10;             // its share of the printed line
};

std::span<const OverviewColumn> overviewColumns();
// Its place in the table; -1 when no column has this key.
int columnIndex(std::string_view key);
// The caption shown (UTF-8): the user's for txtutil and cocheutil.
std::string columnCaption(const OverviewColumn& column, const Settings& settings);
// Text columns can be searched; flags cannot.
inline bool searchable(const OverviewColumn& column) {
    return column.kind != ColumnKind::Flag && column.kind != ColumnKind::Lent &&
           column.kind != ColumnKind::Cover;
}
// Printed whole, never cut: numbers, "Oui"/"Non", an ISBN.
inline bool printedWhole(const OverviewColumn& column) {
    return column.numbers || column.kind == ColumnKind::Flag || column.kind == ColumnKind::Lent ||
           column.kind == ColumnKind::Cover ||
           (column.kind == ColumnKind::Text && column.field == Field::isbn);
}
// The default columns, in order.
std::vector<int> defaultColumns();

} // namespace q7
