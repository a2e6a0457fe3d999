#pragma once
// The catalogue an import joins: its count, its references and what tells a book already
// there: its ISBN, or else its title, first author and volume. A book without an author is
// never taken for another on its title alone.
#include "store/DataFile.h"
#include "store/Fiche.h"
#include "store/Folder.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace q7::import {

// A book's texts as its file gives them, before the record's lengths cut them: Windows-1252
// bytes, whole. `number` is a volume given on its own ("2", "tome II").
struct WholeTexts {
    std::string title, author, series, number;
};

// The volume a title holds, for comparing: "TOME 2", "tome II", "vol. 3" anywhere, or a
// number at its end (", 2", "II") give "2"; empty without one (Windows-1252 bytes).
std::string volumeOf(std::string_view title);

class Duplicates {
public:
    // A book of the catalogue; `where` names it in the report: "fiche 3 du catalogue,
    // référence 45".
    void add(const Fiche& record, const std::string& where);
    // A book of the file, as imported, judged by its whole texts.
    void add(const Fiche& record, const WholeTexts& whole, const std::string& where);
    // What the report says of the book this one repeats (its title, where it is and why),
    // or nullopt. Books of the file are compared on their whole texts: two whose titles
    // differ are never duplicates. The catalogue keeps titles cut, so a book of the
    // catalogue answers for one book of the file only: volumes whose difference was cut
    // off each find their own, and those beyond are imported.
    std::optional<std::string> check(const Fiche& record, const WholeTexts& whole);

private:
    struct Held {
        std::string label;
        bool isbn = false;
        bool taken = false;
    };
    std::unordered_map<std::string, std::string> byIsbn_;
    std::unordered_map<std::string, std::vector<Held>> catalogue_; // by stored texts
    std::unordered_map<std::string, std::string> file_;            // by whole texts
    // Books without an ISBN: a book with one still repeats them by title and author.
    std::unordered_map<std::string, std::string> fileNoIsbn_;
};

struct Existing {
    int count = 0;
    std::uint64_t tailBytes = 0;
    Duplicates duplicates;
    std::unordered_set<std::string> references;
    void add(const Fiche& record);
};

// Through the locked data file (P is left at its end).
Existing scanCatalogue(DataFile& data);
// The references of deleted books the record window offers again (Q7ancnum.lst) are
// never given to an imported book: the next record to take one would share it. Nor are
// those a picture of Couvertures is named after: an imported book would take a cover that
// is not its own, and a cover is never replaced by an import.
// Throws IoError when the list cannot be read.
void reserveFreedReferences(const Folder& folder, Existing& existing);
// Read only, without lock nor creating anything: for a trial while the program may be open.
Existing peekCatalogue(const Folder& folder);

} // namespace q7::import
