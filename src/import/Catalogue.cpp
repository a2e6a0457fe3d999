#include "import/Catalogue.h"

#include "covers/CoverStore.h"

#include "import/FieldNames.h"
#include "import/Values.h"

#include "store/CatalogueNames.h"
#include "store/Cp1252.h"
#include "store/ListFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace q7::import {

namespace {

// "2", "002", "ii", "XIV" as the number they write; empty for any other word ("civil",
// "dix"). Folded words: lower case.
std::string numberWord(std::string_view w) {
    if (w.empty() || w.size() > 9) return {};
    if (std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (w.size() > 4) return {};
        const std::size_t nz = w.find_first_not_of('0');
        return nz == std::string_view::npos ? "0" : std::string(w.substr(nz));
    }
    // Roman numerals up to 399, in their one correct writing.
    static const char* const hundreds[] = {"", "c", "cc", "ccc"};
    static const char* const tens[] = {"", "x", "xx", "xxx", "xl", "l", "lx", "lxx", "lxxx", "xc"};
    static const char* const units[] = {"", "i", "ii", "iii", "iv", "v", "vi", "vii", "viii", "ix"};
    for (int h = 3; h >= 0; --h) {
        if (!w.starts_with(hundreds[h])) continue;
        const std::string_view afterH = w.substr(std::strlen(hundreds[h]));
        for (int t = 9; t >= 0; --t) {
            if (!afterH.starts_with(tens[t])) continue;
            const std::string_view afterT = afterH.substr(std::strlen(tens[t]));
            for (int u = 9; u >= 1 || (u == 0 && h + t > 0); --u)
                if (afterT == units[u]) return std::to_string(h * 100 + t * 10 + u);
        }
    }
    return {};
}

std::vector<std::string_view> words(std::string_view folded) {
    std::vector<std::string_view> out;
    for (std::size_t at = 0; at < folded.size();) {
        const std::size_t end = std::min(folded.find(' ', at), folded.size());
        out.push_back(folded.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string joined(const std::vector<std::string_view>& w) {
    std::string out;
    for (std::string_view x : w)
        out.append(out.empty() ? "" : " ").append(x);
    return out;
}

// A folded title without the volume it holds, and that volume.
std::pair<std::string, std::string> titleAndVolume(const std::string& folded) {
    std::vector<std::string_view> w = words(folded);
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i] != "tome" && w[i] != "t" && w[i] != "vol" && w[i] != "volume") continue;
        if (std::string n = numberWord(w[i + 1]); !n.empty()) {
            w.erase(w.begin() + static_cast<std::ptrdiff_t>(i),
                    w.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return {joined(w), n};
        }
    }
    // "Les Misérables, 2", "Le Pays Niortais II": never a title that is a number alone.
    if (w.size() > 1) {
        if (std::string n = numberWord(w.back()); !n.empty()) {
            w.pop_back();
            return {joined(w), n};
        }
    }
    return {folded, {}};
}

// The volume written after the series' name: "Folio, 3".
std::string seriesVolume(std::string_view series) {
    const std::size_t comma = series.rfind(", ");
    return comma == std::string_view::npos ? std::string()
                                           : numberWord(foldBytes(series.substr(comma + 2)));
}

// Title without its volume, first author and volume; empty without an author or a title.
std::string identity(std::string_view title, std::string_view author, std::string_view series,
                     std::string_view number) {
    const std::string who = foldBytes(author);
    auto [what, volume] = titleAndVolume(foldBytes(title));
    if (who.empty() || what.empty()) return {};
    std::string own =
        number.empty() ? seriesVolume(series) : foldBytes(volumeText(cp1252ToUtf8(number)));
    if (const std::string n = numberWord(own); !n.empty()) own = n;
    if (volume.empty())
        volume = own;
    else if (!own.empty() && own != volume)
        volume += '/' + own; // the title's volume and the series' order: both tell
    return what + '\x1F' + who + '\x1F' + volume;
}

std::string storedIdentity(const Fiche& f) {
    return identity(f.view(Field::titre), f.view(Field::auteur), f.view(Field::collection), {});
}

std::string wholeIdentity(const WholeTexts& w) {
    return identity(w.title, w.author, w.series, w.number);
}

std::string named(const Fiche& f) {
    const std::string title = cp1252ToUtf8(f.view(Field::titre));
    return title.empty() ? std::string("(sans titre)") : "« " + title + " »";
}

std::string sameBook(const std::string& key) {
    return std::string(" : même titre, même premier auteur") +
           (key.ends_with('\x1F') ? "" : " et même tome");
}

} // namespace

std::string volumeOf(std::string_view title) {
    return titleAndVolume(foldBytes(title)).second;
}

void Duplicates::add(const Fiche& record, const std::string& where) {
    const std::string label = named(record) + " (" + where + ")";
    const std::string_view isbn = record.view(Field::isbn);
    if (!isbn.empty()) byIsbn_.emplace(isbnKey(isbn), label);
    if (const std::string key = storedIdentity(record); !key.empty())
        catalogue_[key].push_back({label, !isbn.empty()});
}

void Duplicates::add(const Fiche& record, const WholeTexts& whole, const std::string& where) {
    const std::string label = named(record) + " (" + where + ")";
    const std::string_view isbn = record.view(Field::isbn);
    if (!isbn.empty()) byIsbn_.emplace(isbnKey(isbn), label);
    if (const std::string key = wholeIdentity(whole); !key.empty()) {
        file_.emplace(key, label);
        if (isbn.empty()) fileNoIsbn_.emplace(key, label);
    }
}

std::optional<std::string> Duplicates::check(const Fiche& record, const WholeTexts& whole) {
    const std::string_view isbn = record.view(Field::isbn);
    const auto self = [&record] { return named(record) + " est un doublon de "; };
    if (!isbn.empty()) {
        if (auto it = byIsbn_.find(isbnKey(isbn)); it != byIsbn_.end())
            return self() + it->second + " : même ISBN";
    }
    const std::string key = wholeIdentity(whole);
    if (key.empty()) return std::nullopt;
    const auto& earlier = isbn.empty() ? file_ : fileNoIsbn_;
    if (auto it = earlier.find(key); it != earlier.end())
        return self() + it->second + sameBook(key);
    const std::string stored = storedIdentity(record);
    const auto held = catalogue_.find(stored);
    if (held == catalogue_.end()) return std::nullopt;
    for (Held& h : held->second) {
        if (h.taken || (!isbn.empty() && h.isbn)) continue;
        h.taken = true;
        // Later copies of this book in the file repeat the catalogue's.
        file_.emplace(key, h.label);
        if (!h.isbn) fileNoIsbn_.emplace(key, h.label);
        return self() + h.label + sameBook(stored);
    }
    return std::nullopt;
}

void Existing::add(const Fiche& record) {
    ++count;
    const std::string ref(record.view(Field::numero));
    references.insert(ref);
    duplicates.add(record, "fiche " + std::to_string(count) + " du catalogue, référence " + ref);
}

void reserveFreedReferences(const Folder& folder, Existing& existing) {
    for (CoverFile& cover : CoverStore(folder).files())
        if (!cover.reference.empty()) existing.references.insert(std::move(cover.reference));
    if (!folder.exists(oldReferencesFile)) return;
    for (std::string& reference : readListFile(folder, oldReferencesFile))
        existing.references.insert(std::move(reference));
}

Existing scanCatalogue(DataFile& data) {
    Existing existing;
    existing.tailBytes = data.tailBytes();
    data.seek(0);
    while (!data.atEnd())
        existing.add(data.readNext());
    return existing;
}

Existing peekCatalogue(const Folder& folder) {
    Existing existing;
    if (!folder.exists(dataFileName)) return existing;
    auto file = folder.fs().open(folder.path(dataFileName), OpenMode::Read);
    const std::uint64_t size = file->size();
    existing.tailBytes = size % ficheSize;
    std::vector<Fiche> block(DataFile::readAheadRecords);
    std::uint64_t offset = 0;
    const std::uint64_t whole = size - existing.tailBytes;
    while (offset < whole) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(whole - offset, block.size() * ficheSize));
        const std::size_t got = file->readAt(block.data(), want, offset);
        const std::size_t records = got / ficheSize;
        if (records == 0) break;
        for (std::size_t i = 0; i < records; ++i)
            existing.add(block[i]);
        offset += records * ficheSize;
    }
    return existing;
}

} // namespace q7::import
