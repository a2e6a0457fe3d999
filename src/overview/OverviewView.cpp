#include "overview/OverviewView.h"

#include "overview/OverviewColumns.h"
#include "store/Folding.h"
#include "store/FrenchOrder.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>
#include <unordered_map>

namespace q7 {

namespace {

constexpr char separator = '\x01'; // between the columns of a row: no typed word holds it

// A value of a numbers column that is a number: digits, at most one decimal comma or
// point, blanks around.
std::optional<double> number(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    double whole = 0, scale = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            whole = whole * 10 + (c - '0');
            if (scale > 0) scale *= 10;
        } else if ((c == ',' || c == '.') && scale == 0) {
            scale = 1;
        } else {
            return std::nullopt;
        }
    }
    if (text == "," || text == ".") return std::nullopt;
    return scale > 0 ? whole / scale : whole;
}

// The words of a typed filter, folded; blanks separate them.
std::vector<std::string> foldedWords(std::string_view cp1252) {
    std::vector<std::string> words(1);
    for (const char c : cp1252) {
        // Blanks, tabs and the non-breaking space separate words.
        if (c == ' ' || c == '\t' || c == '\xA0' || c == '\r' || c == '\n') {
            if (!words.back().empty()) words.emplace_back();
        } else {
            appendFoldedCp1252(words.back(), {&c, 1});
        }
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

} // namespace

void OverviewView::reset() {
    ranks_.clear();
    sortColumn_ = groupColumn_ = chosenGroup_ = -1;
    descending_ = false;
    typed_.clear();
    words_.clear();
    foldedOk_ = false; // folded when first needed: an empty filter shows the rows at once
    match(false);
    arrange();
    show();
}

void OverviewView::prepare() {
    if (!foldedOk_) fold();
}

void OverviewView::release() {
    ranks_.clear();
    foldedOk_ = false;
    // A string moved from an empty one keeps its memory: shrunk, it gives it back.
    folded_.clear();
    folded_.shrink_to_fit();
    from_ = decltype(from_)();
    matches_ = decltype(matches_)();
    order_ = decltype(order_)();
    rows_ = decltype(rows_)();
    matching_ = 0;
}

const OverviewView::Ranking& OverviewView::ranking(int column) {
    if (auto at = ranks_.find(column); at != ranks_.end()) return at->second;
    const OverviewColumn& c = overviewColumns()[std::size_t(column)];
    const int n = books_.size();
    std::vector<std::string> made(c.kind == ColumnKind::Text ? 0 : std::size_t(n));
    std::string scratch;
    std::unordered_map<std::string_view, int> known;
    known.reserve(std::size_t(n));
    std::vector<std::string_view> distinct;
    std::vector<int> valueOf(static_cast<std::size_t>(n));
    for (int row = 0; row < n; ++row) {
        std::string_view v = books_.value(row, column, scratch);
        if (!made.empty()) v = made[std::size_t(row)] = std::string(v);
        auto [at, fresh] = known.try_emplace(v, int(distinct.size()));
        if (fresh) distinct.push_back(v);
        valueOf[std::size_t(row)] = at->second;
    }

    // Empty values first, then numbers by value, then texts in French order.
    struct Key {
        int kind;
        double value; // a number, or a text's place in French order
    };
    std::vector<std::string_view> texts;
    std::vector<Key> keys;
    keys.reserve(distinct.size());
    for (std::string_view v : distinct) {
        const std::optional<double> num = c.numbers ? number(v) : std::nullopt;
        const int kind = v.empty() ? 0 : num ? 1 : 2;
        keys.push_back({kind, kind == 2 ? double(texts.size()) : num.value_or(0)});
        if (kind == 2) texts.push_back(v);
    }
    const std::vector<int> french = frenchRanks(texts);
    for (Key& k : keys)
        if (k.kind == 2) k.value = french[std::size_t(k.value)];
    const auto before = [&](int a, int b) {
        const Key &x = keys[std::size_t(a)], &y = keys[std::size_t(b)];
        return x.kind != y.kind ? x.kind < y.kind : x.value < y.value;
    };
    std::vector<int> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), before);
    std::vector<int> rankOf(distinct.size());
    int rank = -1;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || before(sorted[i - 1], sorted[i])) ++rank;
        rankOf[std::size_t(sorted[i])] = rank;
    }

    Ranking r;
    r.rank.resize(std::size_t(n));
    r.first.assign(std::size_t(rank + 1), -1);
    for (int row = 0; row < n; ++row) {
        const int k = rankOf[std::size_t(valueOf[std::size_t(row)])];
        r.rank[std::size_t(row)] = k;
        if (r.first[std::size_t(k)] < 0) r.first[std::size_t(k)] = row;
    }
    return ranks_.emplace(column, std::move(r)).first->second;
}

