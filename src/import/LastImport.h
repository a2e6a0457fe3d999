#pragma once
// What --annuler needs to undo the last import of a folder: the record counts before and
// after, a fingerprint of the catalogue as the import left it, and the values it added to
// the lists. Kept in Q7import.der beside the catalogue (Windows-1252, CR LF).
#include "import/ImportLists.h"
#include "loans/LoanRegister.h"
#include "store/DataFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace q7::import {

inline const std::string lastImportFileName = "Q7import.der";

struct LastImport {
    int before = 0;
    int after = 0;
    std::uint64_t fingerprint = 0;
    // The catalogue before the import: an undo cut short, or an import stopped before its
    // records, is recognised by it and finished. 0 in files written without it.
    std::uint64_t fingerprintBefore = 0;
    std::string when;   // "05/03/2024 à 10:15:00"
    std::string report; // the report's file name
    std::string source; // the file imported, as the report names it (empty in older files)
    std::vector<ListAddition> lists;
    std::vector<Loan> loans; // added to Q7prets.txt
};

std::string formatLastImport(const LastImport& last);
// nullopt when the bytes are not such a file.
std::optional<LastImport> parseLastImport(const std::string& bytes);

// A 64-bit digest of every record of the data file (P is left at its end).
std::uint64_t fingerprint(DataFile& data);
// The digest of the records before, followed by `records`.
std::uint64_t fingerprint(std::uint64_t before, const std::vector<Fiche>& records);

} // namespace q7::import
