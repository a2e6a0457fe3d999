#pragma once
// The record tests of the searches.
#include <string>
#include <string_view>

namespace q7 {

// Whole field equal to the control's whole text, byte for byte.
inline bool fieldEquals(std::string_view field, std::string_view control)
{
    return field == control;
}

// Only a-z are folded to A-Z; accented letters and every other byte stay as they are.
std::string foldAsciiUpper(std::string_view text);

// The word search: `word` (already folded) occurs anywhere inside `text`.
bool wordOccurs(std::string_view text, std::string_view foldedWord);

} // namespace q7
