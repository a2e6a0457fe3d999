#include "overview/OverviewView.h"

#include "overview/Folding.h"
#include "overview/OverviewColumns.h"
#include "platform/QtText.h"
#include "store/Cp1252.h"
#include "store/FrenchOrder.h"

#include <algorithm>
#include <array>
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

// Folded text weighed as French order weighs each character alone (control characters
// count for nothing): close to French order, and compared as plain bytes.
void appendPrimaryKey(std::string& out, std::string_view cp1252) {
    static const std::array<unsigned char, 256> weight = [] {
        std::array<int, 256> bytes;
        std::iota(bytes.begin(), bytes.end(), 0);
        const auto text = [](int b) { return QString(QChar(char16_t(cp1252ToUnicode(b)))); };
        std::stable_sort(bytes.begin(), bytes.end(),
                         [&](int a, int b) { return compareFrench(text(a), text(b)) < 0; });
        std::array<unsigned char, 256> w{};
        int rank = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const QString t = text(bytes[i]);
            if (compareFrench(t, QString()) == 0) continue; // ignored by French order
            if (i > 0 && compareFrench(text(bytes[i - 1]), t) != 0) ++rank;
            w[std::size_t(bytes[i])] = static_cast<unsigned char>(std::min(rank + 1, 255));
        }
        return w;
    }();
    const std::size_t from = out.size();
    appendFolded(out, cp1252);
    std::size_t to = from;
    for (std::size_t i = from; i < out.size(); ++i)
        if (const unsigned char k = weight[static_cast<unsigned char>(out[i])]) out[to++] = char(k);
    out.resize(to);
}

// The text of Windows-1252 bytes, in a string whose memory is used again.
void setText(QString& text, std::string_view cp1252) {
    text.resize(qsizetype(cp1252.size()));
    QChar* out = text.data();
    for (char c : cp1252)
        *out++ = QChar(char16_t(cp1252ToUnicode(static_cast<unsigned char>(c))));
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
        double value;
        std::uint32_t from, to; // texts: its primary key in `primaries`
    };
    std::vector<Key> keys;
    keys.reserve(distinct.size());
    std::string primaries;
    for (std::string_view v : distinct) {
        const std::optional<double> num = c.numbers ? number(v) : std::nullopt;
        const int kind = v.empty() ? 0 : num ? 1 : 2;
        const auto from = std::uint32_t(primaries.size());
        if (kind == 2) appendPrimaryKey(primaries, v);
        keys.push_back({kind, num.value_or(0), from, std::uint32_t(primaries.size())});
    }
    // Two texts compared in French order, converted into buffers made once.
    QString left, right;
    const auto french = [&](int a, int b) {
        setText(left, distinct[std::size_t(a)]);
        setText(right, distinct[std::size_t(b)]);
        return compareFrench(left, right);
    };
    const auto compare = [&](int a, int b, bool exact) {
        const Key &x = keys[std::size_t(a)], &y = keys[std::size_t(b)];
        if (x.kind != y.kind) return x.kind < y.kind ? -1 : 1;
        if (x.kind == 1) return x.value < y.value ? -1 : x.value > y.value ? 1 : 0;
        if (x.kind == 0) return 0;
        if (!exact) {
            const std::string_view p(primaries);
            if (const int order =
                    p.substr(x.from, x.to - x.from).compare(p.substr(y.from, y.to - y.from)))
                return order;
        }
        return french(a, b);
    };
    std::vector<int> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) { return compare(a, b, false) < 0; });
    // French order itself decides between neighbours: one comparison each proves the
    // cheap order right, or the texts are sorted again by French order alone.
    std::vector<int> order(sorted.size()); // per neighbour pair, French order's word
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const Key &x = keys[std::size_t(sorted[i - 1])], &y = keys[std::size_t(sorted[i])];
        if (x.kind != 2 || y.kind != 2) {
            order[i] = compare(sorted[i - 1], sorted[i], true);
            continue;
        }
        // Each text converted once: the right one of a pair is the left one of the next.
        if (i == 1 || keys[std::size_t(sorted[i - 2])].kind != 2)
            setText(left, distinct[std::size_t(sorted[i - 1])]);
        setText(right, distinct[std::size_t(sorted[i])]);
        order[i] = compareFrench(left, right);
        std::swap(left, right);
    }
    if (std::any_of(order.begin(), order.end(), [](int o) { return o > 0; })) {
        std::vector<QCollatorSortKey> exact;
        exact.reserve(distinct.size());
        for (std::size_t i = 0; i < distinct.size(); ++i)
            exact.push_back(frenchSortKey(keys[i].kind == 2 ? fromBytes(distinct[i]) : QString()));
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            const Key &x = keys[std::size_t(a)], &y = keys[std::size_t(b)];
            if (x.kind != 2 || y.kind != 2) return compare(a, b, true) < 0;
            return exact[std::size_t(a)].compare(exact[std::size_t(b)]) < 0;
        });
        for (std::size_t i = 1; i < sorted.size(); ++i)
            order[i] = compare(sorted[i - 1], sorted[i], true);
    }
    std::vector<int> rankOf(distinct.size());
    int rank = -1;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || order[i] != 0) ++rank;
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
            appendFolded(folded_, books_.value(row, column, scratch));
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
