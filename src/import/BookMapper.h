#pragma once
// A book of another program's file made into a record, every choice noted for the
// report: texts converted to Windows-1252 and cut at the field's capacity, the first
// author in `auteur` and the others at the start of `notes`, the series with its number,
// the location across the four positions, ISBN, price, pages and date checked.
#include "import/Catalogue.h"
#include "import/SourceBook.h"
#include "import/Values.h"
#include "store/Fiche.h"

#include <string>
#include <vector>

namespace q7::import {

struct Finding {
    enum class Kind {
        cut,          // a text longer than its field
        replaced,     // characters outside Windows-1252 became "?"
        isbnRepaired, // recognised by its check digit
        isbnDoubtful, // kept as given, or not kept, and said so
        priceRounded,
        dropped,   // a value that could not be read (a price, pages, a date...)
        sameTitle, // a title cut to the same text as an earlier book's: both imported
    };
    Kind kind;
    Field field = Field::titre;
    int count = 0;    // characters cut or replaced
    std::string text; // French, UTF-8
};

struct MappedBook {
    Fiche fiche;
    WholeTexts whole; // what tells it from the other books, before the cuts
    std::vector<Finding> findings;
};

MappedBook mapBook(const SourceBook& book, const Date& today);

// How the report names a field of the record.
const char* fieldName(Field f);

} // namespace q7::import
