#pragma once
// Every export the program offers, one row each: the file it writes, the export window's
// title and question, the item of the "Exportation" menu that opens it, whether it reads
// the whole catalogue or writes the record shown, and its writer. The runner, the export
// window, the record window's menu and its modes all read this table: a new format is a
// row here, its writer, and its item in the record window's form.
#include "settings/Settings.h"
#include "store/Fiche.h"

#include <ctime>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace q7 {

// A new kind goes before End; the table checks, as it compiles, that each has its row.
enum class ExportKind { Txt = 1, Sql = 2, Csv = 3, Html = 4, Pocket = 5, End };

// Who has a book out, and since when ("3/11/2026"); Windows-1252.
struct LentBook {
    std::string borrower;
    std::string since;
};
// By reference (numero) as stored.
using LentBooks = std::unordered_map<std::string, LentBook>;

// What a page made of the whole catalogue shows besides the records.
struct PageExtras {
    std::time_t made = 0; // said on the page, so that an old copy is recognisable
    const LentBooks* lent = nullptr;
    // A book's cover as a small JPEG, or "" when it has none that fits.
    std::function<std::string(std::string_view reference)> thumbnail;
    // The page of one book: its cover's address from the page, "" when it has none.
    std::string cover;
};

// What a writer gets besides the record.
struct ExportContext {
    int number = 0; // the record's 1-based rank in the catalogue
    const Settings& captions;
    const std::string& tableName; // as typed, Windows-1252
    const PageExtras& extras;
};

// Appends one record's share of the file (a block, lines, a whole page).
using ExportWriter = void (*)(std::string& out, const Fiche& record, const ExportContext& context);

// A kind that gathers what its records share (the pocket page names each author once)
// writes through a session made for each export; making it writes the file's head.
class ExportSession {
public:
    virtual ~ExportSession() = default;
    virtual void add(std::string& out, const Fiche& record, const ExportContext& context) = 0;
    // After the last record: what the records shared, and the file's end.
    virtual void finish(std::string& out, const ExportContext& context) = 0;
};
using ExportStart = std::unique_ptr<ExportSession> (*)(std::string& out,
                                                       const ExportContext& context);

struct ExportType {
    ExportKind kind;
    const char* fileName;        // created with this name; an existing one is found ignoring case
    const char* caption;         // the export window's title, UTF-8
    const char* menuItem;        // its item of the record window's "Exportation" menu
    bool wholeFile;              // every record from the first; false: the record buffer alone
    bool asksTableName;          // the window asks a name, and refuses an empty one
    ExportWriter writer;         // each record on its own; or else
    ExportStart start = nullptr; // a session for the whole file
    // A page to read the books on: the loans and the date go in, and the window offers
    // the covers as thumbnails.
    bool bookPage = false;
    // The page of the record shown links its cover.
    bool linksCover = false;
};

// In the menu's order, which is the kinds' order.
std::span<const ExportType> exportTypes();
// Throws std::logic_error for End or a value that is no kind.
const ExportType& exportType(ExportKind kind);

} // namespace q7
