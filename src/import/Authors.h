#pragma once
// What the report says of the authors a file holds several to a cell: the separator of
// most lines, the lines that differ, and names kept whole. (The splitting itself is
// splitAuthors, among the values.)
#include "import/SourceBook.h"

#include <string>
#include <utility>
#include <vector>

namespace q7::import {

struct AuthorSeparators {
    std::vector<std::pair<std::string, std::string>> lines; // where, separator
    std::vector<std::string> firms;                         // where a firm was kept whole
    // Where, and which cell, a lone given name kept its partner's surname.
    std::vector<std::pair<std::string, std::string>> shared;

    // The authors of one cell of the book at `where`, what was seen noted.
    std::vector<std::string> split(const std::string& where, std::string_view cell);
    // Puts the lines at the head of the file's notes.
    void notes(SourceFile& file) const;
    // "« ; »", "« , » et « & »".
    static std::string said(const std::string& sep);
};

} // namespace q7::import
