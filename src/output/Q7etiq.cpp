#include "output/Q7etiq.h"

#include "output/PrintLayout.h"
#include "output/PrintOnPrinter.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"
#include "ui_Q7etiq.h"

#include "widgets/Placement.h"

TFormetiq::TFormetiq(AppState&, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFormetiq>()), services_(services) {
    ui->setupUi(this);
    Dialogs& d = services_.dialogs;
    connect(ui->btajouter, &QPushButton::clicked, this,
            guarded(d, this, &TFormetiq::btajouterClick));
    connect(ui->btretirer, &QPushButton::clicked, this,
            guarded(d, this, &TFormetiq::btretirerClick));
    connect(ui->btimprimer, &QPushButton::clicked, this,
            guarded(d, this, &TFormetiq::btimprimerClick));
    connect(ui->btfermer, &QPushButton::clicked, this, &TFormetiq::btfermerClick);
}

TFormetiq::~TFormetiq() = default;

void TFormetiq::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the desktop rather than on the record window.
    centreOnScreen(*this);
    focusForTyping(ui->edtajout);
}

bool TFormetiq::addReference(const QString& reference) {
    if (ui->lbliste->count() >= q7::labelCapacity) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("70 étiquetes maximun par feuilles A4"));
        return false;
    }
    ui->lbliste->addItem(reference);
    return true;
}

QStringList TFormetiq::references() const {
    QStringList out;
    for (int i = 0; i < ui->lbliste->count(); ++i)
        out << ui->lbliste->item(i)->text();
    return out;
}

void TFormetiq::btajouterClick() {
    // The typed text stays in the edit, ready for another label.
    if (addReference(ui->edtajout->text())) ui->btretirer->setEnabled(true);
}

void TFormetiq::btretirerClick() {
    for (int i = 0; i < ui->lbliste->count(); ++i) {
        if (ui->lbliste->item(i)->isSelected()) {
            delete ui->lbliste->takeItem(i);
            break;
        }
    }
    if (ui->lbliste->count() == 0) ui->btretirer->setEnabled(false);
}

void TFormetiq::btimprimerClick() {
    std::vector<std::string> entries;
    for (const QString& r : references())
        entries.push_back(toBytes(r));
    {
        const BusyCursor busy(services_.cursor);
        printLayout(services_.printer, q7::labelSheet(entries));
    }
    accept();
}

void TFormetiq::btfermerClick() {
    reject();
}
