#include "import/ImportLoans.h"

#include "store/Cp1252.h"

#include <algorithm>

namespace q7::import {

namespace {

// The same loan, whatever became of it since.
bool sameLoan(const Loan& a, const Loan& b) {
    return a.reference == b.reference && a.borrower == b.borrower && a.lent == b.lent &&
           a.title == b.title;
}

} // namespace

std::vector<Loan> planLoans(const SourceFile& source, const std::vector<Fiche>& records,
                            const std::vector<std::size_t>& fromBook, Report& report) {
    std::vector<Loan> loans;
    for (const SourceLoan& lent : source.loans) {
        const SourceBook& book = source.books.at(lent.book);
        const std::string who = book.where + " : prêt à " + lent.borrower;
        const auto record = std::find(fromBook.begin(), fromBook.end(), lent.book);
        const std::optional<LoanDate> day = LoanDate::parse(lent.date);
        if (record == fromBook.end()) {
            report.loans.push_back(who + " non repris : le livre n'est pas importé");
        } else if (lent.borrower.empty()) {
            report.loans.push_back(book.where + " : prêt sans emprunteur, non repris");
        } else if (!day) {
            report.loans.push_back(who + " non repris : date « " + lent.date + " » illisible");
        } else {
            const Fiche& f = records.at(std::size_t(record - fromBook.begin()));
            Loan loan{
                f.text(Field::numero), f.text(Field::titre),   utf8ToCp1252(lent.borrower), *day,
                std::nullopt,          utf8ToCp1252(lent.note)};
            report.loans.push_back(book.where + " : prêté à " + lent.borrower + " le " +
                                   day->text() + " (référence " + loan.reference + ")");
            loans.push_back(std::move(loan));
        }
    }
    report.lent = int(loans.size());
    return loans;
}

void reserveLentReferences(const Folder& folder, Existing& existing) {
    try {
        for (const RegisterLine& line : loadRegister(folder).lines)
            if (line.loan && line.loan->out()) existing.references.insert(line.loan->reference);
    } catch (const std::exception&) {
        // Read again when the loans are added, and reported then.
    }
}

std::vector<Loan> addImportedLoans(const Folder& folder, const std::vector<Loan>& loans,
                                   Report& report) {
    if (loans.empty()) return {};
    LoanRegister reg = loadRegister(folder);
    std::vector<Loan> added;
    for (const Loan& loan : loans) {
        if (const Loan* out = reg.openLoan(loan.reference)) {
            report.warnings.push_back("le livre de référence " + cp1252ToUtf8(loan.reference) +
                                      " est déjà prêté à " + cp1252ToUtf8(out->borrower) +
                                      " dans " + loanRegisterName + " : ce prêt est gardé");
            continue;
        }
        reg.lend(loan);
        added.push_back(reg.lines.back().loan.value());
    }
    if (!added.empty()) saveRegister(folder, reg);
    return added;
}

void removeImportedLoans(const Folder& folder, const std::vector<Loan>& loans) {
    if (loans.empty()) return;
    LoanRegister reg = loadRegister(folder);
    const auto before = reg.lines.size();
    std::erase_if(reg.lines, [&](const RegisterLine& line) {
        return line.loan && std::any_of(loans.begin(), loans.end(),
                                        [&](const Loan& l) { return sameLoan(*line.loan, l); });
    });
    if (reg.lines.size() != before) saveRegister(folder, reg);
}

} // namespace q7::import
