#pragma once
// Spreadsheets saved as CSV or TSV (quoted as spreadsheets quote, separated by ",", ";"
// or tabs, in UTF-8 or Windows-1252), and the program's own CSV export.
#include "import/Columns.h"
#include "import/SourceBook.h"

#include <string_view>

namespace q7::import {

// Throws q7::Error when no column can be matched to the record.
SourceFile readCsv(std::string_view bytes, const Columns& columns = {});

// The program's own export: a quote at the start and the end of each line, 28 values
// between them separated by ";".
bool looksLikeOwnExport(std::string_view utf8);

} // namespace q7::import
