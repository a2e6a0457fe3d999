#pragma once
// Printed pages as plain data: what to draw where, in the printer grid's units
// (300 per inch from the top-left corner of the printable area). Texts are
// Windows-1252 bytes.
#include "record/RecordScreen.h"
#include "settings/Settings.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

enum class Ink { Black, Red };

struct DrawCall {
    int x = 0;
    int y = 0;
    Ink ink = Ink::Black;
    std::string text;
    // Above 0, only the characters that fit in this width are drawn: decoration that
    // must stay in its place. 0 draws the whole text, wherever it ends.
    int width = 0;
    int points = 0; // 0: the page's size
};

struct PrintLayout {
    int points = 10;
    bool bold = false;
    std::vector<DrawCall> calls;
};

// The 27 lines of the record page; `number` is the data file's position.
PrintLayout recordPrintout(const RecordScreen& screen, int number, const Settings& captions);

// The figures of the statistics window, as its boxes show them.
struct StatisticsScreen {
    std::string nbfiche, nbpage, moyene, lu, nbpagelu, prix, moyenprix, fic, rep;
    std::string devise; // the currency's name, after both prices
};

// The nine lines of the statistics page, 18 points, 100 units apart.
PrintLayout statisticsPrintout(const StatisticsScreen& screen);

constexpr int labelCapacity = 70;
constexpr int labelColumns = 7;
constexpr int labelPitchX = 350;
constexpr int labelPitchY = 330;
// Left bare at the right of each column, so that side by side rules stay apart.
constexpr int labelGutter = 25;

// An entry as printed inside its frame: padded with spaces to 8, A to Z lowered.
std::string labelText(const std::string& entry);
// The sheet: three lines per entry, seven labels to a row.
PrintLayout labelSheet(const std::vector<std::string>& entries);

// The width in grid units of a Windows-1252 text at a size in points, as the printer will
// draw it: what lets a layout fit texts to their places before they are drawn.
using TextWidth = std::function<int(std::string_view text, int points)>;

struct TableColumn {
    std::string caption;
    // Never cut: a reference, an ISBN, a year, "Oui"/"Non", a date, a count. Other texts
    // go on a second line, and only then end with "\x85" (an ellipsis).
    bool whole = false;
    int weight = 10; // its share of the room left to the texts
};

struct TableRow {
    std::vector<std::string> cells; // one a column, Windows-1252
    Ink ink = Ink::Black;
};

struct PagedTable {
    std::string heading; // in red at the top of each page
    std::string detail;  // the line under it
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;
};

// Sizes a table is printed at: the largest from the first down to the floor at which no
// text is cut; at the floor, what is still too long is cut.
constexpr int tablePoints = 10;
constexpr int tableFloorPoints = 7;

// A4 pages of the printer grid: heading, detail and column captions at the top of each,
// the rows, "Page 3 / 12" at its foot; at least one page. Each column gets the room its
// widest text needs when the line holds them all; otherwise the whole columns keep theirs
// and the texts share the rest by weight, the long ones on two lines.
std::vector<PrintLayout> pagedTable(const PagedTable& table, const TextWidth& width);

} // namespace q7
