#pragma once
// One book as a reader found it in another program's file, before it meets the record.
// Texts are UTF-8; the mapping converts them once, at the end.
#include <string>
#include <utility>
#include <vector>

namespace q7::import {

// What a column, a field or an attribute of the source holds.
enum class Target {
    ignored,
    title,
    authors,
    subject,
    series,
    seriesNumber,
    publisher,
    keywords,
    printer,
    binding,
    language,
    condition,
    isbn,
    reference,
    location,
    pos1,
    pos2,
    pos3,
    pos4,
    origin,
    price,
    year,
    pages,
    volumesFlag,
    authorsFlag,
    readFlag,
    specialIssueFlag,
    bookmarkFlag,
    userFlag,
    jacketFlag,
    comments,
    summary,
    dateAdded,
    readStatus, // a reading state ("read", "to-read", "Completed"): read or not, never doubtful
    dateOrYear, // a "Date": a whole date is the registration, a year the edition's
};
constexpr int targetCount = static_cast<int>(Target::dateOrYear) + 1;

struct SourceBook {
    // Where the book was in its file, for the report: "ligne 12", "entrée 3".
    std::string where;
    // In the order found; several of one target where the source keeps a list (authors,
    // genres, keywords). A short list: a book fills a dozen targets of thirty.
    std::vector<std::pair<Target, std::string>> values;

    void add(Target t, std::string value) {
        if (t != Target::ignored) values.emplace_back(t, std::move(value));
    }
    std::vector<std::string> all(Target t) const;
    // The first non-empty value, or an empty one.
    std::string first(Target t) const;
};

// A source entry that did not become a book, and why (French, UTF-8).
struct Rejected {
    std::string where;
    std::string why;
};

// A book the other program says is lent (UTF-8): its borrower, since when (as the file
// writes it) and its note.
struct SourceLoan {
    std::size_t book = 0; // index in SourceFile::books
    std::string borrower;
    std::string date;
    std::string note;
};

// What a reader hands over: the books, and what it learnt of the file for the report.
struct SourceFile {
    std::string format;               // "CSV (séparateur « ; »)", "Tellico", "GCstar"
    std::string encoding;             // "UTF-8 avec BOM", "Windows-1252"...
    std::vector<std::string> mapping; // "Titre → titre", "Note → ignorée"
    std::vector<std::string> notes;   // choices the reader made (author separator...)
    std::vector<SourceBook> books;
    std::vector<Rejected> rejected;
    std::vector<SourceLoan> loans; // each once, in the file's order
    int entries = 0;               // books read, rejected ones included
};

} // namespace q7::import
