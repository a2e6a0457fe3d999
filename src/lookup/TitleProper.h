#pragma once
// A title given with its statement of responsibility and no " / " before it ("Murtagh
// ([Éd. limitée]) Christopher Paolini ; traduit de l'anglais..."): the title alone.
#include "lookup/FoundBook.h"

#include <string>
#include <string_view>
#include <vector>

namespace q7::lookup {

// Cut where the statement begins: at the first of the record's people named as a
// statement names them (after the title, followed by " ; ", a comma, a full stop or the
// end), in either order of their names, accents and case aside; or at " ; " followed by a
// role ("traduit", "illustré", "préface"). A person the title speaks of ("... selon
// Miyamoto Musashi (Nouvelle éd. illustrée)", "Conversations avec Jean Cocteau") stays
// in it, and a title that holds neither is given back whole.
std::string titleProper(std::string_view title, const std::vector<Person>& people);

} // namespace q7::lookup
