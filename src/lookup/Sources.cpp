#include "lookup/Sources.h"

#include "lookup/Isbn.h"
#include "platform/QtFetcher.h"
#include "platform/QtSettingsBackend.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace q7::lookup {

namespace {

const std::string group = "Notices/";

std::string encoded(const std::string& text) {
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

std::vector<Request> bnfIsbn(const Reach& r, const std::string& isbn13) {
    // Some records hold only the ISBN-10, others only the EAN: ask every form.
    std::string query = "bib.isbn adj \"" + isbn13 + "\"";
    if (const std::string ten = isbn::to10(isbn13); !ten.empty())
        query += " or bib.isbn adj \"" + ten + "\"";
    query += " or bib.ean adj \"" + isbn13 + "\"";
    const std::string common =
        r.base + "?version=1.2&operation=searchRetrieve&maximumRecords=5&query=" + encoded(query) +
        "&recordSchema=";
    // Some records answer only in Dublin Core.
    return {{common + "unimarcxchange", readUnimarc}, {common + "dublincore", readDublinCore}};
}

std::vector<Request> openLibraryIsbn(const Reach& r, const std::string& isbn13) {
    return {{r.base + "/api/books?bibkeys=ISBN:" + isbn13 + "&format=json&jscmd=data",
             readOpenLibrary}};
}

std::vector<Request> googleBooksIsbn(const Reach& r, const std::string& isbn13) {
    return {{r.base + "/volumes?q=isbn:" + isbn13 +
                 (r.apiKey.empty() ? "" : "&key=" + encoded(r.apiKey)),
             readGoogleBooks}};
}

// A CQL string: its quotes and backslashes escaped.
std::string cqlQuoted(const std::string& words) {
    std::string out = "\"";
    for (char c : words) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

std::vector<Request> bnfSearch(const Reach& r, const SearchTerms& t, int start, int count) {
    std::string query;
    const std::pair<const char*, const std::string*> indexes[] = {{"bib.title", &t.title},
                                                                  {"bib.author", &t.author},
                                                                  {"bib.publisher", &t.publisher},
                                                                  {"bib.date", &t.year}};
    for (const auto& [index, words] : indexes)
        if (!words->empty())
            query +=
                (query.empty() ? "" : " and ") + std::string(index) + " all " + cqlQuoted(*words);
    const std::string common =
        r.base + "?version=1.2&operation=searchRetrieve&maximumRecords=" + std::to_string(count) +
        "&startRecord=" + std::to_string(start + 1) + "&query=" + encoded(query) + "&recordSchema=";
    return {{common + "unimarcxchange", readUnimarc}, {common + "dublincore", readDublinCore}};
}

std::vector<Request> openLibrarySearch(const Reach& r, const SearchTerms& t, int start, int count) {
    // Only what the candidates show: a work's whole answer lists every edition's ISBNs.
    std::string url = r.base + "/search.json?";
    for (const auto& [name, words] : {std::pair{"title", &t.title}, std::pair{"author", &t.author},
                                      std::pair{"publisher", &t.publisher}})
        if (!words->empty()) url += std::string(name) + "=" + encoded(*words) + "&";
    url += "fields=key,title,subtitle,author_name,publisher,first_publish_year,"
           "number_of_pages_median,language,cover_i,cover_edition_key&limit=" +
           std::to_string(count) + "&offset=" + std::to_string(start);
    return {{url, readOpenLibrary}};
}

Request openLibraryEdition(const Reach& r, const FoundBook& b) {
    const bool plain = !b.edition.empty() && std::ranges::all_of(b.edition, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
    return {plain ? r.base + "/books/" + b.edition + ".json" : std::string(), readOpenLibrary};
}

std::vector<Request> googleBooksSearch(const Reach& r, const SearchTerms& t, int start, int count) {
    if (r.apiKey.empty()) return {}; // without it, the quota is everybody's and spent
    std::string q;
    for (const auto& [op, words] :
         {std::pair{"intitle:", &t.title}, std::pair{"inauthor:", &t.author},
          std::pair{"inpublisher:", &t.publisher}})
        for (const QString& w : QString::fromStdString(*words).split(u' ', Qt::SkipEmptyParts))
            q += (q.empty() ? "" : " ") + std::string(op) + w.toStdString();
    return {{r.base + "/volumes?q=" + encoded(q) + "&startIndex=" + std::to_string(start) +
                 "&maxResults=" + std::to_string(count) +
                 "&printType=books&key=" + encoded(r.apiKey),
             readGoogleBooks}};
}

constexpr TitleSearch bnfSearching{bnfSearch, nullptr};
constexpr TitleSearch openLibrarySearching{openLibrarySearch, openLibraryEdition};
constexpr TitleSearch googleBooksSearching{googleBooksSearch, nullptr};

constexpr const char* openLibrary = "https://openlibrary.org";
constexpr const char* googleBooks = "https://www.googleapis.com/books/v1";

// Covers have a host of their own; a mirror or a test server set by the collector serves
// them too, so nothing goes where the collector did not point.
std::vector<std::string> openLibraryCover(const Reach& r, const FoundBook& b,
                                          const std::string& isbn13, CoverSize size) {
    const std::string base = r.base == openLibrary ? "https://covers.openlibrary.org" : r.base;
    // "No default picture": a book without a cover is a 404, not a blank image.
    const std::string end =
        size == CoverSize::list ? "-M.jpg?default=false" : "-L.jpg?default=false";
    const auto plain = [](const std::string& s, std::string_view head, std::string_view tail) {
        if (s.size() <= head.size() + tail.size() || !s.starts_with(head) || !s.ends_with(tail))
            return false;
        return std::ranges::all_of(s.substr(head.size(), s.size() - head.size() - tail.size()),
                                   [](char c) { return c >= '0' && c <= '9'; });
    };
    std::vector<std::string> urls;
    if (plain(b.cover, "", ""))
        urls.push_back(base + "/b/id/" + b.cover + end);
    else if (plain(b.cover, "OL", "M"))
        urls.push_back(base + "/b/olid/" + b.cover + end);
    if (!isbn13.empty()) urls.push_back(base + "/b/isbn/" + isbn13 + end);
    return urls;
}

// Google's thumbnail link, in https, without the curled corner it draws over the picture;
// a link to anywhere else than Google is not followed.
std::vector<std::string> googleBooksCover(const Reach& r, const FoundBook& b, const std::string&,
                                          CoverSize) {
    QUrl link(QString::fromStdString(b.cover), QUrl::StrictMode);
    if (!link.isValid() || (link.scheme() != u"http" && link.scheme() != u"https")) return {};
    const QString host = link.host().toLower();
    if (host != u"books.google.com" && !host.endsWith(u".google.com") &&
        !host.endsWith(u".googleusercontent.com"))
        return {};
    link.setScheme(QStringLiteral("https"));
    if (r.base != googleBooks) {
        const QUrl mine(QString::fromStdString(r.base));
        link.setScheme(mine.scheme());
        link.setHost(mine.host());
        link.setPort(mine.port());
    }
    QUrlQuery query(link);
    query.removeAllQueryItems(QStringLiteral("edge"));
    link.setQuery(query);
    return {link.toString(QUrl::FullyEncoded).toStdString()};
}

// Google Books without a key of the collector's own answers "quota exceeded". The BnF's
// notices name a cover by a number no recorded answer turns into an address.
constexpr Source table[] = {
    {"bnf", "BnF", "https://catalogue.bnf.fr/api/SRU", nullptr, true, bnfIsbn, nullptr,
     &bnfSearching},
    {"openlibrary", "Open Library", openLibrary, nullptr, true, openLibraryIsbn, openLibraryCover,
     &openLibrarySearching},
    {"googlebooks", "Google Books", googleBooks, "googlebooks_cle", false, googleBooksIsbn,
     googleBooksCover, &googleBooksSearching},
};
static_assert(wholeRows(table), "each source has its key, name, address and requests");

} // namespace

std::span<const Source> sources() {
    return table;
}

Reach SourceSetting::reach() const {
    std::string base = address;
    while (base.ends_with('/'))
        base.pop_back();
    return {base, apiKey};
}

std::vector<SourceSetting> NoticeSettings::asked() const {
    std::vector<SourceSetting> out;
    std::ranges::copy_if(sources, std::back_inserter(out), &SourceSetting::on);
    return out;
}

NoticeSettings readNoticeSettings(SettingsBackend& store, std::span<const Source> rows) {
    NoticeSettings n;
    const auto order = store.read(group + "ordre");
    const auto isOn = [&](const Source& s) {
        return std::ranges::any_of(n.sources,
                                   [&](const SourceSetting& x) { return x.on && x.source == &s; });
    };
    if (order) {
        for (const QString& key : QString::fromStdString(*order).split(u',', Qt::SkipEmptyParts))
            for (const Source& s : rows)
                if (key.trimmed().toStdString() == s.key && !isOn(s))
                    n.sources.push_back({&s, true, {}, {}});
    } else {
        for (const Source& s : rows)
            if (s.onByDefault) n.sources.push_back({&s, true, {}, {}});
    }
    for (const Source& s : rows)
        if (!isOn(s)) n.sources.push_back({&s, false, {}, {}});
    for (SourceSetting& s : n.sources) {
        const auto url = store.read(group + s.source->key);
        s.address = url && !url->empty() ? *url : s.source->address;
        if (s.source->keySetting)
            s.apiKey = store.read(group + s.source->keySetting).value_or(std::string());
    }
    if (const auto form = store.read(group + "auteur"))
        n.authorForm = *form == "nom_prenom" ? AuthorForm::surnameFirst : AuthorForm::forenameFirst;
    return n;
}

void writeNoticeSettings(SettingsBackend& store, const NoticeSettings& n) {
    std::string order;
    for (const SourceSetting& s : n.asked())
        order += (order.empty() ? "" : ",") + std::string(s.source->key);
    store.write(group + "ordre", order);
    for (const SourceSetting& s : n.sources) {
        store.write(group + s.source->key, s.address);
        if (s.source->keySetting) store.write(group + s.source->keySetting, s.apiKey);
    }
    store.write(group + "auteur",
                n.authorForm == AuthorForm::surnameFirst ? "nom_prenom" : "prenom_nom");
}

std::vector<std::string> coverRequests(const NoticeSettings& settings, const Source& source,
                                       const FoundBook& book, const std::string& isbn13,
                                       CoverSize size) {
    if (!source.cover) return {};
    for (const SourceSetting& s : settings.sources)
        if (s.source == &source) return source.cover(s.reach(), book, isbn13, size);
    return source.cover({source.address, {}}, book, isbn13, size);
}

std::string answerProblem(const Fetched& f, const std::string& who) {
    if (f.failure != Fetched::Failure::none) return failureText(f, who);
    if (f.status == 429) return who + " refuse la demande : trop de demandes (HTTP 429).";
    if (f.status >= 500) return who + " est en panne (HTTP " + std::to_string(f.status) + ").";
    if (f.status != 200) return who + " refuse la demande (HTTP " + std::to_string(f.status) + ").";
    return {};
}

std::unique_ptr<SettingsBackend> userSettings() {
    return std::make_unique<QtSettingsBackend>();
}

std::unique_ptr<Fetcher> ownFetcher() {
    return std::make_unique<QtFetcher>();
}

} // namespace q7::lookup
