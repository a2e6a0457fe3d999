#include "import/IsbnList.h"

#include "import/TextEncoding.h"
#include "import/Values.h"
#include "lookup/Isbn.h"
#include "lookup/IsbnLookup.h"
#include "store/Cp1252.h"
#include "store/Errors.h"
#include "store/Folder.h"
#include "store/ListFile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>

namespace q7::import {

namespace {

// What a line holds: the ISBN alone, or first before a separator ("ISBN: 978...",
// "9782070360024;L'Étranger").
std::string isbnText(std::string line) {
    if (const std::size_t cut = line.find_first_of(",;\t"); cut != std::string::npos)
        line.erase(cut);
    std::string out;
    for (char c : line)
        if ((c >= '0' && c <= '9') || c == 'X' || c == 'x' || c == '-' || c == ' ') out += c;
    while (!out.empty() && (out.front() == ' ' || out.front() == '-'))
        out.erase(0, 1);
    return out;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "ISBN", "ISBN-13", "ean" and their like: a heading, not a book.
bool isbnHeading(std::string_view line) {
    const std::string t = lowered(line);
    if (t.size() > 8 || !(t.starts_with("isbn") || t.starts_with("ean"))) return false;
    return std::ranges::all_of(
        t, [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; });
}

// Digits, hyphens and spaces with a final X, nine to thirteen digits, after an optional
// "ISBN :" label: an ISBN, its check digit right or wrong.
bool isbnAlone(std::string_view line) {
    std::string_view t = trimmed(line);
    const std::string low = lowered(t.substr(0, 5));
    if (low.starts_with("isbn") || low.starts_with("ean")) {
        const std::size_t colon = t.find(':');
        if (colon == std::string_view::npos) return false;
        t = trimmed(t.substr(colon + 1));
    }
    int digits = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if ((c == 'X' || c == 'x') && i + 1 == t.size())
            ++digits;
        else if (c != '-' && c != ' ')
            return false;
    }
    return digits >= 9 && digits <= 13;
}

std::vector<std::string> knownAuthors(const std::string& folder) {
    try {
        const Folder f(posixFileSystem(), folder);
        std::vector<std::string> out;
        for (const std::string& name : readListFile(f, "Q7auteur.lst"))
            out.push_back(cp1252ToUtf8(name));
        return out;
    } catch (const Error&) {
        return {}; // no list yet: the sources' form
    }
}

// Each field a lookup fills, as the import's mapping expects it from any reader.
constexpr std::pair<Target, Field> carried[] = {
    {Target::title, Field::titre},       {Target::authors, Field::auteur},
    {Target::subject, Field::sujet},     {Target::series, Field::collection},
    {Target::publisher, Field::edition}, {Target::printer, Field::imprimeur},
    {Target::language, Field::langue},   {Target::year, Field::anedition},
    {Target::pages, Field::nbpage},      {Target::comments, Field::notes},
    {Target::summary, Field::resume},    {Target::isbn, Field::isbn}};

void add(SourceBook& b, Target t, const lookup::Proposal& p, Field f) {
    for (const auto& [field, value] : p.values)
        if (field == f) b.add(t, value);
}

} // namespace

IsbnListStopped::IsbnListStopped(int asked, int total)
    : Error("Recherche arrêtée après " + std::to_string(asked) + " ISBN sur " +
            std::to_string(total) + " : rien n'est ajouté au catalogue."),
      asked(asked), total(total) {}

bool looksLikeIsbnList(std::string_view bytes) {
    const std::string text(decodeText(bytes).utf8());
    std::size_t at = 0;
    int isbns = 0;
    bool first = true;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = trimmed(std::string_view(text).substr(at, end - at));
        at = end + 1;
        if (line.empty()) continue;
        if (isbnAlone(line))
            ++isbns;
        else if (!first || !isbnHeading(line))
            return false;
        first = false;
    }
    return isbns > 0;
}

