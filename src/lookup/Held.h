#pragma once
// "Déjà au catalogue": whether a book found or typed is one the catalogue holds already,
// by its ISBN in either form, or by its title and first author, folded.
#include "store/DataFile.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace q7::lookup {

struct BookKey {
    std::string isbn13;    // empty: none
    std::string title;     // folded words; empty: none
    std::string fullTitle; // with its subtitle, when the book has one
    std::string author;    // the first author's folded name, words in order
};

// From the book's texts (UTF-8) as found or typed.
BookKey bookKey(std::string_view isbn, std::string_view title, std::string_view author,
                std::string_view fullTitle = {});
// From a stored record's bytes.
BookKey recordKey(const Fiche& record);

// The rule: the same ISBN; or the same title, a title cut to its field beginning the
// whole one, and the same first author. Empty texts never match.
bool sameBook(const BookKey& found, const BookKey& stored);

struct Held {
    int index = -1;               // in the catalogue; -1: not held
    std::string reference, title; // UTF-8
};

// For each key, the first record of the catalogue that is its book, one of the same ISBN
// first, record `except` (the one shown) left aside. Reads the whole file once without
// moving P.
std::vector<Held> findHeld(const DataFile& data, std::span<const BookKey> keys, int except = -1);

} // namespace q7::lookup
