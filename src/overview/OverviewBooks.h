#pragma once
// The catalogue as the overview holds it: every whole record's texts packed in one
// buffer (no record kept whole), its flags, and who has each book out. Read once when the
// window opens and dropped when it closes.
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q7 {

// A reference (numero, as stored) -> the borrower who has that book. Bytes as stored.
using Borrowers = std::unordered_map<std::string, std::string>;

class OverviewBooks {
public:
    // Reads every whole record of the catalogue and which have a cover of their own (a
    // reference two books share has none); P is left where it was.
    void load(DataFile& data, const Borrowers& borrowers = {});
    // The same from records in memory (tests, benchmarks).
    void load(const std::vector<Fiche>& records, const Borrowers& borrowers = {});
    void clear();

    int size() const { return int(flags_.size()); }
    std::string_view text(int row, Field field) const {
        const std::size_t at = std::size_t(row) * (fieldCount + 1) + std::size_t(field);
        return std::string_view(texts_).substr(offsets_[at], offsets_[at + 1] - offsets_[at]);
    }
    bool flag(int row, Flag f) const { return (flags_[std::size_t(row)] >> int(f)) & 1; }
    // Empty when the book is not out.
    std::string_view borrower(int row) const {
        const int who = borrowerOf_.empty() ? -1 : borrowerOf_[std::size_t(row)];
        return who < 0 ? std::string_view() : std::string_view(names_[std::size_t(who)]);
    }
    // Whether the book has a cover of its own; the covers are read at the first asking.
    bool hasCover(int row) const {
        markCovers();
        return !covered_.empty() && covered_[std::size_t(row)];
    }
    // Reading 40 000 covers' names costs as much as the rest of an opening: a window reads
    // them once its rows are on screen, unless something asks first.
    bool coversRead() const { return !coversFrom_; }
    void markCovers() const;
    // What a column shows for a row, as bytes; `scratch` holds the texts made for it.
    std::string_view value(int row, int column, std::string& scratch) const;

private:
    void add(const Fiche& record);
    void lendOut(const Borrowers& borrowers);

    std::string texts_;
    std::vector<std::uint32_t> offsets_;       // per row, the start of each field and the end
    std::vector<std::uint8_t> flags_;          // per row, bit f for flag f
    std::vector<int> borrowerOf_;              // per row, an index in names_ or -1
    mutable std::vector<bool> covered_;        // per row; empty when no book has a cover
    mutable std::optional<Folder> coversFrom_; // the data folder, until its covers are read
    std::vector<std::string> names_;
};

} // namespace q7
