#include "maint/ChartFigures.h"

#include "store/Numbers.h"

#include <stdexcept>

namespace q7 {

namespace {

// A price as the statistics read it, in whole thousandths; false when it is no number.
bool readThousandths(std::string_view text, std::int64_t& out) {
    long double unused = 0;
    if (!readDecimal(text, unused)) return false;
    std::int64_t whole = 0, fraction = 0;
    int places = 0;
    bool comma = false;
    for (const char c : text) {
        if (c == ',') {
            comma = true;
        } else if (c >= '0' && c <= '9') {
            if (!comma)
                whole = whole * 10 + (c - '0');
            else if (++places <= 3)
                fraction = fraction * 10 + (c - '0');
        }
    }
    // Four bytes never hold more than three decimals; a longer field would need a finer unit.
    if (places > 3) throw std::logic_error("a price finer than a thousandth");
    for (; places < 3; ++places)
        fraction *= 10;
    out = (whole * 1000 + fraction) * (text.front() == '-' ? -1 : 1);
    return true;
}

// A year of edition as typed: one to four digits, 0 meaning none was given.
std::int32_t editionYear(std::string_view text) {
    if (text.empty()) return 0;
    std::int32_t year = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        year = year * 10 + (c - '0');
    }
    return year;
}

// Years of registration beyond this are kept aside rather than in a slot each.
constexpr std::int32_t yearSlots = 10000;

} // namespace

TextTally::Entry& TextTally::at(std::string_view text) {
    auto it = tally_.find(text);
    if (it == tally_.end()) {
        it = tally_.emplace(std::string(text), Entry{}).first;
        met_.push_back(&*it);
    }
    return it->second;
}

std::vector<TextTally::Met> TextTally::entries() const {
    std::vector<Met> out;
    out.reserve(met_.size());
    for (const Map::value_type* e : met_)
        out.push_back({e->first, e->second});
    return out;
}

void CollectionFigures::add(const Fiche& record) {
    ++records_;
    std::int64_t price = 0;
    if (!readThousandths(record.view(Field::prix), price)) {
        // One price typed as a lone comma should not hide the charts of every other book.
        price = 0;
        ++prixIllisibles_;
    }
    TextTally::Entry& type = type_.at(record.view(Field::type));
    ++type.count;
    type.value += price;
    ++langue_.at(record.view(Field::langue)).count;
    ++etat_.at(record.view(Field::etat)).count;
    ++auteur_.at(record.view(Field::auteur)).count;
    ++edition_.at(record.view(Field::edition)).count;
    ++collection_.at(record.view(Field::collection)).count;
    ++position_.at(record.view(Field::pos1)).count;
    // Only a byte of exactly 1 is a ticked box, as the statistics count them.
    lus_ += record.bytes[flagOffset(Flag::lut)] == 1;
    jacquettes_ += record.bytes[flagOffset(Flag::jacquette)] == 1;

    if (const std::int32_t year = editionYear(record.view(Field::anedition)); year > 0) {
        if (std::size_t(year) >= anedition_.size()) anedition_.resize(std::size_t(year) + 1);
        ++anedition_[std::size_t(year)];
    } else {
        ++sansAnedition_;
    }
    const std::int32_t year = record.annee();
    if (year <= 0) {
        ++sansEnregistrement_;
        valeurSansAnnee_ += price;
        return;
    }
    if (year >= yearSlots) {
        ++enregistrementLoin_[year].count;
        enregistrementLoin_[year].value += price;
        return;
    }
    if (std::size_t(year) >= enregistrement_.size()) enregistrement_.resize(std::size_t(year) + 1);
    ++enregistrement_[std::size_t(year)].count;
    enregistrement_[std::size_t(year)].value += price;
}

CollectionFigures collectFigures(DataFile& data, Fiche& buffer) {
    CollectionFigures figures;
    data.seek(0);
    const Fiche* last = nullptr;
    while (!data.atEnd())
        figures.add(*(last = &data.readNext()));
    if (last) buffer = *last;
    return figures;
}

} // namespace q7
