#pragma once
// The bibliographic services asked for a book, their settings (group [Notices] of the
// settings file) and the requests made to each.
#include "lookup/FoundBook.h"
#include "lookup/Mapping.h"
#include "platform/SettingsBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace q7::lookup {

enum class Source { bnf, openlibrary, googlebooks };
constexpr Source allSources[] = {Source::bnf, Source::openlibrary, Source::googlebooks};

const char* sourceName(Source s); // "BnF", "Open Library", "Google Books"
const char* sourceKey(Source s);  // "bnf", "openlibrary", "googlebooks"

struct NoticeSettings {
    std::vector<Source> order{Source::bnf, Source::openlibrary}; // a source left out is off
    std::string bnf = "https://catalogue.bnf.fr/api/SRU";
    std::string openlibrary = "https://openlibrary.org";
    std::string googlebooks = "https://www.googleapis.com/books/v1";
    std::string googleKey;
    AuthorForm authorForm = AuthorForm::forenameFirst;

    const std::string& address(Source s) const;
    std::string& address(Source s);
};

// Missing or unreadable keys keep their defaults. Throws SettingsError.
NoticeSettings readNoticeSettings(SettingsBackend& store);
void writeNoticeSettings(SettingsBackend& store, const NoticeSettings& settings);

// One question to a service: its address and the reader of its answer.
struct Request {
    std::string url;
    Answer (*read)(std::string_view);
};

// What is asked of a source, in order: the next only when the one before has no book.
// Only the ISBN goes out.
std::vector<Request> requestsFor(Source s, const std::string& isbn13,
                                 const NoticeSettings& settings);

// The collector's settings file (wutfn.ini), for a program without the record window.
std::unique_ptr<SettingsBackend> userSettings();

// The User-Agent: the program and how to reach its makers.
std::string userAgent();

} // namespace q7::lookup
