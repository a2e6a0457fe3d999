#include "maint/ChartFigures.h"

#include "store/Errors.h"
#include "store/Numbers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace q7 {

namespace {

constexpr std::int32_t yearSlots = 10000;

std::uint64_t load64(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

std::uint32_t load32(const unsigned char* p) {
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

std::uint64_t mix(std::uint64_t h, std::uint64_t w) {
    constexpr std::uint64_t k = 0x9E3779B97F4A7C15ULL;
    h = (h ^ w) * k;
    return h ^ (h >> 29);
}

// Equal bytes, read as the hash reads them: every byte is covered by some load.
[[gnu::always_inline]] inline bool sameBytes(const char* stored, const unsigned char* p,
                                             std::size_t n) {
    const auto* q = reinterpret_cast<const unsigned char*>(stored);
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8)
            if (load64(q + i) != load64(p + i)) return false;
        return load64(q + n - 8) == load64(p + n - 8);
    }
    if (n >= 4) return load32(q) == load32(p) && load32(q + n - 4) == load32(p + n - 4);
    return n == 0 || (q[0] == p[0] && q[n / 2] == p[n / 2] && q[n - 1] == p[n - 1]);
}

// Eight bytes at a time, the last word overlapping the one before; short keys read in
// fixed-size pieces, so no copy of a variable length is made per lookup.
[[gnu::always_inline]] inline std::uint64_t hashOf(const unsigned char* p, std::size_t n) {
    std::uint64_t h = (n + 1) * 0x9E3779B97F4A7C15ULL;
    if (n >= 8) {
        std::size_t i = 0;
        for (; i + 8 < n; i += 8)
            h = mix(h, load64(p + i));
        h = mix(h, load64(p + n - 8));
    } else if (n >= 4) {
        h = mix(h, load32(p) | std::uint64_t(load32(p + n - 4)) << 32);
    } else if (n > 0) {
        h = mix(h, p[0] | std::uint64_t(p[n / 2]) << 8 | std::uint64_t(p[n - 1]) << 16);
    }
    return h ^ (h >> 32);
}

// Which bytes of the two words a short text of n bytes fills.
constexpr auto headMasks = [] {
    std::array<std::array<std::uint64_t, 2>, TextTally::shortKey + 1> out{};
    for (std::size_t n = 0; n <= TextTally::shortKey; ++n)
        for (std::size_t byte = 0; byte < n; ++byte)
            out[n][byte / 8] |= std::uint64_t(0xFF) << (8 * (byte % 8));
    return out;
}();

std::uint64_t hashHead(std::size_t n, std::uint64_t a, std::uint64_t b) {
    const std::uint64_t h = mix(mix((n + 1) * 0x9E3779B97F4A7C15ULL, a), b);
    return h ^ (h >> 32);
}

// Which bytes of a word a price of n bytes fills.
constexpr std::uint32_t priceMasks[5] = {0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF};

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

// Whether `flag` was raised within half a millisecond, looked at without sleeping.
bool awaitBriefly(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
    while (!flag.load(std::memory_order_acquire))
        if (std::chrono::steady_clock::now() > until) return false;
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

} // namespace

TextTally::TextTally() : slots_(64, 0), mask_(63) {}

// Inlined into the pass: a call per field cost more than the lookup itself. Short
// texts, nearly all of them, are read as two masked words: no branch on their length.
[[gnu::always_inline]] inline TextTally::Entry& TextTally::find(const unsigned char* key,
                                                                std::size_t size) {
    if (size <= shortKey) {
        const std::uint64_t a = load64(key) & headMasks[size][0];
        const std::uint64_t b = load64(key + 8) & headMasks[size][1];
        return probe(hashHead(size, a, b), key, size, [&](const Entry& e) {
            return e.size == size && e.head[0] == a && e.head[1] == b;
        });
    }
    return probe(hashOf(key, size), key, size, [&](const Entry& e) {
        return e.size == size && sameBytes(keys_.data() + e.start, key, size);
    });
}

template <typename Same>
[[gnu::always_inline]] inline TextTally::Entry&
TextTally::probe(std::uint64_t h, const unsigned char* key, std::size_t size, Same same) {
    const std::uint64_t tag = h >> 32 << 32;
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
        const std::uint64_t slot = slots_[i];
        if (slot == 0) return insert(key, size, h, i);
        if ((slot & ~0xFFFFFFFFULL) != tag) continue;
        Entry& e = entries_[(slot & 0xFFFFFFFFULL) - 1];
        if (same(e)) return e;
    }
}

TextTally::Entry& TextTally::at(const unsigned char* key, std::size_t size) {
    if (size > shortKey) return find(key, size);
    // find() reads sixteen bytes of a short text.
    unsigned char padded[shortKey] = {};
    std::memcpy(padded, key, size);
    return find(padded, size);
}

