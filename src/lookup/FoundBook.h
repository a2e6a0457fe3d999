#pragma once
// A book as a bibliographic service describes it, read out of its answer before it meets
// our fields. Texts are UTF-8 as the service sent them, cataloguing punctuation removed
// where the reader knows it.
#include <string>
#include <string_view>
#include <vector>

namespace q7::lookup {

struct Person {
    std::string surname; // when the service splits the name
    std::string forename;
    std::string whole; // when it does not ("Pascal Quignard")
};

struct FoundBook {
    std::string identifier; // the service's own: ark, Open Library key, Google id
    std::string title, subtitle, part;
    std::vector<Person> authors; // people who wrote it: translators and editors left out
    std::string publisher, printer;
    std::string series, seriesNumber;
    std::string date;     // free text: "DL 2025", "2007-11-02"
    std::string extent;   // free text: "1 vol. (391 p.)"
    int pages = 0;        // when the service counts them itself
    std::string language; // a code: "fre", "fr", "/languages/eng"
    std::vector<std::string> subjects;
    std::string summary;
    std::vector<std::string> isbns; // every ISBN or EAN the record carries, as written
    // The service's own way to the book's cover: an Open Library cover id ("6796986") or
    // edition key ("OL7353617M"), Google Books' thumbnail link; empty when it gives none.
    std::string cover;
    // A finer notice to read when this one is chosen: Open Library's search describes a
    // work, and names one edition of it.
    std::string edition;
    bool serial = false; // a periodical: never a candidate for a book
};

// What one answer held.
struct Answer {
    enum class Kind {
        found,     // one book or more
        none,      // a well-formed answer without any book
        malformed, // not what the service sends: `problem` says why
    };
    Kind kind = Kind::none;
    std::vector<FoundBook> books;
    std::string problem;  // French
    long long total = -1; // what the service holds for the question, every page; -1 unsaid
};

// The readers: bytes of an answer to what they hold. They never throw.
Answer readUnimarc(std::string_view bytes);
Answer readDublinCore(std::string_view bytes);
Answer readOpenLibrary(std::string_view bytes);
Answer readGoogleBooks(std::string_view bytes);

} // namespace q7::lookup
