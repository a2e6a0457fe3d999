#pragma once
// The numbers behind the charts of the statistics window, all taken from one pass over
// the catalogue. Texts are Windows-1252 bytes, as stored; counts of books are whole
// numbers, values are sums of prices read as the statistics read them, kept exact.
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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

// Books (and the sum of their prices) per distinct text of one field. An open table
// over the bytes as stored, looked up seven times per record: slots hold a tag of the
// hash beside the entry's number, keys live side by side in one buffer, so a lookup
// touches no string and a miss rarely leaves the slot array.
class TextTally {
public:
    struct Entry {
        std::uint32_t start = 0; // in keys()
        std::uint32_t size = 0;
        std::int64_t count = 0;
        std::int64_t value = 0;         // thousandths
        std::uint64_t head[2] = {0, 0}; // a short text's bytes, zero after them
    };
    // Texts up to this long are compared as two words held in their entry.
    static constexpr std::size_t shortKey = 16;
    TextTally();
    Entry& at(const unsigned char* key, std::size_t size);
    Entry& at(std::string_view key) {
        return at(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    }
    const std::vector<Entry>& entries() const { return entries_; }
    std::string_view key(const Entry& e) const { return {keys_.data() + e.start, e.size}; }

private:
    friend class CollectionFigures;
    // Adds the counts and values of another tally, its new texts after ours in its order.
    void join(const TextTally& later);
    // The same as at(), inlined into the pass over the catalogue; a short key must have
    // shortKey bytes to read (a field inside a record has).
    Entry& find(const unsigned char* key, std::size_t size);
    template <typename Same>
    Entry& probe(std::uint64_t hash, const unsigned char* key, std::size_t size, Same same);
    std::uint64_t hashEntry(const Entry& e) const;
    Entry& insert(const unsigned char* key, std::size_t size, std::uint64_t hash, std::size_t slot);
    void grow();
    std::vector<std::uint64_t> slots_; // tag << 32 | entry + 1; 0 when free
    std::size_t mask_;                 // slots_.size() - 1
    std::vector<Entry> entries_;
    std::string keys_;
};

class CollectionFigures {
public:
    CollectionFigures();
    ~CollectionFigures();
    CollectionFigures(CollectionFigures&&) noexcept;
    CollectionFigures& operator=(CollectionFigures&&) noexcept;

    void add(const Fiche& record) { add(record.bytes.data()); }
    int records() const { return records_; }
    ChartData chart(Chart chart) const;

    struct Tally {
        std::int64_t count = 0;
        std::int64_t value = 0; // thousandths
    };

    // Counts the blocks of records it takes from `next` (the first record of the next
    // block to read) until none is left, reading them into a buffer of its own; several
    // threads may share `next`. `last` takes the catalogue's last record.
    void addBlocks(const DataFile& data, std::atomic<int>& next, Fiche* last);
    // Adds the figures of other records: counts and exact sums do not depend on the order
    // the records were met, nor does a chart (its bars are ranked by amount, then label).
    void join(const CollectionFigures& other);

private:
    void add(const unsigned char* record);
    Tally& registeredIn(std::int32_t year);
    ChartData texts(const TextTally& tally, bool value, const char* without) const;
    ChartData years(const std::map<std::int32_t, Tally>& tally, bool value) const;
    std::map<std::int32_t, Tally> registered() const;
    std::map<std::int32_t, Tally> edited() const;

    int records_ = 0;
    TextTally type_, langue_, etat_, auteur_, edition_, collection_, position_;
    // Where the counted fields lie in a record, looked up once rather than per record.
    FieldInfo where_[9];
    std::size_t lut_, jacquette_;
    std::int64_t lus_ = 0, jacquettes_ = 0;
    // Years of edition have four digits at most; years of registration nearly always
    // too, and the others are kept aside. Both grow to the latest year met, so that a
    // pass does not clear slots for ten thousand years.
    std::vector<std::int64_t> anedition_;
    std::vector<Tally> enregistrement_;
    std::map<std::int32_t, Tally> enregistrementLoin_;
    std::int64_t sansAnedition_ = 0, sansEnregistrement_ = 0;
    std::int64_t valeurSansAnnee_ = 0; // thousandths
    std::int64_t prixIllisibles_ = 0;
    // A price has four bytes at most, so few are typed: each is read once, by the
    // statistics' rule, and kept in a slot chosen by its bytes. Four bytes hold three
    // decimals at most: in thousandths every price is a whole number.
    struct Price {
        std::uint64_t typed = 0; // bytes, length and a mark that the slot is taken
        std::int64_t thousandths = 0;
        bool readable = false;
    };
    static constexpr int priceSlotBits = 10;
    std::vector<Price> prices_;
};

// Reads every record (P = N afterwards; the buffer holds the last one). A large catalogue
// is read on two threads when the file layer allows, their figures joined as one pass.
CollectionFigures collectFigures(DataFile& data, Fiche& buffer);

// A value as the window writes it: whole number, halves to the even neighbour, with a
// space between thousands ("12 345").
std::string formatValue(long double value);

} // namespace q7
