#pragma once
// The program's one loose form of a text, wherever texts are matched rather than shown:
// the overview's filter, the names of other programs' columns, an author found by a
// lookup. Lower case, accents and other marks dropped, letters that stand for two or
// that have no plain form spelt out ("Œuvre" -> "oeuvre", "Straße" -> "strasse",
// "Ørsted" -> "orsted", Turkish "ı" and "İ" -> "i"); other scripts lower case without
// their accents ("Ἀθῆναι" -> "αθηναι", final "ς" as "σ"). Signs stay as they are.
//
// UTF-8 out, whatever comes in: Windows-1252 bytes and UTF-8 text of the same characters
// fold to the same bytes.
#include <string>
#include <string_view>

namespace q7 {

// One table look-up a byte: the overview folds every row of the catalogue.
void appendFoldedCp1252(std::string& out, std::string_view cp1252);
inline std::string foldedCp1252(std::string_view cp1252) {
    std::string out;
    appendFoldedCp1252(out, cp1252);
    return out;
}
// A malformed byte folds to '?', as the codec reads it.
std::string folded(std::string_view utf8);

// The letters and digits of the folded text, in words one blank apart: how names are
// compared ("Année d'édition" -> "annee d edition", "Nº" -> "no").
std::string nameKey(std::string_view utf8);
std::string nameKeyCp1252(std::string_view cp1252);

} // namespace q7
