#pragma once
// Q7prets.txt, the lending register beside the catalogue: one loan a line, six fields
// separated by tabs (reference, title when lent, borrower, date lent, date returned,
// note), under a header line, so that a person reads it and a spreadsheet opens it.
// Windows-1252 with CR LF like every text file of the program. A line that is not a
// loan is kept exactly as it was, whatever is written around it.
#include "loans/LoanDate.h"
#include "output/ExportTypes.h"
#include "store/Folder.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q7 {

inline const std::string loanRegisterName = "Q7prets.txt";

// Texts are Windows-1252 bytes.
struct Loan {
    std::string reference; // the record's numero, as stored: the label glued on the book
    std::string title;     // its titre when lent, so the loan stays readable without it
    std::string borrower;
    LoanDate lent;
    std::optional<LoanDate> returned;
    std::string note;

    bool out() const { return !returned; }
    bool operator==(const Loan&) const = default;
};

// A loan, or a line that could not be read (kept as its bytes, line end excepted).
struct RegisterLine {
    std::optional<Loan> loan;
    std::string damaged;
    int number = 0; // its line in the file as read (the header is line 1); 0 when new
};

class LoanRegister {
public:
    std::vector<RegisterLine> lines;

    // The loan of this reference still out (the first, should a hand edit have made two).
    const Loan* openLoan(std::string_view reference) const;
    // Adds a loan at the end. Throws Error (French) when the book is out already or the
    // reference or the borrower is empty; fields are made fit for the file first.
    void lend(Loan loan);
    // Records the day the book of this loan came back; throws Error when the register no
    // longer holds it out.
    const Loan& giveBack(const Loan& loan, const LoanDate& day);
    // Each borrower once, in the order of their first loan.
    std::vector<std::string> borrowers() const;
    std::vector<const RegisterLine*> damaged() const;
};

// The books out, by reference (the first loan out of each), as a page of the books says.
LentBooks booksOut(const LoanRegister& reg);

LoanRegister parseRegister(std::string_view bytes);
// One line of the register without its line end, and back; nothing when it is no loan.
std::string formatLoan(const Loan& loan);
std::optional<Loan> parseLoan(std::string_view line);
std::string formatRegister(const LoanRegister& reg);
// A text as a field can hold it: tabs, line breaks and NULs become blanks.
std::string registerField(std::string_view text);

// A missing file is an empty register; a file that cannot be read throws IoError.
LoanRegister loadRegister(const Folder& folder);
// Written beside the file, synced, then renamed over it: the old register stays whole
// until the new one is.
void saveRegister(const Folder& folder, const LoanRegister& reg);
// What a rewrite cut short by a crash left beside the register; for the holder of the
// catalogue's lock only.
void removeRegisterScratch(const Folder& folder);

} // namespace q7
