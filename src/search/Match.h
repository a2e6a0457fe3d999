#pragma once
// The record tests of the searches.
#include "store/Fiche.h"

#include <array>
#include <string>
#include <string_view>

namespace q7 {

// Only a-z are folded to A-Z; accented letters and every other byte stay as they are.
std::string foldAsciiUpper(std::string_view text);

// The word search: the word occurs anywhere inside a field, a-z folded only. Built once
// per search step; texts are folded and searched sixteen bytes at a time.
class WordMatcher {
public:
    explicit WordMatcher(std::string_view word);
    bool operator()(std::string_view text) const;
    // The same on a field of a record, read in place.
    bool operator()(const Fiche& record, Field field) const;

private:
    bool scalar(std::string_view text) const;
    bool padded(std::string_view text) const;
    std::string word_; // folded
    std::array<unsigned char, 256> skip_{};
};

inline bool wordOccurs(std::string_view text, std::string_view word) {
    return WordMatcher(word)(text);
}

} // namespace q7
