#pragma once
// A Tellico file whose <borrowers> block lends some of its books.
#include <string>

namespace samples {

std::string tellicoWithLoans();

} // namespace samples
