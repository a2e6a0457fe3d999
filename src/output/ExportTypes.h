#pragma once
// Every export the program offers, one row each: the file it writes, the export window's
// title and question, the item of the "Exportation" menu that opens it, whether it reads
// the whole catalogue or writes the record shown, and its writer. The runner, the export
// window, the record window's menu and its modes all read this table: a new format is a
// row here, its writer, and its item in the record window's form.
#include "settings/Settings.h"
#include "store/Fiche.h"

#include <span>
#include <string>

namespace q7 {

// A new kind goes before End; the table checks, as it compiles, that each has its row.
enum class ExportKind { Txt = 1, Sql = 2, Csv = 3, Html = 4, End };

// What a writer gets besides the record.
struct ExportContext {
    int number = 0; // the record's 1-based rank in the catalogue
    const Settings& captions;
    const std::string& tableName; // as typed, Windows-1252
};

// Appends one record's share of the file (a block, lines, a whole page).
using ExportWriter = void (*)(std::string& out, const Fiche& record, const ExportContext& context);

struct ExportType {
    ExportKind kind;
    const char* fileName; // created with this name; an existing one is found ignoring case
    const char* caption;  // the export window's title, UTF-8
    const char* menuItem; // its item of the record window's "Exportation" menu
    bool wholeFile;       // every record from the first; false: the record buffer alone
    bool asksTableName;   // the window asks a name, and refuses an empty one
    ExportWriter writer;
};

// In the menu's order, which is the kinds' order.
std::span<const ExportType> exportTypes();
// Throws std::logic_error for End or a value that is no kind.
const ExportType& exportType(ExportKind kind);

} // namespace q7
