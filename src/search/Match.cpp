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
inline __m128i foldLoad(const unsigned char* p) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed compares: bytes of 0x80 and above are negative, never a to z.
    const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('a' - 1)),
                                        _mm_cmplt_epi8(x, _mm_set1_epi8('z' + 1)));
    return _mm_sub_epi8(x, _mm_and_si128(lower, _mm_set1_epi8(0x20)));
}
} // namespace

// Looks, sixteen places at a time, where both the first and the last letter of the word
// stand, folding as it reads; `text` must be followed by 16 readable bytes.
bool WordMatcher::padded(std::string_view text) const {
    const std::size_t k = word_.size();
    const std::size_t n = text.size();
    if (n == 0 || k == 0 || k > n) return false;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* w = reinterpret_cast<const unsigned char*>(word_.data());
    const __m128i first = _mm_set1_epi8(char(w[0])), last = _mm_set1_epi8(char(w[k - 1]));
    const std::size_t places = n - k + 1;
    for (std::size_t i = 0; i < places; i += 16) {
        const __m128i a = foldLoad(t + i);
        const __m128i b = foldLoad(t + i + k - 1);
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
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
