#pragma once
// The numbers behind the charts of the statistics window, all taken from one pass over
// the catalogue. Texts are Windows-1252 bytes, as stored; texts equal in French order
// ("Dupont", "dupont") make one bar, named as its first book names it, as the overview's
// groups do. Counts of books are whole numbers, values are sums of prices read as the
// statistics read them, kept exact.
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q7 {

enum class Chart {
    type,
    langue,
    etat,
    lut,
    jacquette,
    anedition,
    enregistrement,
    auteur,
    edition,
    collection,
    position,
    valeurType,
    valeurAnnee
};

// How a chart is drawn when first shown; the collector may switch.
enum class ChartStyle { pie, bar };

// One row of the chart table: what it counts and how it is captioned (UTF-8).
struct ChartInfo {
    Chart chart;
    const char* title;
    const char* categoryAxis;
    bool value; // sums of prices rather than counts of books
    ChartStyle style;
};
const std::vector<ChartInfo>& chartTable();
const ChartInfo& chartInfo(Chart chart);

struct ChartBar {
    std::string label; // Windows-1252
    long double value = 0;
};

struct ChartData {
    std::vector<ChartBar> bars;
    // What the bars leave out, said beside the chart (Windows-1252): books without a
    // year, without an author, prices that are not numbers...
    std::vector<std::string> notes;
};

// Most bars of a chart of texts; the rest are summed into one "autres" bar.
constexpr int topCount = 15;
// A span of years wider than this is shown per decade.
constexpr int widestYearSpan = 30;

// Books (and the sum of their prices) per distinct text of one field, as stored.
class TextTally {
public:
    struct Entry {
        std::int64_t count = 0;
        std::int64_t value = 0; // thousandths
    };
    Entry& at(std::string_view text);
    // Each text with its figures, in the order the texts were first met.
    struct Met {
        std::string_view text;
        const Entry& figures;
    };
    std::vector<Met> entries() const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    using Map = std::unordered_map<std::string, Entry, Hash, std::equal_to<>>;
    Map tally_;
    std::vector<const Map::value_type*> met_; // nodes stay where they are
};

class CollectionFigures {
public:
    void add(const Fiche& record);
    int records() const { return records_; }
    ChartData chart(Chart chart) const;

    struct Tally {
        std::int64_t count = 0;
        std::int64_t value = 0; // thousandths
    };

private:
    ChartData texts(const TextTally& tally, bool value, const char* without) const;
    ChartData years(const std::map<std::int32_t, Tally>& tally, bool value) const;
    std::map<std::int32_t, Tally> registered() const;
    std::map<std::int32_t, Tally> edited() const;

    int records_ = 0;
    TextTally type_, langue_, etat_, auteur_, edition_, collection_, position_;
    std::int64_t lus_ = 0, jacquettes_ = 0;
    // Years of edition have four digits at most; years of registration nearly always
    // too, and the others are kept aside. Both grow to the latest year met.
    std::vector<std::int64_t> anedition_;
    std::vector<Tally> enregistrement_;
    std::map<std::int32_t, Tally> enregistrementLoin_;
    std::int64_t sansAnedition_ = 0, sansEnregistrement_ = 0;
    std::int64_t valeurSansAnnee_ = 0; // thousandths
    std::int64_t prixIllisibles_ = 0;
};

// Reads every record (P = N afterwards; the buffer holds the last one).
CollectionFigures collectFigures(DataFile& data, Fiche& buffer);

// A value as the window writes it: whole number, halves to the even neighbour, with a
// space between thousands ("12 345").
std::string formatValue(long double value);

} // namespace q7
