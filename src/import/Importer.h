#pragma once
// From a file's bytes to the records an import appends, with the report of every choice.
#include "import/Catalogue.h"
#include "import/Columns.h"
#include "import/Report.h"
#include "import/SourceBook.h"
#include "import/Values.h"
#include "loans/LoanRegister.h"

#include <functional>
#include <string_view>
#include <vector>

namespace q7::import {

enum class Format { automatic, csv, tellico, gcstar };

// Told from the content unless forced. Throws q7::Error (French).
SourceFile readSource(std::string_view bytes, Format format, const Columns& columns);

// Called every thousand books, and once at the end.
using Progress = std::function<void(int done, int total)>;

struct Plan {
    Report report;
    std::vector<Fiche> records;        // referenced, in the file's order
    std::vector<std::size_t> fromBook; // the source book of each record
    std::vector<Loan> loans;           // of the books imported, for Q7prets.txt
};

// Books that repeat the catalogue or an earlier book of the file are skipped; the rest
// get references from N + 1 upward, skipping those the catalogue holds, until the
// catalogue's 40000 records are reached.
Plan planImport(const SourceFile& source, Existing& existing, const Date& today,
                const Progress& progress = {});

} // namespace q7::import
