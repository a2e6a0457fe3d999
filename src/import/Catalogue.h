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

namespace q7::import {

// "Les Misérables, tome II" -> its volume "2", for comparing; empty without one. The
// volume is at the end of the title or the series ("Folio, 3").
std::string volumeOf(const Fiche& record);

class Duplicates {
public:
    // `where` names the book in the report: "fiche 3 du catalogue, référence 45".
    void add(const Fiche& record, const std::string& where);
    // What the report says of the book this one repeats (its title, where it is and why),
    // or nullopt.
    std::optional<std::string> find(const Fiche& record) const;

private:
    std::unordered_map<std::string, std::string> byIsbn_;
    std::unordered_map<std::string, std::string> byTitleAuthor_;
    // Books without an ISBN: a book with one still repeats them by title and author.
    std::unordered_map<std::string, std::string> byTitleAuthorNoIsbn_;
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
// never given to an imported book: the next record to take one would share it.
// Throws IoError when the list cannot be read.
void reserveFreedReferences(const Folder& folder, Existing& existing);
// Read only, without lock nor creating anything: for a trial while the program may be open.
Existing peekCatalogue(const Folder& folder);

} // namespace q7::import
