#include "import/Exporters.h"

#include <algorithm>

namespace q7::import {

namespace {
using T = Target;
} // namespace

const std::vector<Exporter>& exporters() {
    // Ignored columns are named too, so the report says they were understood.
    static const std::vector<Exporter> table = {
        {"Goodreads",
         {"book id", "exclusive shelf"},
         {{"book id", T::ignored},
          {"author l f", T::ignored}, // the same author, last name first
          {"additional authors", T::authors},
          {"my rating", T::ignored},
          {"average rating", T::ignored},
          {"original publication year", T::ignored},
          {"date read", T::ignored},
          {"bookshelves", T::keywords},
          {"bookshelves with positions", T::ignored},
          {"exclusive shelf", T::readStatus},
          {"my review", T::comments},
          {"spoiler", T::ignored},
          {"private notes", T::comments},
          {"read count", T::ignored},
          {"owned copies", T::ignored}}},
        {"LibraryThing",
         {"book id", "primary author"},
         {{"book id", T::ignored},
          {"sort character", T::ignored},
          {"date", T::year}, // the publication date, whole or a year
          {"primary author role", T::ignored},
          {"secondary author roles", T::ignored},
          {"publication", T::ignored}, // publisher, year and pages in one text
          {"review", T::comments},
          {"rating", T::ignored},
          {"private comment", T::comments},
          {"media", T::binding},
          {"physical description", T::ignored},
          {"weight", T::ignored},
          {"height", T::ignored},
          {"thickness", T::ignored},
          {"length", T::ignored},
          {"dimensions", T::ignored},
          {"lccn", T::ignored},
          {"date started", T::ignored},
          {"date read", T::ignored},
          {"barcode", T::ignored},
          {"bcid", T::ignored},
          {"collections", T::keywords},
          {"original languages", T::ignored},
          {"lc classification", T::ignored},
          {"isbns", T::ignored}, // the ISBN column holds the first of them
          {"subjects", T::subject},
          {"dewey decimal", T::ignored},
          {"dewey wording", T::ignored},
          {"other call number", T::ignored},
          {"copies", T::ignored},
          {"source", T::ignored},
          {"entry date", T::dateAdded},
          {"from where", T::origin},
          {"oclc", T::ignored},
          {"work id", T::ignored},
          {"lending patron", T::ignored},
          {"lending status", T::ignored},
          {"lending start", T::ignored},
          {"lending end", T::ignored}}},
        {"BookBuddy",
         {"author last first"},
         {{"author last first", T::ignored},
          {"original title", T::ignored},
          {"subtitle", T::ignored},
          {"illustrator", T::ignored},
          {"narrator", T::ignored},
          {"translator", T::ignored},
          {"photographer", T::ignored},
          {"editor", T::ignored},
          {"place of publication", T::ignored},
          {"date published", T::year},
          {"original date published", T::ignored},
          {"original year published", T::ignored},
          {"edition", T::ignored}, // "2nd edition", not the publisher
          {"list price", T::ignored},
          {"issn", T::ignored},
          {"favorites", T::ignored},
          {"rating", T::ignored},
          {"category", T::subject},
          {"wish list", T::ignored},
          {"previously owned", T::ignored},
          {"up next", T::ignored},
          {"date started", T::ignored},
          {"date finished", T::ignored},
          {"loaned to", T::ignored},
          {"loaned date", T::ignored},
          {"returned date", T::ignored},
          {"quantity", T::ignored},
          {"purchase date", T::ignored},
          {"purchase place", T::origin},
          {"signed", T::ignored},
          {"status", T::readStatus}}},
        {"Libib",
         {"item type", "ean isbn13"},
         {{"item type", T::ignored},
          {"creators", T::authors},
          {"first name", T::ignored},
          {"last name", T::ignored},
          {"ean isbn13", T::isbn},
          {"upc isbn10", T::isbn},
          {"publish date", T::year},
          {"group", T::keywords},
          {"length", T::pages},
          {"number of discs", T::ignored},
          {"number of players", T::ignored},
          {"age group", T::ignored},
          {"ensemble", T::ignored},
          {"aspect ratio", T::ignored},
          {"esrb", T::ignored},
          {"rating", T::ignored},
          {"review", T::comments},
          {"review date", T::ignored},
          {"status", T::readStatus},
          {"began", T::ignored},
          {"completed", T::ignored},
          {"copies", T::ignored}}},
        {"calibre",
         {"author sort", "title sort"},
         {{"author sort", T::ignored},
          {"title sort", T::ignored},
          {"comments", T::summary}, // calibre's comments are the book's description
          {"cover", T::ignored},
          {"formats", T::ignored},
          {"id", T::ignored},
          {"identifiers", T::ignored},
          {"library name", T::ignored},
          {"pubdate", T::year},
          {"rating", T::ignored},
          {"series index", T::seriesNumber},
          {"size", T::ignored},
          {"timestamp", T::dateAdded},
          {"uuid", T::ignored}}},
        {"Tellico",
         {"copyright year", "publication year"},
         {{"subtitle", T::ignored},
          {"editor", T::ignored},
          {"translator", T::ignored},
          {"edition", T::ignored}, // an edition statement, not the publisher
          {"copyright year", T::ignored},
          {"lccn", T::ignored},
          {"purchase date", T::ignored},
          {"signed", T::ignored},
          {"gift", T::ignored},
          {"loaned", T::ignored},
          {"rating", T::ignored},
          {"front cover", T::ignored},
          {"id", T::ignored},
          {"date created", T::dateAdded},
          {"date modified", T::ignored}}},
    };
    return table;
}

const Exporter* recognizeExporter(const std::vector<std::string>& folded) {
    for (const Exporter& e : exporters()) {
        const bool all = std::all_of(e.signature.begin(), e.signature.end(), [&](const char* s) {
            return std::find(folded.begin(), folded.end(), s) != folded.end();
        });
        if (all) return &e;
    }
    return nullptr;
}

std::optional<Target> exporterTarget(const Exporter& exporter, std::string_view folded) {
    for (const ExporterColumn& c : exporter.columns)
        if (folded == c.name) return c.target;
    return std::nullopt;
}

} // namespace q7::import
