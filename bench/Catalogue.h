#pragma once
// A generated catalogue that looks like a real collection: hundreds of authors, titles
// under every initial letter and a few under none, notes of every length with accents,
// and the value lists a user would have built alongside it.
#include <string>

namespace bench {

// Writes `records` records to `path`; record i has reference i + 1. The same records
// for the same count, run after run.
void generateCatalogue(const std::string& path, int records);

// The fifteen value lists of such a collection, in `dir`: every author, subject and
// series of the catalogue, some hundred titles.
void writeCollectionLists(const std::string& dir);

// An author and a word that no generated record holds.
inline const char* const absentAuthor = "Personne Inconnue";
inline const char* const absentWord = "introuvable";
// An author of many books, a subject and a series of the generated catalogue.
inline const char* const frequentAuthor = "Victor Hugo";
inline const char* const someSubject = "Roman";
inline const char* const someSeries = "Folio";

} // namespace bench
