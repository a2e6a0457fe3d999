#include "store/FrenchOrder.h"

#include "store/Cp1252.h"
#include "store/Folding.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <utility>

namespace q7 {

namespace {

const QCollator& collator() {
    static const QCollator c = [] {
        QCollator french(QLocale(QLocale::French, QLocale::France));
        french.setCaseSensitivity(Qt::CaseInsensitive);
        return french;
    }();
    return c;
}

// The text of Windows-1252 bytes, in a string whose memory is used again.
void setText(QString& text, std::string_view cp1252) {
    text.resize(qsizetype(cp1252.size()));
    QChar* out = text.data();
    for (const char c : cp1252)
        *out++ = QChar(char16_t(cp1252ToUnicode(static_cast<unsigned char>(c))));
}

QString fromCp1252(std::string_view bytes) {
    QString s;
    setText(s, bytes);
    return s;
}

// Each byte as French order weighs its folded letters one by one ("œ" two of them),
// nothing for what French order ignores: keys that, compared as bytes, order texts
// nearly as French order does, at a small part of the cost of its own keys.
const std::array<std::string, 256>& primaryWeights() {
    static const std::array<std::string, 256> table = [] {
        std::array<std::u32string, 256> folds;
        std::vector<char32_t> letters;
        for (std::size_t b = 0; b < 256; ++b) {
            const std::string f = foldedCp1252(std::string(1, char(b)));
            for (std::size_t at = 0; at < f.size();)
                folds[b] += nextUtf8(f, at).value_or(U'?');
            letters.insert(letters.end(), folds[b].begin(), folds[b].end());
        }
        const auto text = [](char32_t c) { return QString::fromUcs4(&c, 1); };
        std::sort(letters.begin(), letters.end());
        letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
        std::stable_sort(letters.begin(), letters.end(),
                         [&](char32_t a, char32_t b) { return lessFrench(text(a), text(b)); });
        std::map<char32_t, char> weight;
        int rank = 0;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            if (compareFrench(text(letters[i]), QString()) == 0) continue; // ignored
            if (i > 0 && compareFrench(text(letters[i - 1]), text(letters[i])) != 0) ++rank;
            weight[letters[i]] = char(std::min(rank + 1, 255));
        }
        std::array<std::string, 256> out;
        for (std::size_t b = 0; b < 256; ++b)
            for (const char32_t c : folds[b])
                if (const auto w = weight.find(c); w != weight.end()) out[b] += w->second;
        return out;
    }();
    return table;
}

} // namespace

int compareFrench(const QString& a, const QString& b) {
    return collator().compare(a, b);
}

QCollatorSortKey frenchSortKey(const QString& text) {
    return collator().sortKey(text);
}

std::vector<int> frenchRanks(const std::vector<std::string_view>& cp1252) {
    const std::size_t n = cp1252.size();
    // A cheap order first, on primary keys compared as bytes.
    const std::array<std::string, 256>& weights = primaryWeights();
    std::string keys;
    std::vector<std::size_t> from;
    from.reserve(n + 1);
    for (const std::string_view text : cp1252) {
        from.push_back(keys.size());
        for (const char c : text) {
            const std::string& w = weights[static_cast<unsigned char>(c)];
            keys.append(w.data(), w.size());
        }
    }
    from.push_back(keys.size());
    const auto key = [&](int i) {
        return std::string_view(keys).substr(from[std::size_t(i)],
                                             from[std::size_t(i) + 1] - from[std::size_t(i)]);
    };
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });

    // French order itself decides between neighbours: one comparison each proves the
    // cheap order right, or the texts are sorted again by French order's own keys. Each
    // text is converted once: the right one of a pair is the left one of the next.
    std::vector<int> step(n); // French order's word on each text and the one before
    QString left, right;
    for (std::size_t i = 1; i < n; ++i) {
        if (i == 1) setText(left, cp1252[std::size_t(order[0])]);
        setText(right, cp1252[std::size_t(order[i])]);
        step[i] = compareFrench(left, right);
        std::swap(left, right);
    }
    if (std::any_of(step.begin(), step.end(), [](int s) { return s > 0; })) {
        std::vector<QCollatorSortKey> exact;
        exact.reserve(n);
        for (const std::string_view text : cp1252)
            exact.push_back(frenchSortKey(fromCp1252(text)));
        const auto compare = [&](int a, int b) {
            return exact[std::size_t(a)].compare(exact[std::size_t(b)]);
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compare(a, b) < 0; });
        for (std::size_t i = 1; i < n; ++i)
            step[i] = compare(order[i - 1], order[i]);
    }
    std::vector<int> rank(n);
    for (std::size_t i = 0, r = 0; i < n; ++i) {
        if (i > 0 && step[i] != 0) ++r;
        rank[std::size_t(order[i])] = int(r);
    }
    return rank;
}

void sortFrench(QStringList& values) {
    // Big lists are loaded at every new record and every criterion choice.
    if (std::is_sorted(values.begin(), values.end(), lessFrench)) return;
    std::stable_sort(values.begin(), values.end(), lessFrench);
}

void sortFrench(std::vector<std::string>& cp1252) {
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(cp1252.size());
    for (std::string& v : cp1252)
        keyed.emplace_back(fromCp1252(v), std::move(v));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return lessFrench(a.first, b.first); });
    cp1252.clear();
    for (auto& [text, bytes] : keyed)
        cp1252.push_back(std::move(bytes));
}

} // namespace q7
