#pragma once
// The record window's loan commands: "Prêter...", "Retour du prêt", "Prêts...", the red
// line of the status panel while the book shown is out, and the question before a
// book out is deleted.
#include "loans/LoanBook.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <optional>

class QLabel;
class Tformpreter;
class Tformprets;

class LoanController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* menuPreter;
        QAction* menuRetourPret;
        QAction* smenuprets;
        QLabel* lblpret; // the status panel's loan line
    };

    LoanController(RecordWindow& window, const Controls& controls, Tformpreter& preter,
                   Tformprets& prets);

    // Once the catalogue is open.
    void catalogueOpened();
    void menuPreterClick();
    void menuRetourPretClick();
    void smenupretsClick();

    // The record shown changed (a read, a save): its loan, if any, in the status panel.
    void showLoan();
    // No record of the catalogue is shown any more.
    void clearLoan();
    // A record was just saved and is shown: it can be lent.
    void recordSaved();
    // The question to ask before deleting the record shown, when its book is out (the
    // register read as it is now).
    std::optional<QString> deleteQuestion();
    // Shows record `index` as browsing does (P its index plus 1).
    void showBook(int index);

    LoanBook& book() { return book_; }

private:
    // The record shown as a loan to make: its reference and title as stored. Nothing, and
    // the collector told so, when no record of the catalogue is shown.
    std::optional<q7::Loan> shownBook();

    RecordWindow& window_;
    Controls c_;
    Tformpreter& preter_;
    Tformprets& prets_;
    LoanBook book_;
};
