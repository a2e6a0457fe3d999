#include "loans/LoanSheet.h"

#include "store/Cp1252.h"

namespace q7 {

namespace {

// "1 livre prêté", "3 livres prêtés": every word of `words` takes the plural's "s".
std::string counted(long n, std::initializer_list<const char*> words) {
    std::string out = std::to_string(n);
    for (const char* w : words)
        out += std::string(" ") + w + (n > 1 ? "s" : "");
    return lit(out);
}

} // namespace

std::vector<PrintLayout> loanSheet(const std::vector<LoanRow>& rows, int overdue, int delay,
                                   const LoanDate& today, const std::string& borrower,
                                   const TextWidth& width) {
    PagedTable table;
    table.heading = lit("Livres prêtés") +
                    (borrower.empty() ? std::string() : lit(" à ") + borrower) + " au " +
                    today.text();
    table.detail = rows.empty() ? lit("Aucun livre n'est prêté.")
                                : counted(long(rows.size()), {"livre", "prêté"});
    if (overdue > 0)
        table.detail += ", dont " + std::to_string(overdue) + lit(" depuis plus de ") +
                        counted(delay, {"jour"});
    table.columns = {{lit("Réf."), true, 0},
                     {"Titre", false, 22},
                     {"Emprunteur", false, 12},
                     {"Depuis le", true, 0},
                     {"Jours", true, 0}};
    for (const LoanRow& row : rows)
        table.rows.push_back({{row.loan.reference, row.loan.title, row.loan.borrower,
                               row.loan.lent.text(), std::to_string(row.days)},
                              row.overdue ? Ink::Red : Ink::Black});
    return pagedTable(table, width);
}

} // namespace q7
