#include "loans/LoanView.h"

#include <algorithm>

namespace q7 {

ReferencePlaces findReferences(DataFile& data, const std::set<std::string, std::less<>>& wanted) {
    ReferencePlaces places;
    if (wanted.empty()) return places;
    const int remembered = data.position();
    data.seek(0);
    for (int i = 0; !data.atEnd(); ++i) {
        const std::string_view reference = data.readNext().view(Field::numero);
        if (wanted.contains(reference)) places[std::string(reference)].push_back(i);
    }
    data.seek(remembered);
    return places;
}

std::set<std::string, std::less<>> referencesOf(const LoanRegister& reg) {
    std::set<std::string, std::less<>> refs;
    for (const RegisterLine& line : reg.lines)
        if (line.loan) refs.insert(line.loan->reference);
    return refs;
}

LoanView viewLoans(const LoanRegister& reg, const LoanDate& today, int delay,
                   const std::string& borrower, const ReferencePlaces& places) {
    LoanView view;
    for (const RegisterLine& line : reg.lines) {
        if (!line.loan || (!borrower.empty() && line.loan->borrower != borrower)) continue;
        LoanRow row{*line.loan, 0, false, {}};
        if (auto at = places.find(row.loan.reference); at != places.end()) row.records = at->second;
        if (row.loan.out()) {
            row.days = daysBetween(row.loan.lent, today);
            row.overdue = row.days > delay;
            view.overdue += row.overdue;
            view.out.push_back(std::move(row));
        } else {
            row.days = daysBetween(row.loan.lent, *row.loan.returned);
            view.returned.push_back(std::move(row));
        }
    }
    std::stable_sort(view.out.begin(), view.out.end(), [](const LoanRow& a, const LoanRow& b) {
        if (a.overdue != b.overdue) return a.overdue;
        return a.loan.lent < b.loan.lent;
    });
    std::stable_sort(
        view.returned.begin(), view.returned.end(),
        [](const LoanRow& a, const LoanRow& b) { return *b.loan.returned < *a.loan.returned; });
    return view;
}

} // namespace q7
