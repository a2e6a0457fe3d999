#pragma once
// The printed list of the books out, overdue loans in red.
#include "loans/LoanView.h"
#include "output/PrintLayout.h"

#include <string>
#include <vector>

namespace q7 {

// The books out as a printed table (see pagedTable), `rows` as the window shows them;
// `borrower` names the one the list is filtered on (empty: everyone).
std::vector<PrintLayout> loanSheet(const std::vector<LoanRow>& rows, int overdue, int delay,
                                   const LoanDate& today, const std::string& borrower,
                                   const TextWidth& width);

} // namespace q7
