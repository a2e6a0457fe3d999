#include "loans/Q7preter.h"

#include "ui_Q7preter.h"

#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
QDate qdate(const q7::LoanDate& d) {
    return QDate(d.year, d.month, d.day);
}
} // namespace

Tformpreter::Tformpreter(Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tformpreter>()), services_(services) {
    ui_->setupUi(this);
    ui_->cbemprunteur->setMaxLength(60);
    // Names come back often: the ones already known are offered as they are typed.
    auto* names = new QCompleter(ui_->cbemprunteur->model(), this);
    names->setCaseSensitivity(Qt::CaseInsensitive);
    names->setFilterMode(Qt::MatchContains);
    ui_->cbemprunteur->setCompleter(names);
    // Enter on a name offered lends to that borrower at once: not one Enter to close the
    // list and another for the button.
    names->popup()->installEventFilter(this);
    ui_->edtdate->setMinimumDate(QDate(1, 1, 1));
    connect(ui_->btpreter, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Tformpreter::btpreterClick));
    connect(ui_->btannuler, &QPushButton::clicked, this, &QDialog::reject);
}

Tformpreter::~Tformpreter() = default;

std::optional<q7::Loan> Tformpreter::ask(const q7::Loan& book,
                                         const std::vector<std::string>& borrowers,
                                         const q7::LoanDate& today) {
    today_ = today;
    ui_->lbllivre->setText(
        QStringLiteral("Réf. %1 : %2").arg(fromBytes(book.reference), fromBytes(book.title)));
    QStringList names;
    for (const std::string& name : borrowers)
        names << fromBytes(name);
    ui_->cbemprunteur->setValues(names);
    ui_->cbemprunteur->setEditText(QString());
    ui_->edtdate->setDate(qdate(today));
    ui_->edtnote->clear();
    focusForTyping(ui_->cbemprunteur);
    if (services_.modal.showModal(*this) != QDialog::Accepted) return std::nullopt;
    q7::Loan loan = book;
    loan.borrower = toBytes(ui_->cbemprunteur->currentText().simplified());
    const QDate day = ui_->edtdate->date();
    loan.lent = {day.day(), day.month(), day.year()};
    loan.note = toBytes(ui_->edtnote->text().trimmed());
    return loan;
}

bool Tformpreter::eventFilter(QObject* watched, QEvent* event) {
    QAbstractItemView* offered = ui_->cbemprunteur->completer()->popup();
    if (watched != offered || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    // The name picked, or the one typed whole in another case: the known spelling.
    QString name = offered->currentIndex().data().toString();
    const QString typed = ui_->cbemprunteur->currentText().simplified();
    for (const QString& known : ui_->cbemprunteur->values())
        if (name.isEmpty() && known.compare(typed, Qt::CaseInsensitive) == 0) name = known;
    if (name.isEmpty()) return false; // a new name: the list closes, as it always did
    offered->hide();
    ui_->cbemprunteur->setEditText(name);
    btpreterClick();
    return true;
}

void Tformpreter::btpreterClick() {
    if (ui_->cbemprunteur->currentText().trimmed().isEmpty()) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("Le nom de l'emprunteur est vide !"));
        focusForTyping(ui_->cbemprunteur);
        return;
    }
    if (ui_->edtdate->date() > qdate(today_)) {
        services_.dialogs.beep();
        services_.dialogs.message(
            QStringLiteral("La date du prêt est après aujourd'hui (%1) : corrigez-la.")
                .arg(fromBytes(today_.text())));
        focusForTyping(ui_->edtdate);
        return;
    }
    accept();
}
