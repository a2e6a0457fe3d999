#pragma once
// The bibliographic services asked for a book, one row each, their settings (group
// [Notices] of the settings file) and the requests made to each. A new service is a row
// of the table in Sources.cpp, the reader of its answers and its recorded answers.
#include "lookup/FoundBook.h"
#include "lookup/Mapping.h"
#include "platform/Fetcher.h"
#include "platform/SettingsBackend.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace q7::lookup {

// One question to a service: its address and the reader of its answer.
struct Request {
    std::string url;
    Answer (*read)(std::string_view);
};

// The address a service is reached at, and the collector's key to it when it needs one.
struct Reach {
    std::string base; // without a final "/"
    std::string apiKey;
};

// What is asked of a source for one ISBN (13 digits), in order: the next only when the
// one before has no book. Only the ISBN goes out.
using IsbnRequests = std::vector<Request> (*)(const Reach& reach, const std::string& isbn13);

// What the collector typed to find a book without its ISBN: UTF-8 words, any empty.
struct SearchTerms {
    std::string title, author, publisher, year;
    bool operator==(const SearchTerms&) const = default;
};

// A search by title and author: the questions for the page of `count` books after the
// `start` first, in order (the next only when the one before has no book; none without
// the collector's key where one is needed), and the finer notice of a book chosen, when
// the source has one (an empty address: none). Only the words typed go out.
struct TitleSearch {
    std::vector<Request> (*requests)(const Reach& reach, const SearchTerms& terms, int start,
                                     int count);
    Request (*detail)(const Reach& reach, const FoundBook& chosen);
};

// How big a cover is asked: to show in a list, or the largest offered, to keep.
enum class CoverSize { list, kept };

// The addresses of the cover of a book a source found, best first (the next is asked
// when one has none); empty when its answer gives no way to one. Only the cover's id, the
// edition's key or the ISBN (13 digits, or empty) goes out.
using CoverRequests = std::vector<std::string> (*)(const Reach& reach, const FoundBook& book,
                                                   const std::string& isbn13, CoverSize size);

// A source that offers no covers or no search by title leaves those builders null.
struct Source {
    const char* key;        // in [Notices]: listed by `ordre`, and its address's key
    const char* name;       // as the collector reads it: "BnF"
    const char* address;    // the default, in https
    const char* keySetting; // [Notices] key of the collector's API key; null: none needed
    bool onByDefault;
    IsbnRequests isbn;
    CoverRequests cover = nullptr;       // null: the source gives no covers
    const TitleSearch* search = nullptr; // null: the source is not asked by title
};

// Every source, in the default order.
std::span<const Source> sources();

// A table whose rows are whole: each names its key, name, https address and requests;
// keys and key settings are distinct, of lower-case letters, digits and "_", and none is
// a key [Notices] already has.
constexpr bool wholeRows(std::span<const Source> rows) {
    const auto plainKey = [](const char* k) {
        if (!k || !*k) return false;
        const std::string_view key(k);
        if (key == "ordre" || key == "auteur") return false;
        for (char c : key)
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
        return true;
    };
    const auto same = [](const char* a, const char* b) {
        return a && b && std::string_view(a) == std::string_view(b);
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Source& s = rows[i];
        if (!plainKey(s.key) || !s.name || !*s.name || !s.address || !s.isbn ||
            !std::string_view(s.address).starts_with("https://") ||
            (s.keySetting && (!plainKey(s.keySetting) || same(s.key, s.keySetting))) ||
            (s.search && !s.search->requests))
            return false;
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            for (const char* mine : {s.key, s.keySetting})
                for (const char* theirs : {rows[j].key, rows[j].keySetting})
                    if (same(mine, theirs)) return false;
    }
    return true;
}

// A source as the collector set it.
struct SourceSetting {
    const Source* source;
    bool on = false;
    std::string address;
    std::string apiKey; // for a source that needs one

    Reach reach() const;
};

struct NoticeSettings {
    // Every source of the table once: those on in the order asked, then those off.
    std::vector<SourceSetting> sources;
    AuthorForm authorForm = AuthorForm::forenameFirst;

    // Those asked, in order.
    std::vector<SourceSetting> asked() const;
};

// Missing or unreadable keys keep their defaults. Throws SettingsError.
NoticeSettings readNoticeSettings(SettingsBackend& store,
                                  std::span<const Source> table = sources());
void writeNoticeSettings(SettingsBackend& store, const NoticeSettings& settings);

// What went wrong asking `who` ("BnF"), in French: no answer, or an HTTP status other
// than 200. Empty when the answer is there to be read.
std::string answerProblem(const Fetched& fetched, const std::string& who);
// The addresses of the cover of `book`, found at `source`, as the collector set that
// source; empty for a source without covers.
std::vector<std::string> coverRequests(const NoticeSettings& settings, const Source& source,
                                       const FoundBook& book, const std::string& isbn13,
                                       CoverSize size);

// The collector's settings file (wutfn.ini), for a program without the record window.
std::unique_ptr<SettingsBackend> userSettings();
// The network's door, for a program without the record window's services.
std::unique_ptr<Fetcher> ownFetcher();

} // namespace q7::lookup
