#include "lookup/Held.h"

#include "lookup/Isbn.h"
#include "lookup/Mapping.h"
#include "store/Cp1252.h"
#include "store/Folding.h"

#include <algorithm>

namespace q7::lookup {

namespace {

// Folded words this long are a title the field cut, or one that needs no more to be told.
constexpr std::size_t cutTitle = 40;

bool sameTitle(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    const auto [shorter, longer] =
        std::minmax(a, b, [](const auto& x, const auto& y) { return x.size() < y.size(); });
    return shorter.size() >= cutTitle && longer.starts_with(shorter);
}

bool titleMatches(const BookKey& found, const std::string& storedTitle) {
    return sameTitle(found.title, storedTitle) || sameTitle(found.fullTitle, storedTitle);
}

// Letters a stored title holds once folded if it matches `key`: its longest word among
// those a title cut by its field keeps. Most of the catalogue is passed over on them,
// without splitting its titles into words.
std::string_view needle(std::string_view key) {
    std::string_view best;
    for (std::size_t from = 0; from < key.size();) {
        const std::size_t end = std::min(key.find(' ', from), key.size());
        if (end > cutTitle) break;
        if (end - from > best.size()) best = key.substr(from, end - from);
        from = end + 1;
    }
    return best.substr(0, 8);
}

} // namespace

BookKey bookKey(std::string_view isbn, std::string_view title, std::string_view author,
                std::string_view fullTitle) {
    return {isbn::digits13(isbn), nameKey(title),
            fullTitle.empty() ? std::string() : nameKey(fullTitle), foldedName(author)};
}

BookKey recordKey(const Fiche& r) {
    return {isbn::digits13(r.view(Field::isbn)),
            nameKeyCp1252(r.view(Field::titre)),
            {},
            foldedName(cp1252ToUtf8(r.view(Field::auteur)))};
}

bool sameBook(const BookKey& found, const BookKey& stored) {
    if (!found.isbn13.empty() && found.isbn13 == stored.isbn13) return true;
    return !found.author.empty() && found.author == stored.author &&
           titleMatches(found, stored.title);
}

std::vector<Held> findHeld(const DataFile& data, std::span<const BookKey> keys, int except) {
    std::vector<Held> held(keys.size());
    std::vector<bool> byIsbn(keys.size());
    if (keys.empty()) return held;
    constexpr int block = DataFile::readAheadRecords;
    static_assert(sizeof(Fiche) == ficheSize, "records are read side by side");
    std::vector<Fiche> records(block);
    std::vector<std::string_view> needles;
    for (const BookKey& key : keys)
        for (const std::string* title : {&key.title, &key.fullTitle})
            if (!title->empty()) needles.push_back(needle(*title));
    std::string folded;
    for (int first = 0; first < data.count(); first += block) {
        const int wanted = std::min(block, data.count() - first);
        const int read = data.readRecords(first, wanted, records.front().bytes.data());
        for (int i = 0; i < read; ++i) {
            if (first + i == except) continue;
            const Fiche& record = records[std::size_t(i)];
            // The author is folded only for a title that matches: most records stop sooner.
            folded.clear();
            appendFoldedCp1252(folded, record.view(Field::titre));
            const bool maybe = std::ranges::any_of(
                needles, [&](std::string_view n) { return folded.find(n) != std::string::npos; });
            BookKey stored{isbn::digits13(record.view(Field::isbn)),
                           maybe ? nameKeyCp1252(record.view(Field::titre)) : std::string(),
                           {},
                           {}};
            bool authorFolded = false;
            for (std::size_t k = 0; k < keys.size(); ++k) {
                if (byIsbn[k]) continue;
                const BookKey& key = keys[k];
                // The same ISBN is the surer sign: it wins over a title met before.
                if (!key.isbn13.empty() && key.isbn13 == stored.isbn13) {
                    byIsbn[k] = true;
                } else if (held[k].index >= 0 || !titleMatches(key, stored.title)) {
                    continue;
                } else {
                    if (!authorFolded)
                        stored.author = foldedName(cp1252ToUtf8(record.view(Field::auteur)));
                    authorFolded = true;
                    if (!sameBook(key, stored)) continue;
                }
                held[k] = {first + i, cp1252ToUtf8(record.view(Field::numero)),
                           cp1252ToUtf8(record.view(Field::titre))};
            }
        }
        if (read < wanted) break;
    }
    return held;
}

} // namespace q7::lookup
