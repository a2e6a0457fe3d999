#include "maint/Q7ficq7.h"

#include "ui_Q7ficq7.h"

#include "app/AppState.h"
#include "lists/ListFile.h"
#include "maint/CatalogueSort.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"

#include <QShowEvent>

Tformfic::Tformfic(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tformfic>()), state_(state), services_(services) {
    ui->setupUi(this);
    connect(ui->bttrier, &QPushButton::clicked, this, &Tformfic::bttrierClick);
    connect(ui->btfermer, &QPushButton::clicked, this, &Tformfic::btfermerClick);
}

Tformfic::~Tformfic() = default;

void Tformfic::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Tformfic::FormShow() {
    runCommand(services_.dialogs, [this] {
        if (state_.folder.exists(q7::dataFileName)) {
            ui->Gauge1->setValue(0);
            ui->bttrier->setFocus();
            ui->rbalpha->setChecked(true);
        } else {
            ui->bttrier->setEnabled(false);
        }
        loadChoice("Q7auteur.lst", ui->rbauteur, ui->cbauteur);
        loadChoice("Q7sujet.lst", ui->rbsujet, ui->cbsujet);
        loadChoice("Q7collection.lst", ui->rbcollection, ui->cbcollection);
    });
}

// Once disabled for a missing list, a choice stays so for the rest of the run.
void Tformfic::loadChoice(const char* listName, QRadioButton* radio, QComboBox* field) {
    if (!state_.folder.exists(listName)) {
        radio->setEnabled(false);
        field->setEditText(QStringLiteral("vide"));
        field->setEnabled(false);
        return;
    }
    const auto values = q7::readListFile(state_.folder, listName);
    // File order, unsorted; what the user typed stays.
    const QString typed = field->currentText();
    QStringList items;
    items.reserve(qsizetype(values.size()));
    for (const auto& v : values)
        items << fromBytes(v);
    field->clear();
    field->addItems(items);
    field->setEditText(typed);
}

void Tformfic::bttrierClick() {
    runCommand(services_.dialogs, [this] { rewrite(); });
}

void Tformfic::rewrite() {
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
        q7::sortCatalogue(state_.data, state_.buffer, choice, [this](int value, int maximum) {
            QProgressBar* gauge = ui->Gauge1;
            if (gauge->maximum() != maximum) gauge->setMaximum(maximum);
            // Redrawn when the percentage shown changes, not for each of 40000 records.
            const auto percent = [maximum](int v) {
                return maximum ? qint64(v) * 100 / maximum : 0;
            };
            if (value == 0 || value == maximum || percent(value) != percent(gauge->value()))
                gauge->setValue(value);
        });
    }
    // The sort says nothing of its own: a backup that could not be kept is told now.
    const std::string note = state_.data.takeBackupNote();
    if (!note.empty()) services_.dialogs.message(QString::fromStdString(note));
    accept();
}

void Tformfic::btfermerClick() {
    reject();
}
