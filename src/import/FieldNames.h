#pragma once
// Names of columns and fields in other programs' files, in French and English, and what
// they hold. Names are compared folded: lower case, accents and punctuation dropped.
#include "import/SourceBook.h"
#include "store/Folding.h"

#include <optional>
#include <string>
#include <string_view>

namespace q7::import {

enum class Dialect { spreadsheet, tellico, gcstar };

// "Année d'édition" -> "annee d edition".
inline std::string foldName(std::string_view utf8) {
    return nameKey(utf8);
}
// The same on Windows-1252 bytes, as the record stores them.
inline std::string foldBytes(std::string_view cp1252) {
    return nameKeyCp1252(cp1252);
}

// The target a name stands for; nullopt when the name is unknown. A dialect's own names
// win over the common ones ("edition" is the publisher in a French spreadsheet, but an
// edition statement in Tellico and GCstar, which we do not keep).
std::optional<Target> targetOfName(std::string_view utf8, Dialect dialect);

// How the report names a target: the record's field, "ignorée" for ignored ones.
std::string targetLabel(Target t);

// Whether more values of this target are kept (authors, genres, keywords).
bool keepsSeveral(Target t);

} // namespace q7::import
