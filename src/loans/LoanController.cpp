#include "loans/LoanController.h"

#include "loans/Q7preter.h"
#include "loans/Q7prets.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"

#include <QAction>
#include <QLabel>

LoanController::LoanController(RecordWindow& window, const Controls& controls, Tformpreter& preter,
                               Tformprets& prets)
    : window_(window), c_(controls), preter_(preter), prets_(prets),
      book_(window.state(), window.services()) {
    Dialogs& d = window.services().dialogs;
    connect(c_.menuPreter, &QAction::triggered, this,
            guarded(d, this, &LoanController::menuPreterClick));
    connect(c_.menuRetourPret, &QAction::triggered, this,
            guarded(d, this, &LoanController::menuRetourPretClick));
    connect(c_.smenuprets, &QAction::triggered, this,
            guarded(d, this, &LoanController::smenupretsClick));
    c_.lblpret->setStyleSheet(QStringLiteral("color: rgb(255,0,0); font-weight: bold;"));
    clearLoan();
}

void LoanController::catalogueOpened() {
    book_.open();
}

std::optional<q7::Loan> LoanController::shownBook() {
    AppState& state = window_.state();
    if (state.data.position() == 0) {
        window_.services().dialogs.beep();
        window_.services().dialogs.message(QStringLiteral(
            "Aucune fiche n'est affichée : cherchez ou parcourez d'abord le livre voulu."));
        return std::nullopt;
    }
    q7::Loan loan;
    loan.reference = state.buffer.text(q7::Field::numero);
    loan.title = state.buffer.text(q7::Field::titre);
    return loan;
}

void LoanController::menuPreterClick() {
    const std::optional<q7::Loan> shown = shownBook();
    if (!shown) return;
    q7::LoanRegister reg = book_.load();
    if (const q7::Loan* out = reg.openLoan(shown->reference)) {
        window_.services().dialogs.beep();
        window_.services().dialogs.message(
            QStringLiteral("Ce livre est déjà prêté à %1 depuis le %2 : enregistrez d'abord son "
                           "retour (Retour du prêt).")
                .arg(fromBytes(out->borrower), fromBytes(out->lent.text())));
        showLoan();
        return;
    }
    const std::optional<q7::Loan> loan = preter_.ask(*shown, reg.borrowers(), book_.today());
    if (!loan) return;
    reg.lend(*loan);
    book_.save(reg);
    showLoan();
}

void LoanController::menuRetourPretClick() {
    const std::optional<q7::Loan> shown = shownBook();
    if (!shown) return;
    q7::LoanRegister reg = book_.load();
    const q7::Loan* out = reg.openLoan(shown->reference);
    if (!out) {
        window_.services().dialogs.informationSound();
        window_.services().dialogs.message(QStringLiteral("Ce livre n'est pas prêté."));
        showLoan();
        return;
    }
    reg.giveBack(*out, book_.today());
    book_.save(reg);
    showLoan();
}

void LoanController::smenupretsClick() {
    const std::optional<int> index = prets_.execute(book_);
    if (index)
        showBook(*index);
    else
        showLoan(); // a return in the window may concern the book shown
}

void LoanController::showLoan() {
    AppState& state = window_.state();
    const q7::Loan* out =
        state.data.position() > 0 ? book_.out(state.buffer.view(q7::Field::numero)) : nullptr;
    c_.lblpret->setText(out ? QStringLiteral("Prêté à %1 depuis le %2")
                                  .arg(fromBytes(out->borrower), fromBytes(out->lent.text()))
                            : QString());
}

void LoanController::clearLoan() {
    c_.lblpret->clear();
}

void LoanController::recordSaved() {
    c_.menuPreter->setEnabled(true);
    c_.menuRetourPret->setEnabled(true);
    showLoan();
}

std::optional<QString> LoanController::deleteQuestion() {
    const q7::LoanRegister reg = book_.load();
    const q7::Loan* out = reg.openLoan(window_.state().buffer.view(q7::Field::numero));
    if (!out) return std::nullopt;
    return QStringLiteral("Ce livre est prêté à %1 : l'effacer quand même ?")
        .arg(fromBytes(out->borrower));
}

void LoanController::showBook(int index) {
    window_.showBrowsed(index);
}
