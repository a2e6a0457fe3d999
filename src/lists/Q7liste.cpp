#include "lists/Q7liste.h"

#include "ui_Q7liste.h"

#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"
#include "record/AppState.h"
#include "store/FrenchOrder.h"
#include "widgets/ListValues.h"
#include "widgets/Placement.h"
#include "widgets/SortedComboBox.h"

#include <QScopeGuard>
#include <QShowEvent>
#include <QSignalBlocker>

namespace {
const QString emptyListLine = QStringLiteral("Cette liste est vide");
}

TFormliste::TFormliste(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFormliste>()), state_(state), services_(services) {
    ui_->setupUi(this);
    Dialogs& d = services_.dialogs;
    connect(ui_->cbactiveliste, &QComboBox::currentIndexChanged, this,
            guarded(d, this, &TFormliste::cbactivelisteChange));
    connect(ui_->Button1, &QPushButton::clicked, this, guarded(d, this, &TFormliste::Button1Click));
    connect(ui_->btretirer, &QPushButton::clicked, this,
            guarded(d, this, &TFormliste::btretirerClick));
    connect(ui_->btinserer, &QPushButton::clicked, this,
            guarded(d, this, &TFormliste::btinsererClick));
    connect(ui_->edtinserer, &QLineEdit::returnPressed, this,
            guarded(d, this, &TFormliste::btinsererClick));
    connect(ui_->btenregistrer, &QPushButton::clicked, this,
            guarded(d, this, &TFormliste::btenregistrerClick));
    connect(ui_->btfermer, &QPushButton::clicked, this,
            guarded(d, this, &TFormliste::btfermerClick));
}

TFormliste::~TFormliste() = default;

void TFormliste::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    centreOnScreen(*this);
    FormActivate();
}

void TFormliste::FormActivate() {
    {
        const QSignalBlocker quiet(ui_->cbactiveliste);
        ui_->cbactiveliste->clear();
        for (const q7::FieldBinding* list : q7::listManagerOrder())
            ui_->cbactiveliste->addItem(list->listCaption
                                            ? QString::fromUtf8(list->listCaption)
                                            : fromBytes(state_.settings.textutilisateur));
        ui_->cbactiveliste->setCurrentIndex(0);
    }
    // The list box only ever shows the list of the selected entry: nothing is loaded yet.
    ui_->lstbliste->clear();
    loaded_ = -1;
    focusForTyping(ui_->cbactiveliste);
}

void TFormliste::cbactivelisteChange() {
    // Another entry: the list box no longer shows its list.
    ui_->lstbliste->clear();
    loaded_ = -1;
}

void TFormliste::Button1Click() {
    ui_->lstbliste->clear();
    loaded_ = -1;
    const int entry = ui_->cbactiveliste->currentIndex();
    const auto lists = q7::listManagerOrder();
    if (entry < 0 || entry >= static_cast<int>(lists.size())) return;
    const char* file = lists[static_cast<std::size_t>(entry)]->listFile;
    QStringList values;
    if (state_.folder.exists(file)) {
        values = readListValues(state_.folder, file);
        q7::sortFrench(values);
    } else {
        values << emptyListLine;
    }
    ui_->lstbliste->addItems(values);
    loaded_ = entry;
}

void TFormliste::btretirerClick() {
    const QList<QListWidgetItem*> selected = ui_->lstbliste->selectedItems();
    if (!selected.isEmpty()) delete ui_->lstbliste->takeItem(ui_->lstbliste->row(selected.first()));
    if (ui_->lstbliste->count() == 0) ui_->btretirer->setEnabled(false);
}

void TFormliste::btinsererClick() {
    insertSorted(ui_->edtinserer->text());
    ui_->btretirer->setEnabled(true);
}

void TFormliste::insertSorted(const QString& value) {
    QListWidget* box = ui_->lstbliste;
    // After the equal ones, as the drop-downs place a new value.
    int low = 0;
    int high = box->count();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (q7::compareFrench(box->item(mid)->text(), value) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    box->insertItem(low, value);
    box->setCurrentRow(low);
    box->scrollToItem(box->item(low));
}

QStringList TFormliste::listValues() const {
    QStringList out;
    out.reserve(ui_->lstbliste->count());
    for (int i = 0; i < ui_->lstbliste->count(); ++i)
        out << ui_->lstbliste->item(i)->text();
    return out;
}

void TFormliste::btenregistrerClick() {
    if (loaded_ < 0) {
        // Writing an unloaded list box would wipe the file of the selected list.
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral(
            "Aucune liste n'est chargée : choisissez d'abord une liste avec « Choisir »."));
        return;
    }
    ui_->btenregistrer->setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { ui_->btenregistrer->setEnabled(true); });
    writeListValues(state_.folder,
                    q7::listManagerOrder()[static_cast<std::size_t>(loaded_)]->listFile,
                    listValues());
    ui_->btenregistrer->setEnabled(true);
    ui_->btfermer->setFocus();
}

void TFormliste::btfermerClick() {
    reject();
}

void TFormliste::done(int result) {
    // The entries are rebuilt at the next opening, with the user list's current name.
    const QSignalBlocker quiet(ui_->cbactiveliste);
    ui_->cbactiveliste->clear();
    QDialog::done(result);
}
