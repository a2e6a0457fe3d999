#include "search/Match.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace q7 {

namespace {
constexpr unsigned char fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
} // namespace

std::string foldAsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = char(fold(static_cast<unsigned char>(c)));
    return out;
}

WordMatcher::WordMatcher(std::string_view word) : word_(foldAsciiUpper(word))
{
    // Words longer than a field (255) can never match; the skip stays within a byte.
    const std::size_t k = std::min<std::size_t>(word_.size(), 255);
    skip_.fill(static_cast<unsigned char>(k));
    for (std::size_t i = 0; i + 1 < k; ++i)
        skip_[static_cast<unsigned char>(word_[i])] = static_cast<unsigned char>(k - 1 - i);
}

#if defined(__SSE2__)
// Folds the text sixteen bytes at a time, then looks at the places where both the first
// and the last letter of the word stand, sixteen places at a time.
bool WordMatcher::operator()(std::string_view text) const
{
    const std::size_t k = word_.size();
    const std::size_t n = text.size();
    if (n > 256) return scalar(text);
    if (n == 0 || k == 0 || k > n) return false;
    alignas(16) unsigned char folded[256 + 32];
    std::memcpy(folded, text.data(), n);
    std::memset(folded + n, 0, 32);
    const __m128i beforeA = _mm_set1_epi8('a' - 1), afterZ = _mm_set1_epi8('z' + 1);
    const __m128i caseBit = _mm_set1_epi8(0x20);
    for (std::size_t i = 0; i < n; i += 16) {
        auto* p = reinterpret_cast<__m128i*>(folded + i);
        const __m128i x = _mm_load_si128(p);
        // Signed compares: bytes of 0x80 and above are negative, never a to z.
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(x, beforeA), _mm_cmplt_epi8(x, afterZ));
        _mm_store_si128(p, _mm_sub_epi8(x, _mm_and_si128(lower, caseBit)));
    }
    const __m128i first = _mm_set1_epi8(word_.front()), last = _mm_set1_epi8(word_.back());
    const std::size_t places = n - k + 1;
    for (std::size_t i = 0; i < places; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(folded + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(folded + i + k - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first),
                                                                 _mm_cmpeq_epi8(b, last))));
        if (places - i < 16) mask &= (1u << (places - i)) - 1;
        while (mask) {
            const unsigned at = unsigned(__builtin_ctz(mask));
            if (k <= 2 || std::memcmp(folded + i + at + 1, word_.data() + 1, k - 2) == 0) return true;
            mask &= mask - 1;
        }
    }
    return false;
}
#else
bool WordMatcher::operator()(std::string_view text) const { return scalar(text); }
#endif

bool WordMatcher::scalar(std::string_view text) const
{
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
            while (j + 1 < k && fold(t[i + j]) == w[j]) ++j;
            if (j + 1 >= k) return true;
        }
        i += skip_[c];
    }
    return false;
}

} // namespace q7
