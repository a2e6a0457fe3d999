#pragma once
// Rewriting Q7.dat in a new record order. Not a general sort: records are moved as
// whole groups and keep their stored order inside each group.
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <functional>
#include <string>

namespace q7 {

enum class SortOrder {
    FirstLetter, // by the title's first letter, A to Z, a-z folded to A-Z only
    Auteur,      // records whose author equals the value first
    Sujet,
    Collection,
};

struct SortChoice {
    SortOrder order = SortOrder::FirstLetter;
    // The value of a front order, Windows-1252 bytes compared byte for byte.
    std::string value;
};

// Called with the progress bar's maximum and its new value: (0, max) at the start, then
// after each step. First letter: maximum 26, reached in steps as both passes go (a
// 26th of the work each). Front orders: maximum N, one step per record of the first
// pass; full during the second.
using SortProgress = std::function<void(int value, int maximum)>;

// The group of a title in the first-letter order: 0 to 25 for A to Z, otherOpening
// for every title that does not begin with a letter a-z or A-Z (empty, digit, accent,
// punctuation, blank). That group is written last, after Z: the 26 letter groups keep
// their places at the head of the file, and whatever was not filed under a letter is
// found together at its end instead of being lost.
constexpr int otherOpening = 26;
int titleGroup(const Fiche& record);

// Writes every record of `data` into Q7.tmp in the chosen order and puts it in place
// of Q7.dat (P = 0 afterwards). The file is read twice from start to end, whatever the
// order: once to learn each record's group, once to write each record at its place.
// Memory stays flat: one byte per record, the data file's read-ahead and a small batch
// per group. `buffer` ends holding the last record, as after a pass over the file. On
// any failure Q7.dat is left whole, Q7.tmp is removed and the error is thrown.
void sortCatalogue(DataFile& data, Fiche& buffer, const SortChoice& choice,
                   const SortProgress& progress = {});

} // namespace q7
