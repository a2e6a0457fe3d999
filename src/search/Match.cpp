#include "search/Match.h"

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

bool WordMatcher::operator()(std::string_view text) const
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
