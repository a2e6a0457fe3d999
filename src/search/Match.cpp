#include "search/Match.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace q7 {

namespace {
constexpr unsigned char fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}
} // namespace

std::string foldAsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = char(fold(static_cast<unsigned char>(c)));
    return out;
}

WordMatcher::WordMatcher(std::string_view word) : word_(foldAsciiUpper(word)) {
    // Skips are kept within a byte: a shorter skip than the longest safe one is still
    // safe, it only looks at more places. Every letter of the word counts, however long.
    const auto byte = [](std::size_t s) {
        return static_cast<unsigned char>(std::min<std::size_t>(s, 255));
    };
    const std::size_t k = word_.size();
    skip_.fill(byte(k));
    for (std::size_t i = 0; i + 1 < k; ++i)
        skip_[static_cast<unsigned char>(word_[i])] = byte(k - 1 - i);
}

#if defined(__SSE2__)
namespace {
// Where sixteen bytes are one letter of the (folded) word in either case. Setting the
// 0x20 bit turns only A-Z and a-z into the lower-case letter, so one OR replaces the
// folding; any other byte of the word, accented letters included, must be equal.
struct Probe {
    __m128i bit, value;
    explicit Probe(unsigned char c)
        : bit(_mm_set1_epi8(c >= 'A' && c <= 'Z' ? 0x20 : 0)),
          value(_mm_set1_epi8(static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c))) {}
    __m128i at(const unsigned char* p) const {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return _mm_cmpeq_epi8(_mm_or_si128(x, bit), value);
    }
};
} // namespace

// Looks, sixteen places at a time, where both the first and the last letter of the word
// stand; `text` must be followed by 16 readable bytes.
bool WordMatcher::padded(std::string_view text) const {
    const std::size_t k = word_.size();
    const std::size_t n = text.size();
    if (n == 0 || k == 0 || k > n) return false;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* w = reinterpret_cast<const unsigned char*>(word_.data());
    const Probe first(w[0]), last(w[k - 1]);
    const std::size_t places = n - k + 1;
    for (std::size_t i = 0; i < places; i += 16) {
        unsigned mask =
            unsigned(_mm_movemask_epi8(_mm_and_si128(first.at(t + i), last.at(t + i + k - 1))));
        if (places - i < 16) mask &= (1u << (places - i)) - 1;
        while (mask) {
            const std::size_t at = i + unsigned(__builtin_ctz(mask));
            std::size_t j = 1;
            while (j + 1 < k && fold(t[at + j]) == w[j])
                ++j;
            if (j + 1 >= k) return true;
            mask &= mask - 1;
        }
    }
    return false;
}

bool WordMatcher::operator()(std::string_view text) const {
    if (text.size() > 256) return scalar(text);
    unsigned char copy[256 + 16] = {};
    std::memcpy(copy, text.data(), text.size());
    return padded({reinterpret_cast<const char*>(copy), text.size()});
}

bool WordMatcher::operator()(const Fiche& record, Field field) const {
    const FieldInfo info = fieldInfo(field);
    // Most fields have the record's later bytes behind them to read over.
    if (info.offset + 1 + info.capacity + 16 <= ficheSize) return padded(record.view(field));
    return (*this)(record.view(field));
}
#else
bool WordMatcher::operator()(std::string_view text) const {
    return scalar(text);
}
bool WordMatcher::operator()(const Fiche& record, Field field) const {
    return scalar(record.view(field));
}
#endif

bool WordMatcher::scalar(std::string_view text) const {
    const std::size_t k = word_.size();
    const std::size_t n = text.size();
    if (n == 0 || k == 0 || k > n) return false;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* w = reinterpret_cast<const unsigned char*>(word_.data());
    const unsigned char last = w[k - 1];
    for (std::size_t i = 0; i + k <= n;) {
        const unsigned char c = fold(t[i + k - 1]);
        if (c == last) {
            std::size_t j = 0;
            while (j + 1 < k && fold(t[i + j]) == w[j])
                ++j;
            if (j + 1 >= k) return true;
        }
        i += skip_[c];
    }
    return false;
}

} // namespace q7
