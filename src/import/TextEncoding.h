#pragma once
// What a text file from a spreadsheet is written in, told from its bytes.
#include <string>
#include <string_view>

namespace q7::import {

struct DecodedText {
    std::string utf8;
    std::string encoding; // for the report: "UTF-8 avec BOM", "Windows-1252"...
};

// A byte order mark says UTF-8 or UTF-16; otherwise text that is valid UTF-8 is UTF-8
// and anything else is Windows-1252 (every byte of which means something).
DecodedText decodeText(std::string_view bytes);

} // namespace q7::import
