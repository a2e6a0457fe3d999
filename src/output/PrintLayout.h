#pragma once
// Printed pages as plain data: what to draw where, in the printer grid's units
// (300 per inch from the top-left corner of the printable area). Texts are
// Windows-1252 bytes.
#include "record/RecordScreen.h"
#include "settings/Settings.h"

#include <string>
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

} // namespace q7
