#pragma once
// The printed list of the books out: A4 pages of the printer grid, the heading in red on
// each, overdue loans in red, the page's number at its foot.
#include "loans/LoanView.h"
#include "output/PrintLayout.h"

#include <string>
#include <vector>

namespace q7 {

constexpr int loanSheetRows = 50; // loans on a page

// `rows` as the window shows them; `borrower` names the one the list is filtered on
// (empty: everyone). At least one page, even for an empty list.
std::vector<PrintLayout> loanSheet(const std::vector<LoanRow>& rows, int overdue, int delay,
                                   const LoanDate& today, const std::string& borrower);

} // namespace q7
