#pragma once
// The register as the windows use it: read afresh by every command that changes or lists
// loans, its damaged lines told once a run, and the loans out remembered for the record
// window's status line, which must not read a file at each record shown.
#include "loans/LoanRegister.h"

#include <map>
#include <set>
#include <string>
#include <string_view>

struct AppState;
struct Services;

class LoanBook {
public:
    LoanBook(AppState& state, Services& services);

    // Once the catalogue is open and locked: what a crash left beside the register is
    // removed and the loans out are read without a word (a failure leaves them unknown).
    void open();
    // Reads Q7prets.txt; damaged lines not told yet this run are told now.
    q7::LoanRegister load();
    // Replaces Q7prets.txt safely; throws on failure, the earlier file staying whole.
    void save(const q7::LoanRegister& reg);
    // The loan out of this reference as the program last read or wrote the register.
    const q7::Loan* out(std::string_view reference) const;

    q7::LoanDate today() const;
    // The days after which a loan is overdue, from the settings.
    int delay() const;
    void setDelay(int days);

private:
    void remember(const q7::LoanRegister& reg);
    void tellDamage(const q7::LoanRegister& reg);

    AppState& state_;
    Services& services_;
    std::map<std::string, q7::Loan, std::less<>> out_;
    std::set<std::string> told_;
};