void OverviewView::fold() {
    const int n = books_.size();
    folded_.clear();
    from_.clear();
    from_.reserve(std::size_t(n) + 1);
    std::string scratch;
    for (int row = 0; row < n; ++row) {
        from_.push_back(std::uint32_t(folded_.size()));
        for (int column : searched_) {
            appendFoldedCp1252(folded_, books_.value(row, column, scratch));
            folded_ += separator;
        }
    }
    from_.push_back(std::uint32_t(folded_.size()));
    folded_.shrink_to_fit();
    foldedOk_ = true;
}

void OverviewView::match(bool narrowing) {
    const std::size_t n = std::size_t(books_.size());
    if (words_.empty()) {
        matches_.assign(n, 1);
        matching_ = int(n);
        return;
    }
    prepare();
    std::size_t next = 0; // the words still to test on each matching row
    if (!narrowing || matches_.size() != n) {
        // The first word in one pass over the whole buffer: a word found nowhere costs
        // a single search.
        matches_.assign(n, 0);
        const std::string& w = words_.front();
        const char* base = folded_.data();
        std::size_t at = 0;
        while (at < folded_.size()) {
            const void* hit = memmem(base + at, folded_.size() - at, w.data(), w.size());
            if (!hit) break;
            const auto offset = std::size_t(static_cast<const char*>(hit) - base);
            const auto row =
                std::size_t(std::upper_bound(from_.begin(), from_.end(), std::uint32_t(offset)) -
                            from_.begin() - 1);
            matches_[row] = 1;
            at = from_[row + 1];
        }
        next = 1;
    }
    matching_ = 0;
    for (std::size_t row = 0; row < n; ++row) {
        if (!matches_[row]) continue;
        const std::string_view text(folded_.data() + from_[row], from_[row + 1] - from_[row]);
        bool all = true;
        for (std::size_t w = next; w < words_.size() && all; ++w)
            all = memmem(text.data(), text.size(), words_[w].data(), words_[w].size()) != nullptr;
        matches_[row] = all;
        matching_ += all;
    }
}

void OverviewView::arrange() {
    order_.resize(std::size_t(books_.size()));
    std::iota(order_.begin(), order_.end(), 0);
    if (sortColumn_ < 0) return;
    const std::vector<int>& rank = ranks(sortColumn_);
    if (descending_)
        std::stable_sort(order_.begin(), order_.end(), [&rank](int a, int b) {
            return rank[std::size_t(a)] > rank[std::size_t(b)];
        });
    else
        std::stable_sort(order_.begin(), order_.end(), [&rank](int a, int b) {
            return rank[std::size_t(a)] < rank[std::size_t(b)];
        });
}

void OverviewView::show() {
    rows_.clear();
    const std::vector<int>* group =
        groupColumn_ >= 0 && chosenGroup_ >= 0 ? &ranks(groupColumn_) : nullptr;
    for (int row : order_)
        if (matches_[std::size_t(row)] && (!group || (*group)[std::size_t(row)] == chosenGroup_))
            rows_.push_back(row);
}

void OverviewView::setSearched(const std::vector<int>& columns) {
    std::vector<int> texts;
    for (int c : columns)
        if (searchable(overviewColumns()[std::size_t(c)])) texts.push_back(c);
    if (texts == searched_ && foldedOk_) return;
    searched_ = std::move(texts);
    foldedOk_ = false;
    match(false);
    show();
}

void OverviewView::setFilter(std::string_view typed) {
    // Typing on only narrows: every word typed before is in a word typed now.
    const bool narrowing = typed.starts_with(typed_) && !typed_.empty();
    typed_ = std::string(typed);
    words_ = foldedWords(typed_);
    match(narrowing);
    show();
}

void OverviewView::sortBy(int column, bool descending) {
    sortColumn_ = column;
    descending_ = descending;
    arrange();
    show();
}

void OverviewView::groupBy(int column) {
    groupColumn_ = column;
    chosenGroup_ = -1;
    if (column >= 0) ranks(column);
    show();
}

void OverviewView::chooseGroup(int group) {
    chosenGroup_ = groupColumn_ >= 0 ? group : -1;
    show();
}

std::vector<GroupEntry> OverviewView::groups(bool byCount) const {
    std::vector<GroupEntry> out;
    const auto ranked = ranks_.find(groupColumn_);
    if (ranked == ranks_.end()) return out;
    const Ranking& r = ranked->second;
    std::vector<int> count(r.first.size());
    for (std::size_t row = 0; row < matches_.size(); ++row)
        if (matches_[row]) ++count[std::size_t(r.rank[row])];
    std::string scratch;
    for (std::size_t g = 0; g < count.size(); ++g)
        if (count[g] > 0 || int(g) == chosenGroup_)
            out.push_back(
                {int(g), std::string(books_.value(r.first[g], groupColumn_, scratch)), count[g]});
    if (byCount)
        std::stable_sort(out.begin(), out.end(), [](const GroupEntry& a, const GroupEntry& b) {
            return a.count > b.count;
        });
    return out;
}

} // namespace q7
