#pragma once
// Writing the catalogue (or the shown record) to one of the export files.
#include "output/ExportTypes.h"
#include "settings/Settings.h"
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <functional>
#include <string>

namespace q7 {

// The file the kind writes, from its row of the export table.
inline std::string exportFileName(ExportKind kind) {
    return exportType(kind).fileName;
}

struct ExportRequest {
    ExportKind kind = ExportKind::Txt;
    std::string folder;    // target folder; the name is looked up ignoring case
    std::string tableName; // for a kind that asks one, as typed (Windows-1252)
    PageExtras extras{};   // the pocket page only
};

// (records written, records to write), after every record.
using ExportProgress = std::function<void(int done, int total)>;

// Whole-file kinds start at the first record and read each one into `buffer`, so that
// afterwards the buffer holds the last record and the position is at the end; the others
// touch neither. Throws IoError; on a failure the earlier file stays as it was.
void runExport(DataFile& data, Fiche& buffer, const Settings& captions, FileSystem& fs,
               const ExportRequest& request, const ExportProgress& progress = {});

} // namespace q7
