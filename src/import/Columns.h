#pragma once
// How a spreadsheet's columns meet the record when the header does not say it well
// enough: `--colonnes titre,auteur,-,isbn` (by position, every line is a book) or
// `--colonnes "Nom du livre=titre,Écrivain=auteur"` (by header, the others by name).
#include "import/SourceBook.h"

#include <string>
#include <utility>
#include <vector>

namespace q7::import {

struct Columns {
    std::vector<Target> byPosition;                       // empty: the header says
    std::vector<std::pair<std::string, Target>> byHeader; // folded header name -> target
    bool empty() const { return byPosition.empty() && byHeader.empty(); }
};

// Throws q7::Error with a French message naming what it does not know.
Columns parseColumns(const std::string& utf8);

} // namespace q7::import
