#pragma once
// A found book made into values of our fields: the text each control would receive, in
// the record's code page and within its capacity, and what was left out and why.
#include "lookup/FoundBook.h"
#include "store/Fiche.h"

#include <string>
#include <utility>
#include <vector>

namespace q7::lookup {

enum class AuthorForm { forenameFirst, surnameFirst }; // "Prénom Nom", "NOM Prénom"

struct MapOptions {
    AuthorForm form = AuthorForm::forenameFirst;
    std::vector<std::string> knownAuthors; // the author list, UTF-8
};

struct Proposal {
    std::vector<std::pair<Field, std::string>> values; // UTF-8; only fields found
    bool severalAuthors = false;                       // plusauteur
    std::vector<std::string> remarks;                  // French, for the review
};

// True when one of the record's ISBNs is this one (13 digits), in whatever form.
bool carriesIsbn(const FoundBook& book, std::string_view isbn13);

// The book that carries the ISBN asked for, or null: a search engine's near match is
// never used.
const FoundBook* bookFor(const Answer& answer, std::string_view isbn13);

Proposal propose(const FoundBook& book, std::string_view isbn13, const MapOptions& options);

// "fre", "fra", "fr" -> "Français"; empty when the code is not in the table.
std::string languageName(std::string_view code);

// A name folded for comparison: lower case, no accents, words in order of the alphabet.
std::string foldedName(std::string_view utf8);

} // namespace q7::lookup
