#pragma once
// Texts as the filter compares them: lower case, accents removed, ligatures spelt out
// ("ÉMILE" -> "emile", "Œuvres" -> "oeuvres", "Ça" -> "ca"). Windows-1252 bytes in and out.
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

void appendFolded(std::string& out, std::string_view cp1252);
inline std::string folded(std::string_view cp1252) {
    std::string out;
    appendFolded(out, cp1252);
    return out;
}
// The words of a typed filter, folded; blanks separate them.
std::vector<std::string> foldedWords(std::string_view cp1252);

} // namespace q7
