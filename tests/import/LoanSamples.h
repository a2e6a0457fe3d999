#pragma once
// A Tellico file whose <borrowers> block lends some of its books.
#include <string>

namespace samples {

// Tellico writes the loans after the collection; older files and other writers inside it.
enum class LoansPlace { afterCollection, insideCollection };
std::string tellicoWithLoans(LoansPlace place = LoansPlace::afterCollection);

} // namespace samples
