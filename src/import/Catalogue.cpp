#include "import/Catalogue.h"

#include "import/FieldNames.h"
#include "import/Values.h"

#include "store/CatalogueNames.h"
#include "store/Cp1252.h"
#include "store/ListFile.h"

#include <cstring>
#include <vector>

namespace q7::import {

namespace {

// Only numbers count as volumes: "Le T Rex" does not end with a volume.
std::string numberKey(std::string_view text) {
    std::string key = volumeKey(text);
    for (char c : key)
        if (c < '0' || c > '9') return {};
    return key;
}

// The title without the volume it ends with, the volume alone.
std::pair<std::string, std::string> titleAndVolume(const Fiche& f) {
    std::string title = foldBytes(f.view(Field::titre));
    for (const char* marker : {" tome ", " volume ", " vol ", " t "}) {
        const std::size_t at = title.rfind(marker);
        if (at == std::string::npos || at == 0) continue;
        std::string volume = numberKey(title.substr(at + std::strlen(marker)));
        if (volume.empty()) continue;
        title.resize(at);
        return {title, volume};
    }
    const std::string_view series = f.view(Field::collection);
    const std::size_t comma = series.rfind(", ");
    if (comma != std::string_view::npos)
        return {title, numberKey(cp1252ToUtf8(series.substr(comma + 2)))};
    return {title, {}};
}

std::string titleAuthorVolume(const Fiche& f) {
    const std::string author = foldBytes(f.view(Field::auteur));
    if (author.empty()) return {};
    auto [title, volume] = titleAndVolume(f);
    if (title.empty()) return {};
    return title + '\x1F' + author + '\x1F' + volume;
}

std::string named(const Fiche& f) {
    const std::string title = cp1252ToUtf8(f.view(Field::titre));
    return title.empty() ? std::string("(sans titre)") : "« " + title + " »";
}

} // namespace

std::string volumeOf(const Fiche& record) {
    return titleAndVolume(record).second;
}

void Duplicates::add(const Fiche& record, const std::string& where) {
    const std::string label = named(record) + " (" + where + ")";
    const std::string_view isbn = record.view(Field::isbn);
    if (!isbn.empty()) byIsbn_.emplace(isbnKey(isbn), label);
    if (const std::string ta = titleAuthorVolume(record); !ta.empty()) {
        byTitleAuthor_.emplace(ta, label);
        if (isbn.empty()) byTitleAuthorNoIsbn_.emplace(ta, label);
    }
}

std::optional<std::string> Duplicates::find(const Fiche& record) const {
    const std::string_view isbn = record.view(Field::isbn);
    const auto self = [&record] { return named(record) + " est un doublon de "; };
    if (!isbn.empty()) {
        if (auto it = byIsbn_.find(isbnKey(isbn)); it != byIsbn_.end())
            return self() + it->second + " : même ISBN";
    }
    const std::string ta = titleAuthorVolume(record);
    if (ta.empty()) return std::nullopt;
    const auto& titles = isbn.empty() ? byTitleAuthor_ : byTitleAuthorNoIsbn_;
    if (auto it = titles.find(ta); it != titles.end())
        return self() + it->second + " : même titre, même premier auteur" +
               (ta.ends_with('\x1F') ? "" : " et même tome");
    return std::nullopt;
}

void Existing::add(const Fiche& record) {
    ++count;
    const std::string ref(record.view(Field::numero));
    references.insert(ref);
    duplicates.add(record, "fiche " + std::to_string(count) + " du catalogue, référence " + ref);
}

void reserveFreedReferences(const Folder& folder, Existing& existing) {
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
