#include "overview/OverviewBooks.h"

#include "covers/CoverNames.h"
#include "covers/CoverStore.h"
#include "overview/OverviewColumns.h"
#include "store/Cp1252.h"

#include <array>
#include <cstring>

namespace q7 {

void OverviewBooks::clear() {
    // Given back, not just emptied: the memory returns once the window closes.
    // A string moved from an empty one keeps its memory: shrunk, it gives it back.
    texts_.clear();
    texts_.shrink_to_fit();
    offsets_ = decltype(offsets_)();
    flags_ = decltype(flags_)();
    borrowerOf_ = decltype(borrowerOf_)();
    names_ = decltype(names_)();
    covered_ = decltype(covered_)();
}

void OverviewBooks::add(const Fiche& record) {
    std::array<std::string_view, fieldCount> views;
    std::size_t size = 0;
    for (int f = 0; f < fieldCount; ++f)
        size += (views[std::size_t(f)] = record.view(Field(f))).size();
    std::size_t at = texts_.size();
    texts_.resize(at + size);
    for (std::string_view v : views) {
        offsets_.push_back(std::uint32_t(at));
        std::memcpy(texts_.data() + at, v.data(), v.size());
        at += v.size();
    }
    offsets_.push_back(std::uint32_t(at));
    std::uint8_t bits = 0;
    for (int f = 0; f < flagCount; ++f)
        if (record.flagByte(Flag(f)) != 0) bits |= std::uint8_t(1u << f);
    flags_.push_back(bits);
}

void OverviewBooks::load(DataFile& data, const Borrowers& borrowers) {
    clear();
    const int remembered = data.position();
    offsets_.reserve(std::size_t(data.count()) * (fieldCount + 1));
    flags_.reserve(std::size_t(data.count()));
    texts_.reserve(std::size_t(data.count()) * 256); // about what a collection's records hold
    data.seek(0);
    while (!data.atEnd())
        add(data.readNext());
    data.seek(remembered);
    texts_.shrink_to_fit();
    lendOut(borrowers);
    markCovers(data.folder());
}

void OverviewBooks::load(const std::vector<Fiche>& records, const Borrowers& borrowers) {
    clear();
    for (const Fiche& record : records)
        add(record);
    lendOut(borrowers);
}

void OverviewBooks::lendOut(const Borrowers& borrowers) {
    if (borrowers.empty()) return;
    borrowerOf_.assign(flags_.size(), -1);
    std::unordered_map<std::string_view, int> placed;
    for (int row = 0; row < size(); ++row) {
        const auto who = borrowers.find(std::string(text(row, Field::numero)));
        if (who == borrowers.end()) continue;
        auto [at, fresh] = placed.try_emplace(who->second, int(names_.size()));
        if (fresh) names_.push_back(who->second);
        borrowerOf_[std::size_t(row)] = at->second;
    }
}

void OverviewBooks::markCovers(const Folder& folder) {
    std::vector<CoverFile> files;
    try {
        files = CoverStore(folder).files();
    } catch (const Error&) {
        return; // a folder that cannot be read: no book shows a cover
    }
    if (files.empty()) return;
    std::unordered_map<std::string, int> owners; // by cover key of a file: its books
    for (const CoverFile& file : files)
        if (!file.reference.empty()) owners.emplace(coverKey(file.reference), 0);
    std::vector<std::string> keys(static_cast<std::size_t>(size()));
    for (int row = 0; row < size(); ++row) {
        std::string key = coverKey(text(row, Field::numero));
        if (auto at = owners.find(key); at != owners.end()) {
            ++at->second;
            keys[std::size_t(row)] = std::move(key);
        }
    }
    covered_.assign(std::size_t(size()), false);
    for (int row = 0; row < size(); ++row)
        if (const std::string& key = keys[std::size_t(row)]; !key.empty())
            covered_[std::size_t(row)] = owners[key] == 1;
}

std::string_view OverviewBooks::value(int row, int column, std::string& scratch) const {
    const OverviewColumn& c = overviewColumns()[std::size_t(column)];
    switch (c.kind) {
    case ColumnKind::Text: return text(row, c.field);
    case ColumnKind::Borrower: return borrower(row);
    case ColumnKind::Lent: return borrower(row).empty() ? "Non" : "Oui";
    case ColumnKind::Flag: return flag(row, c.flag) ? "Oui" : "Non";
    case ColumnKind::Cover: return hasCover(row) ? "Oui" : "Non";
    case ColumnKind::Positions:
        scratch.clear();
        for (Field f : {Field::pos1, Field::pos2, Field::pos3, Field::pos4}) {
            const std::string_view p = text(row, f);
            if (p.empty()) continue;
            if (!scratch.empty()) scratch += " / ";
            scratch += p;
        }
        return scratch;
    }
    return {};
}

} // namespace q7
