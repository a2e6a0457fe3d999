#include "maint/Q7ficq7.h"

#include "ui_Q7ficq7.h"

#include "maint/CatalogueSort.h"
#include "platform/Command.h"
#include "platform/ProgressGauge.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"
#include "record/FieldTable.h"
#include "widgets/ListValues.h"

#include <QShowEvent>

Tformfic::Tformfic(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tformfic>()), state_(state), services_(services) {
    ui->setupUi(this);
    connect(ui->bttrier, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Tformfic::bttrierClick));
    connect(ui->btfermer, &QPushButton::clicked, this, &Tformfic::btfermerClick);
}

Tformfic::~Tformfic() = default;

void Tformfic::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) runCommand(services_.dialogs, [this] { FormShow(); });
}

void Tformfic::FormShow() {
    if (state_.folder.exists(q7::dataFileName)) {
        ui->Gauge1->setValue(0);
        ui->bttrier->setFocus();
        ui->rbalpha->setChecked(true);
    } else {
        ui->bttrier->setEnabled(false);
    }
    loadChoice(q7::Field::auteur, ui->rbauteur, ui->cbauteur);
    loadChoice(q7::Field::sujet, ui->rbsujet, ui->cbsujet);
    loadChoice(q7::Field::collection, ui->rbcollection, ui->cbcollection);
}

// Once disabled for a missing list, a choice stays so for the rest of the run.
void Tformfic::loadChoice(q7::Field list, QRadioButton* radio, QComboBox* field) {
    const char* listName = q7::listFileOf(list);
    if (!state_.folder.exists(listName)) {
        radio->setEnabled(false);
        field->setEditText(QStringLiteral("vide"));
        field->setEnabled(false);
        return;
    }
    // File order, unsorted; what the user typed stays.
    const QStringList items = readListValues(state_.folder, listName);
    const QString typed = field->currentText();
    field->clear();
    field->addItems(items);
    field->setEditText(typed);
}

void Tformfic::bttrierClick() {
    if (state_.data.count() == 0) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("Le ficher Q7.dat est vide !"));
        return;
    }
    q7::SortChoice choice;
    if (ui->rbauteur->isChecked()) {
        choice = {q7::SortOrder::Auteur, toBytes(ui->cbauteur->currentText())};
    } else if (ui->rbsujet->isChecked()) {
        choice = {q7::SortOrder::Sujet, toBytes(ui->cbsujet->currentText())};
    } else if (ui->rbcollection->isChecked()) {
        choice = {q7::SortOrder::Collection, toBytes(ui->cbcollection->currentText())};
    }
    {
        BusyCursor busy(services_.cursor);
        ProgressGauge gauge(*ui->Gauge1);
        q7::sortCatalogue(state_.data, state_.buffer, choice,
                          [&gauge](int value, int maximum) { gauge.report(value, maximum); });
    }
    // The sort says nothing of its own: a backup that could not be kept is told now.
    const std::string note = state_.data.takeBackupNote();
    if (!note.empty()) services_.dialogs.message(QString::fromStdString(note));
    accept();
}

void Tformfic::btfermerClick() {
    reject();
}
