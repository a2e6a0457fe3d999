#pragma once
// "Prêts": the books out, overdue ones first and in red, filtered by borrower; the loans
// already returned; a book shown in the record window with Enter, taken back with
// "Rendu", the list printed with "Imprimer".
#include "loans/LoanView.h"

#include <QDialog>

#include <memory>
#include <optional>

struct AppState;
struct Services;
class LoanBook;
class LoanTable;
class QTableView;

namespace Ui {
class Tformprets;
}

class Tformprets : public QDialog {
    Q_OBJECT
public:
    Tformprets(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformprets() override;

    // Opens the window on the register as it is on disk; the catalogue index of the book
    // the collector asked to see, or nothing. Throws when the register cannot be read.
    std::optional<int> execute(LoanBook& book);

    void cbemprunteurChange();
    void spdelaiChange(int days);
    // Enter, a double click or "Voir la fiche" on a loan.
    void btvoirClick();
    void btrenduClick();
    void btimprimerClick();

private:
    void fill();
    void fillTable(QTableView* table, LoanTable& model, const std::vector<q7::LoanRow>& rows);
    void updateButtons();
    // The loan the cursor is on, in the tab shown; null when none.
    const q7::LoanRow* chosen() const;
    std::string borrower() const;

    std::unique_ptr<Ui::Tformprets> ui_;
    AppState& state_;
    Services& services_;
    LoanBook* book_ = nullptr;
    q7::LoanRegister reg_;
    q7::ReferencePlaces places_;
    q7::LoanView view_;
    LoanTable* outModel_;
    LoanTable* returnedModel_;
    std::optional<int> show_;
};