std::uint64_t TextTally::hashEntry(const Entry& e) const {
    return e.size <= shortKey
               ? hashHead(e.size, e.head[0], e.head[1])
               : hashOf(reinterpret_cast<const unsigned char*>(keys_.data()) + e.start, e.size);
}

TextTally::Entry& TextTally::insert(const unsigned char* key, std::size_t size, std::uint64_t h,
                                    std::size_t i) {
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        grow();
        i = h & mask_;
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
    }
    Entry e{static_cast<std::uint32_t>(keys_.size()), static_cast<std::uint32_t>(size), 0, 0, {}};
    if (size <= shortKey) {
        e.head[0] = load64(key) & headMasks[size][0];
        e.head[1] = load64(key + 8) & headMasks[size][1];
    }
    entries_.push_back(e);
    keys_.append(reinterpret_cast<const char*>(key), size);
    slots_[i] = (h >> 32 << 32) | entries_.size();
    return entries_.back();
}

void TextTally::grow() {
    slots_.assign(slots_.size() * 2, 0);
    mask_ = slots_.size() - 1;
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        const std::uint64_t h = hashEntry(entries_[e]);
        std::size_t i = h & mask_;
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        slots_[i] = (h >> 32 << 32) | (e + 1);
    }
}

void TextTally::join(const TextTally& later) {
    for (const Entry& e : later.entries_) {
        Entry& ours = at(later.key(e));
        ours.count += e.count;
        ours.value += e.value;
    }
}

CollectionFigures::CollectionFigures()
    : where_{fieldInfo(Field::type),   fieldInfo(Field::langue),  fieldInfo(Field::etat),
             fieldInfo(Field::auteur), fieldInfo(Field::edition), fieldInfo(Field::collection),
             fieldInfo(Field::pos1),   fieldInfo(Field::prix),    fieldInfo(Field::anedition)},
      lut_(flagOffset(Flag::lut)), jacquette_(flagOffset(Flag::jacquette)),
      prices_(std::size_t(1) << priceSlotBits) {
    // The table reads a short text as sixteen bytes from its start, a price as four.
    for (int f = 0; f < 7; ++f)
        if (where_[f].offset + 1 + TextTally::shortKey > ficheSize)
            throw std::logic_error("a counted field too near the end of a record");
    if (where_[7].capacity != 4) throw std::logic_error("a price of four bytes");
}
CollectionFigures::~CollectionFigures() = default;
CollectionFigures::CollectionFigures(CollectionFigures&&) noexcept = default;
CollectionFigures& CollectionFigures::operator=(CollectionFigures&&) noexcept = default;

[[gnu::always_inline]] inline CollectionFigures::Tally&
CollectionFigures::registeredIn(std::int32_t year) {
    const auto slot = static_cast<std::size_t>(year);
    if (slot < enregistrement_.size()) return enregistrement_[slot];
    if (year >= yearSlots) return enregistrementLoin_[year];
    enregistrement_.resize(slot + 1);
    return enregistrement_[slot];
}

void CollectionFigures::add(const unsigned char* bytes) {
    ++records_;
    // The counted bytes of a field, its length capped as Fiche::view caps it.
    const auto field = [&](int f) __attribute__((always_inline)) {
        const FieldInfo& w = where_[f];
        return std::pair<const unsigned char*, std::size_t>(
            bytes + w.offset + 1, std::min<std::size_t>(bytes[w.offset], w.capacity));
    };
    const auto tally = [&](TextTally & t, int f) __attribute__((always_inline))->TextTally::Entry& {
        const auto [text, size] = field(f);
        return t.find(text, size);
    };
    const auto [prix, prixSize] = field(7);
    const std::uint64_t typed =
        (load32(prix) & priceMasks[prixSize]) | std::uint64_t(prixSize) << 32 | 1ULL << 40;
    Price& memo = prices_[typed * 0x9E3779B97F4A7C15ULL >> (64 - priceSlotBits)];
    if (memo.typed != typed) {
        memo.typed = typed;
        memo.readable =
            readThousandths({reinterpret_cast<const char*>(prix), prixSize}, memo.thousandths);
        // One price typed as a lone comma should not hide the charts of every other book.
        if (!memo.readable) memo.thousandths = 0;
    }
    const std::int64_t price = memo.thousandths;
    if (!memo.readable) ++prixIllisibles_;
    TextTally::Entry& type = tally(type_, 0);
    ++type.count;
    ++tally(langue_, 1).count;
    ++tally(etat_, 2).count;
    ++tally(auteur_, 3).count;
    ++tally(edition_, 4).count;
    ++tally(collection_, 5).count;
    ++tally(position_, 6).count;
    // Only a byte of exactly 1 is a ticked box, as the statistics count them.
    if (bytes[lut_] == 1) ++lus_;
    if (bytes[jacquette_] == 1) ++jacquettes_;

    const auto [anedition, anSize] = field(8);
    if (const std::int32_t year = editionYear({reinterpret_cast<const char*>(anedition), anSize});
        year > 0) {
        const auto slot = static_cast<std::size_t>(year);
        if (slot >= anedition_.size()) anedition_.resize(slot + 1);
        ++anedition_[slot];
    } else {
        ++sansAnedition_;
    }
    const std::int32_t year = Fiche::anneeOf(bytes);
    type.value += price;
    if (year > 0) {
        Tally& t = registeredIn(year);
        ++t.count;
        t.value += price;
    } else {
        ++sansEnregistrement_;
        valeurSansAnnee_ += price;
    }
}

