#pragma once
// What a text file from a spreadsheet is written in, told from its bytes.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace q7::import {

struct DecodedText {
    // The text in UTF-8: the bytes themselves when they already are (no copy of a large
    // file), else their conversion.
    std::string_view utf8() const { return borrowed ? bytes : std::string_view(converted); }
    std::string converted;
    std::string_view bytes;
    bool borrowed = false;
    std::string encoding; // for the report: "UTF-8 avec BOM", "Windows-1252"...
    // Lines (from 1) of a UTF-8 file holding stray bytes of another code page, read as
    // Windows-1252 each, and how many such bytes each holds.
    std::vector<std::pair<int, int>> strayLines;
};

// A byte order mark says UTF-8 or UTF-16. Otherwise text that is mostly UTF-8 is UTF-8,
// its few stray bytes read as Windows-1252 one by one (a file pasted together from two
// sources); text with no UTF-8 character is Windows-1252 (every byte of which means
// something).
// Text already in UTF-8 is not copied: the result points into `bytes`, which must
// outlive it.
DecodedText decodeText(std::string_view bytes);

} // namespace q7::import