SourceFile readIsbnList(std::string_view bytes, const IsbnListRequest& request) {
    // The network needs an event loop, and that an application object.
    std::unique_ptr<QCoreApplication> app;
    static int argc = 1;
    static char name[] = "lirabel3-import";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);

    SourceFile source;
    source.format = "liste d'ISBN";
    const DecodedText text = decodeText(bytes);
    source.encoding = text.encoding;
    std::unique_ptr<SettingsBackend> own;
    SettingsBackend* settings = request.settings;
    if (!settings) settings = (own = lookup::userSettings()).get();
    const lookup::NoticeSettings notices = lookup::readNoticeSettings(*settings);
    if (notices.asked().empty())
        throw Error(
            "Aucune source de notices n'est choisie (réglages, groupe [Notices], clé ordre)");
    lookup::MapOptions options;
    options.form = notices.authorForm;
    options.knownAuthors = knownAuthors(request.folder);

    struct Line {
        int number;
        std::string isbn13;
    };
    std::vector<Line> wanted;
    std::set<std::string> seen;
    int number = 0, isbns = 0;
    std::size_t at = 0;
    const std::string_view all = text.utf8();
    while (at <= all.size()) {
        std::size_t end = all.find('\n', at);
        if (end == std::string::npos) end = all.size();
        const std::string_view line = trimmed(all.substr(at, end - at));
        at = end + 1;
        ++number;
        // Blank lines, and a heading above the first ISBN, are no books.
        if (line.empty() || (source.entries == 0 && isbnHeading(line))) continue;
        ++source.entries;
        const std::string where = "ligne " + std::to_string(number);
        const std::string given = isbnText(std::string(line));
        if (given.empty()) {
            // Every line is accounted for: what it held is named, cut if long.
            std::size_t cut = std::min<std::size_t>(line.size(), 60);
            while (cut < line.size() && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut; // no half letter
            const std::string shown(line.substr(0, cut));
            source.rejected.push_back(
                {where,
                 "« " + shown + (shown.size() < line.size() ? "…" : "") + " » n'est pas un ISBN"});
            continue;
        }
        ++isbns;
        const isbn::Checked c = isbn::check(given);
        if (!c.valid) {
            source.rejected.push_back({where, c.message});
            continue;
        }
        if (!seen.insert(c.isbn13).second) {
            source.notes.push_back(where + " : " + c.isbn13 + " déjà lu plus haut, ignoré");
            continue;
        }
        wanted.push_back({number, c.isbn13});
    }
    if (isbns == 0) throw Error("Le fichier ne contient aucun ISBN");

    std::unique_ptr<Fetcher> ownFetcher;
    std::unique_ptr<lookup::IsbnLookup> ownLookup;
    if (!request.lookup) {
        ownFetcher = lookup::ownFetcher();
        ownLookup = std::make_unique<lookup::IsbnLookup>(*ownFetcher);
    }
    lookup::IsbnLookup& lookup = request.lookup ? *request.lookup : *ownLookup;
    const int total = static_cast<int>(wanted.size());
    int done = 0;
    for (const Line& l : wanted) {
        const std::string where = "ligne " + std::to_string(l.number);
        if (request.stopped && request.stopped()) throw IsbnListStopped(done, total);
        if (request.progress) request.progress(done + 1, total, l.isbn13);
        const lookup::LookupResult r = lookup::lookUpAndWait(lookup, l.isbn13, notices);
        if (r.kind == lookup::LookupResult::Kind::cancelled) throw IsbnListStopped(done, total);
        ++done;
        if (r.kind != lookup::LookupResult::Kind::found) {
            std::string why = r.message;
            for (char& c : why)
                if (c == '\n') c = ' ';
            source.rejected.push_back({where, why});
            continue;
        }
        const lookup::Proposal p = lookup::propose(r.book, l.isbn13, options);
        SourceBook b;
        b.where = where + " (" + l.isbn13 + ")";
        for (const auto& [target, field] : carried)
            add(b, target, p, field);
        if (p.severalAuthors) b.add(Target::authorsFlag, "oui");
        source.notes.push_back(where + " : " + l.isbn13 + " trouvé par " + r.source->name +
                               (r.book.identifier.empty() ? "" : " (" + r.book.identifier + ")"));
        for (const std::string& remark : p.remarks)
            source.notes.push_back(where + " : " + remark);
        source.books.push_back(std::move(b));
    }
    // In the file's order, whether refused on reading or after asking.
    std::ranges::stable_sort(source.rejected, {}, [](const Rejected& r) {
        return std::stoi(r.where.substr(r.where.find(' ') + 1));
    });
    return source;
}

} // namespace q7::import