void CollectionFigures::addBlocks(const DataFile& data, std::atomic<int>& next, Fiche* last) {
    const int count = data.count();
    const int block = std::min(DataFile::readAheadRecords, count);
    if (block <= 0) return;
    // Not cleared: every record counted is read first.
    const auto buffer =
        std::make_unique_for_overwrite<unsigned char[]>(std::size_t(block) * ficheSize);
    for (int first = next.fetch_add(block, std::memory_order_relaxed); first < count;
         first = next.fetch_add(block, std::memory_order_relaxed)) {
        const int end = std::min(first + block, count);
        for (int at = first; at < end;) {
            const int got = data.readRecords(at, end - at, buffer.get());
            if (got == 0) throw IoError(IoError::readPastEnd);
            for (int i = 0; i < got; ++i)
                add(buffer.get() + std::size_t(i) * ficheSize);
            at += got;
            if (at == count && last)
                std::memcpy(last->bytes.data(), buffer.get() + std::size_t(got - 1) * ficheSize,
                            ficheSize);
        }
    }
}

void CollectionFigures::join(const CollectionFigures& later) {
    records_ += later.records_;
    for (auto [ours, theirs] : {std::pair{&type_, &later.type_},
                                {&langue_, &later.langue_},
                                {&etat_, &later.etat_},
                                {&auteur_, &later.auteur_},
                                {&edition_, &later.edition_},
                                {&collection_, &later.collection_},
                                {&position_, &later.position_}})
        ours->join(*theirs);
    lus_ += later.lus_;
    jacquettes_ += later.jacquettes_;
    if (anedition_.size() < later.anedition_.size()) anedition_.resize(later.anedition_.size());
    for (std::size_t y = 0; y < later.anedition_.size(); ++y)
        anedition_[y] += later.anedition_[y];
    if (enregistrement_.size() < later.enregistrement_.size())
        enregistrement_.resize(later.enregistrement_.size());
    for (std::size_t y = 0; y < later.enregistrement_.size(); ++y) {
        enregistrement_[y].count += later.enregistrement_[y].count;
        enregistrement_[y].value += later.enregistrement_[y].value;
    }
    for (const auto& [year, t] : later.enregistrementLoin_) {
        enregistrementLoin_[year].count += t.count;
        enregistrementLoin_[year].value += t.value;
    }
    sansAnedition_ += later.sansAnedition_;
    sansEnregistrement_ += later.sansEnregistrement_;
    prixIllisibles_ += later.prixIllisibles_;
    valeurSansAnnee_ += later.valeurSansAnnee_;
}

CollectionFigures collectFigures(DataFile& data, Fiche& buffer) {
    // Below this a second thread costs more than it saves.
    constexpr int shareFrom = 2 * DataFile::readAheadRecords;
    // Each block goes to whichever thread is free: a processor taken away for a while
    // leaves its blocks to the other thread instead of holding up the pass.
    std::atomic<int> next = 0;
    std::atomic<bool> helped = false;
    std::optional<CollectionFigures> mine, helpers;
    std::exception_ptr failed;
    bool joined = false;
    {
        std::jthread helper;
        if (data.count() >= shareFrom && data.concurrentReads()) {
            try {
                // Started before anything else: each thread makes its own tables.
                helper = std::jthread([&] {
                    try {
                        helpers.emplace().addBlocks(data, next, &buffer);
                    } catch (...) {
                        failed = std::current_exception();
                        next = data.count(); // the other thread stops at its next block
                    }
                    helped.store(true, std::memory_order_release);
                });
            } catch (const std::system_error&) {
                // No thread to be had: this one reads every block.
            }
        }
        try {
            mine.emplace().addBlocks(data, next, &buffer);
        } catch (...) {
            next = data.count();
            throw; // after the helper is joined
        }
        // The helper ends within a block of this thread: waiting for it awake spares the
        // waking of a sleeping thread, a tenth of a millisecond on a virtual machine.
        if (helper.joinable() && awaitBriefly(helped) && !failed) {
            mine->join(*helpers);
            joined = true;
        }
    }
    if (failed) std::rethrow_exception(failed);
    if (helpers && !joined) mine->join(*helpers);
    data.seek(data.count());
    return std::move(*mine);
}

} // namespace q7
