#include "import/Catalogue.h"

#include "import/FieldNames.h"
#include "import/Values.h"

#include <vector>

namespace q7::import {

namespace {
std::string titleAuthor(const Fiche& f) {
    const std::string title = foldBytes(f.view(Field::titre));
    if (title.empty()) return {};
    return title + '\x1F' + foldBytes(f.view(Field::auteur));
}
} // namespace

void Duplicates::add(const Fiche& record, const std::string& label) {
    const std::string_view isbn = record.view(Field::isbn);
    if (!isbn.empty()) byIsbn_.emplace(isbnKey(isbn), label);
    if (const std::string ta = titleAuthor(record); !ta.empty()) {
        byTitleAuthor_.emplace(ta, label);
        if (isbn.empty()) byTitleAuthorNoIsbn_.emplace(ta, label);
    }
}

std::optional<std::string> Duplicates::find(const Fiche& record) const {
    const std::string_view isbn = record.view(Field::isbn);
    if (!isbn.empty()) {
        if (auto it = byIsbn_.find(isbnKey(isbn)); it != byIsbn_.end())
            return "même ISBN que " + it->second;
    }
    const std::string ta = titleAuthor(record);
    if (ta.empty()) return std::nullopt;
    const auto& titles = isbn.empty() ? byTitleAuthor_ : byTitleAuthorNoIsbn_;
    if (auto it = titles.find(ta); it != titles.end())
        return "même titre et premier auteur que " + it->second;
    return std::nullopt;
}

void Existing::add(const Fiche& record) {
    ++count;
    const std::string ref(record.view(Field::numero));
    references.insert(ref);
    duplicates.add(record,
                   "la fiche " + std::to_string(count) + " du catalogue (référence " + ref + ")");
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
