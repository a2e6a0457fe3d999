#include "search/Match.h"

#include <array>

namespace q7 {

std::string foldAsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

bool wordOccurs(std::string_view text, std::string_view foldedWord)
{
    if (text.empty() || foldedWord.empty() || foldedWord.size() > text.size()) return false;
    std::array<char, 256> folded{};
    const std::size_t n = std::min(text.size(), folded.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        folded[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    return std::string_view(folded.data(), n).find(foldedWord) != std::string_view::npos;
}

} // namespace q7
