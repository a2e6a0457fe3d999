#include "overview/OverviewBooks.h"

#include "covers/CoverNames.h"
#include "covers/CoverStore.h"
#include "overview/OverviewColumns.h"
#include "store/Cp1252.h"

#include <algorithm>
#include <array>
#include <cctype>
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
    coversFrom_.reset();
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
    coversFrom_.emplace(data.folder());
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

void OverviewBooks::markCovers() const {
    if (!coversFrom_) return;
    const Folder folder = *coversFrom_;
    coversFrom_.reset();
    // By hashes, sorted: 40 000 names and references are matched within a few milliseconds
    // of the opening, where maps of strings took ten times as long.
    std::vector<std::string> names;
    try {
        const std::string dir = folder.path(coversFolderName);
        if (folder.fs().kindOf(dir) != FileKind::Folder) return;
        names = folder.fs().list(dir);
    } catch (const Error&) {
        return; // a folder that cannot be read: no book shows a cover
    }
    using Hashed = std::pair<std::size_t, std::uint32_t>; // hash, index
    const std::hash<std::string_view> hash;
    std::vector<Hashed> files;
    for (std::uint32_t i = 0; i < names.size(); ++i) {
        std::string& name = names[i];
        if (name.size() <= 4 || name[name.size() - 4] != '.') continue;
        // As a camera writes it, "12.JPG", it is found too.
        for (std::size_t at = name.size() - 3; at < name.size(); ++at)
            name[at] = char(std::tolower(static_cast<unsigned char>(name[at])));
        if (name.ends_with(".jpg")) files.emplace_back(hash(name), i);
    }
    if (files.empty()) return;
    std::ranges::sort(files);
    const auto listed = [&](const std::string& name) {
        auto at = std::ranges::lower_bound(files, Hashed{hash(name), 0});
        for (; at != files.end() && at->first == hash(name); ++at)
            if (names[at->second] == name) return true;
        return false;
    };
    // A reference two books share (letter case apart) has no cover of its own.
    const auto rows = static_cast<std::size_t>(size());
    std::vector<std::string> keys(rows);
    std::vector<Hashed> byKey(rows);
    for (int row = 0; row < size(); ++row) {
        keys[std::size_t(row)] = coverKey(text(row, Field::numero));
        byKey[std::size_t(row)] = {hash(keys[std::size_t(row)]), std::uint32_t(row)};
    }
    std::ranges::sort(byKey);
    std::vector<bool> shared(rows, false);
    for (std::size_t i = 0; i + 1 < byKey.size(); ++i)
        for (std::size_t j = i + 1; j < byKey.size() && byKey[j].first == byKey[i].first; ++j)
            if (keys[byKey[i].second] == keys[byKey[j].second])
                shared[byKey[i].second] = shared[byKey[j].second] = true;
    covered_.assign(std::size_t(size()), false);
    for (int row = 0; row < size(); ++row)
        covered_[std::size_t(row)] =
            !shared[std::size_t(row)] && listed(coverFileName(text(row, Field::numero)));
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
