// The bars and notes of each chart, made from the figures of the pass, and their titles.
#include "maint/ChartFigures.h"

#include "maint/Statistics.h"
#include "store/Cp1252.h"
#include "store/FrenchOrder.h"

#include <algorithm>
#include <stdexcept>

namespace q7 {

namespace {

// A gap-filled time axis longer than this would be a comb of empty bars: only the
// years that hold books are shown then.
constexpr int mostYearBars = 80;

std::string cp(std::string_view utf8) {
    return utf8ToCp1252(utf8);
}

// A sum of prices kept in thousandths; its halves stay exact, so rounding is the true one.
long double money(std::int64_t thousandths) {
    return static_cast<long double>(thousandths) / 1000;
}

// A bar's height: a count of books, or a sum of prices.
long double height(bool value, std::int64_t amount) {
    return value ? money(amount) : static_cast<long double>(amount);
}

std::string books(std::int64_t n) {
    return std::to_string(n) + (n > 1 ? " livres" : " livre");
}

} // namespace

const std::vector<ChartInfo>& chartTable() {
    static const std::vector<ChartInfo> table = {
        {Chart::type, "Livres par type", "Type", false, ChartStyle::pie},
        {Chart::langue, "Livres par langue", "Langue", false, ChartStyle::pie},
        {Chart::etat, "Livres par état", "État", false, ChartStyle::pie},
        {Chart::lut, "Livres lus et non lus", "Lecture", false, ChartStyle::pie},
        {Chart::jacquette, "Livres avec et sans jaquette", "Jaquette", false, ChartStyle::pie},
        {Chart::anedition, "Livres par année d'édition", "Année d'édition", false, ChartStyle::bar},
        {Chart::enregistrement, "Livres enregistrés par année", "Année d'enregistrement", false,
         ChartStyle::bar},
        {Chart::auteur, "Les 15 auteurs qui ont le plus de livres", "Auteur", false,
         ChartStyle::bar},
        {Chart::edition, "Les 15 éditeurs qui ont le plus de livres", "Éditeur", false,
         ChartStyle::bar},
        {Chart::collection, "Les 15 collections qui ont le plus de livres", "Collection", false,
         ChartStyle::bar},
        {Chart::position, "Les 15 positions qui ont le plus de livres", "Position 1", false,
         ChartStyle::bar},
        {Chart::valeurType, "Valeur de la collection par type", "Type", true, ChartStyle::bar},
        {Chart::valeurAnnee, "Valeur de la collection par année d'enregistrement",
         "Année d'enregistrement", true, ChartStyle::bar},
    };
    return table;
}

const ChartInfo& chartInfo(Chart chart) {
    for (const ChartInfo& info : chartTable())
        if (info.chart == chart) return info;
    throw std::logic_error("chart without a row");
}

ChartData CollectionFigures::texts(const TextTally& tally, bool value, const char* without) const {
    // Counts of books, or values in thousandths: whole numbers, summed exactly.
    struct Amount {
        std::string_view label;
        std::int64_t amount;
    };
    std::vector<std::string_view> labels;
    std::vector<std::int64_t> amounts;
    std::int64_t empty = 0, emptyValue = 0;
    for (const TextTally::Met& e : tally.entries()) {
        if (e.text.empty()) {
            empty = e.figures.count;
            emptyValue = e.figures.value;
        } else {
            labels.push_back(e.text);
            amounts.push_back(value ? e.figures.value : e.figures.count);
        }
    }
    // One bar for texts equal in French order, named by the first met.
    const std::vector<int> rank = frenchRanks(labels);
    std::vector<Amount> all(labels.size(), Amount{{}, 0});
    for (std::size_t i = 0; i < labels.size(); ++i) {
        Amount& bar = all[std::size_t(rank[i])];
        if (bar.label.empty()) bar.label = labels[i];
        bar.amount += amounts[i];
    }
    all.resize(labels.empty() ? 0 : std::size_t(*std::max_element(rank.begin(), rank.end())) + 1);
    const auto larger = [](const Amount& a, const Amount& b) {
        return a.amount != b.amount ? a.amount > b.amount : a.label < b.label;
    };
    const std::size_t shown = std::min<std::size_t>(all.size(), topCount);
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(shown), all.end(),
                      larger);
    ChartData out;
    for (std::size_t i = 0; i < shown; ++i)
        out.bars.push_back({std::string(all[i].label), height(value, all[i].amount)});
    if (all.size() > shown) {
        std::int64_t rest = 0;
        for (std::size_t i = shown; i < all.size(); ++i)
            rest += all[i].amount;
        out.bars.push_back({cp("autres"), height(value, rest)});
    }
    if (empty > 0) {
        std::string note = books(empty) + " " + without;
        if (value) note += ", d'une valeur de " + formatValue(money(emptyValue));
        out.notes.push_back(cp(note));
    }
    return out;
}

