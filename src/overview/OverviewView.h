#pragma once
// What the overview shows of the books: the rows that pass the typed filter and the
// chosen group, in the chosen order, and the groups with their counts.
//
// Everything a key needs is made beforehand: the searched columns are folded into one
// buffer when the window opens or the searched columns change, each column's order is
// ranked once when first sorted or grouped on. A key then costs one pass over that
// buffer (or over the rows still matching, when the filter only grew).
#include "overview/OverviewBooks.h"

#include <map>
#include <string>
#include <vector>

namespace q7 {

struct GroupEntry {
    int group;        // its rank among the column's values
    std::string name; // as stored; empty for "(vide)"
    int count;        // rows of the group that pass the filter
};

class OverviewView {
public:
    explicit OverviewView(const OverviewBooks& books) : books_(books) {}

    // Starts again on the books as loaded: everything shown, stored order, no group.
    void reset();
    // Folds the searched columns now, while the collector reads the first rows, so that
    // the first key typed does not wait for it. Done anyway at the first word typed.
    void prepare();
    bool prepared() const { return foldedOk_; }
    // Gives back everything made from the books (they were cleared); reset() before use.
    void release();

    // The columns the filter looks in; the words typed are searched again.
    void setSearched(const std::vector<int>& columns);
    // Bytes as typed. A row stays when every word occurs in one searched column.
    void setFilter(std::string_view typed);
    // -1: stored order. Stable; descending keeps equal rows in stored order too.
    void sortBy(int column, bool descending);
    // -1: no grouping. The chosen group is forgotten.
    void groupBy(int column);
    // -1: every group.
    void chooseGroup(int group);

    const std::vector<int>& rows() const { return rows_; }
    int sortColumn() const { return sortColumn_; }
    bool descending() const { return descending_; }
    int groupColumn() const { return groupColumn_; }
    int chosenGroup() const { return chosenGroup_; }
    // The groups having rows that pass the filter (the chosen one always), by name or by
    // count (largest first; equal counts by name).
    std::vector<GroupEntry> groups(bool byCount) const;
    // Rows passing the filter, whatever the group.
    int matching() const { return matching_; }

    // The rank of each row's value in a column: values equal in French order (which
    // ignores letter case) share a rank. Made once per column, one collation key a value.
    const std::vector<int>& ranks(int column) { return ranking(column).rank; }

private:
    struct Ranking {
        std::vector<int> rank;  // per row
        std::vector<int> first; // per rank, its first row
    };
    const Ranking& ranking(int column);
    void fold();
    void match(bool narrowing);
    void arrange();
    void show();

    const OverviewBooks& books_;
    std::vector<int> searched_;
    bool foldedOk_ = false;
    std::string folded_;              // the searched columns of every row, folded
    std::vector<std::uint32_t> from_; // where each row starts in folded_, and the end
    std::string typed_;
    std::vector<std::string> words_;
    std::vector<char> matches_; // per row
    int matching_ = 0;
    std::vector<int> order_; // every row, sorted
    std::vector<int> rows_;  // shown
    std::map<int, Ranking> ranks_;
    int sortColumn_ = -1;
    bool descending_ = false;
    int groupColumn_ = -1;
    int chosenGroup_ = -1;
};

} // namespace q7
