#pragma once
// What the loans window shows, worked out from the register, today's date, the delay
// after which a loan is overdue, and where each reference is in the catalogue.
#include "loans/LoanRegister.h"
#include "store/DataFile.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace q7 {

constexpr int defaultLoanDelay = 60;

// Record indices of each reference asked for, in file order.
using ReferencePlaces = std::map<std::string, std::vector<int>, std::less<>>;

// Reads the references of the whole catalogue; P is put back where it was.
ReferencePlaces findReferences(DataFile& data, const std::set<std::string, std::less<>>& wanted);
// The references of every loan of the register.
std::set<std::string, std::less<>> referencesOf(const LoanRegister& reg);

struct LoanRow {
    Loan loan;
    long days = 0;            // since it was lent (out) or how long it was out (returned)
    bool overdue = false;     // out longer than the delay
    std::vector<int> records; // where its reference is in the catalogue; empty: none
};

struct LoanView {
    std::vector<LoanRow> out;      // overdue first, then the others; oldest first in each
    std::vector<LoanRow> returned; // last returned first
    int overdue = 0;
};

// `borrower` empty: everyone's loans.
LoanView viewLoans(const LoanRegister& reg, const LoanDate& today, int delay,
                   const std::string& borrower, const ReferencePlaces& places);

} // namespace q7