ChartData CollectionFigures::years(const std::map<std::int32_t, Tally>& tally, bool value) const {
    ChartData out;
    if (tally.empty()) return out;
    const std::int32_t first = tally.begin()->first;
    const std::int32_t last = tally.rbegin()->first;
    const bool decades = std::int64_t(last) - first + 1 > widestYearSpan;
    const std::int32_t step = decades ? 10 : 1;
    const auto start = [&](std::int32_t y) { return decades ? y - y % 10 : y; };
    const auto label = [&](std::int32_t y) {
        return decades ? std::to_string(y) + "-" + std::to_string(y + 9) : std::to_string(y);
    };
    // Whole numbers, summed exactly before they become heights.
    std::map<std::int32_t, std::int64_t> bins;
    for (const auto& [year, t] : tally)
        bins[start(year)] += value ? t.value : t.count;
    const bool fill = (std::int64_t(start(last)) - start(first)) / step + 1 <= mostYearBars;
    if (fill) {
        for (std::int64_t y = start(first); y <= start(last); y += step) {
            const auto it = bins.find(static_cast<std::int32_t>(y));
            out.bars.push_back({label(static_cast<std::int32_t>(y)),
                                height(value, it == bins.end() ? 0 : it->second)});
        }
    } else {
        for (const auto& [y, v] : bins)
            out.bars.push_back({label(y), height(value, v)});
    }
    return out;
}

std::map<std::int32_t, CollectionFigures::Tally> CollectionFigures::registered() const {
    std::map<std::int32_t, Tally> out = enregistrementLoin_;
    for (std::size_t y = 1; y < enregistrement_.size(); ++y)
        if (enregistrement_[y].count > 0) out[static_cast<std::int32_t>(y)] = enregistrement_[y];
    return out;
}

std::map<std::int32_t, CollectionFigures::Tally> CollectionFigures::edited() const {
    std::map<std::int32_t, Tally> out;
    for (std::size_t y = 1; y < anedition_.size(); ++y)
        if (anedition_[y] > 0) out[static_cast<std::int32_t>(y)].count = anedition_[y];
    return out;
}

ChartData CollectionFigures::chart(Chart chart) const {
    ChartData out;
    switch (chart) {
    case Chart::type: return texts(type_, false, "sans type");
    case Chart::langue: return texts(langue_, false, "sans langue");
    case Chart::etat: return texts(etat_, false, "sans état");
    case Chart::auteur: return texts(auteur_, false, "sans auteur");
    case Chart::edition: return texts(edition_, false, "sans éditeur");
    case Chart::collection: return texts(collection_, false, "sans collection");
    case Chart::position: return texts(position_, false, "sans position");
    case Chart::lut:
        out.bars = {{cp("Lus"), static_cast<long double>(lus_)},
                    {cp("Non lus"), static_cast<long double>(records_ - lus_)}};
        return out;
    case Chart::jacquette:
        out.bars = {{cp("Avec jaquette"), static_cast<long double>(jacquettes_)},
                    {cp("Sans jaquette"), static_cast<long double>(records_ - jacquettes_)}};
        return out;
    case Chart::anedition:
        out = years(edited(), false);
        if (sansAnedition_ > 0)
            out.notes.push_back(
                cp(books(sansAnedition_) + " sans année d'édition (vide, 0 ou illisible)"));
        return out;
    case Chart::enregistrement:
        out = years(registered(), false);
        if (sansEnregistrement_ > 0)
            out.notes.push_back(cp(books(sansEnregistrement_) + " sans année d'enregistrement"));
        return out;
    case Chart::valeurType: out = texts(type_, true, "sans type"); break;
    case Chart::valeurAnnee:
        out = years(registered(), true);
        if (sansEnregistrement_ > 0)
            out.notes.push_back(cp(books(sansEnregistrement_) +
                                   " sans année d'enregistrement, d'une valeur de " +
                                   formatValue(money(valeurSansAnnee_))));
        break;
    }
    if (prixIllisibles_ > 0)
        out.notes.push_back(cp(std::to_string(prixIllisibles_) +
                               (prixIllisibles_ > 1 ? " prix illisibles, comptés pour 0"
                                                    : " prix illisible, compté pour 0")));
    return out;
}

std::string formatValue(long double value) {
    const std::int64_t whole = roundHalfEven(value);
    const std::string digits = std::to_string(whole < 0 ? -whole : whole);
    std::string out;
    out.reserve(digits.size() * 4 / 3 + 2);
    if (whole < 0) out.push_back('-');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(' ');
        out.push_back(digits[i]);
    }
    return out;
}

} // namespace q7
