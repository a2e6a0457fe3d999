#pragma once
// "Prêter un livre": who borrows the book shown, since when, and a note. The borrower
// is picked among those of the register or typed anew.
#include "loans/LoanRegister.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct Services;

namespace Ui {
class Tformpreter;
}

class Tformpreter : public QDialog {
    Q_OBJECT
public:
    explicit Tformpreter(Services& services, QWidget* parent = nullptr);
    ~Tformpreter() override;

    // Asks for the loan of `book` (its reference and title set), lent today unless the
    // collector says otherwise; nothing when cancelled.
    std::optional<q7::Loan> ask(const q7::Loan& book, const std::vector<std::string>& borrowers,
                                const q7::LoanDate& today);

    void btpreterClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::Tformpreter> ui_;
    Services& services_;
    q7::LoanDate today_;
};
