#pragma once
// The loans another program's file records (Tellico's <borrowers>): those of the books an
// import brings in go to the register Q7prets.txt, and --annuler takes them back. A loan
// already in the register is never changed.
#include "import/Catalogue.h"
#include "import/Report.h"
#include "import/SourceBook.h"
#include "loans/LoanRegister.h"
#include "store/Folder.h"

#include <vector>

namespace q7::import {

// The loans of the books planned (`fromBook`: the source book of each record), each
// named in the report, or said why not.
std::vector<Loan> planLoans(const SourceFile& source, const std::vector<Fiche>& records,
                            const std::vector<std::size_t>& fromBook, Report& report);

// References of books out in the register: a new book must not take one, or it would
// seem lent. A register that cannot be read reserves nothing.
void reserveLentReferences(const Folder& folder, Existing& existing);

// Adds the loans to the register; returns those added (a book out already keeps its
// loan, and the report says so). Throws on a register that cannot be read or written.
std::vector<Loan> addImportedLoans(const Folder& folder, const std::vector<Loan>& loans,
                                   Report& report);

// Takes out of the register the loans an import added, returned since or not.
void removeImportedLoans(const Folder& folder, const std::vector<Loan>& loans);

} // namespace q7::import
