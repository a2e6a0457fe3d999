#include "lists/Q7anciennum.h"

#include "ui_Q7anciennum.h"

#include "lists/OldReferences.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "record/AppState.h"

#include <QShowEvent>

Tformanciennum::Tformanciennum(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Tformanciennum>()), state_(state),
      services_(services) {
    ui_->setupUi(this);
    connect(ui_->listnum, &QListWidget::currentRowChanged, this, [this] { listnumClick(); });
    connect(ui_->btchoisir, &QPushButton::clicked, this,
            guarded(services_.dialogs, this, &Tformanciennum::btchoisirClick));
    connect(ui_->Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

Tformanciennum::~Tformanciennum() = default;

void Tformanciennum::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) runCommand(services_.dialogs, [this] { FormShow(); });
}

void Tformanciennum::FormShow() {
    // The empty state first, so that a file that cannot be read offers nothing to take.
    references_.clear();
    ui_->listnum->clear();
    ui_->btchoisir->setEnabled(false);
    ui_->lblchoix->setText(QStringLiteral("Liste vide"));
    std::vector<std::string> lines = q7::readOldReferences(state_.folder);
    if (lines.empty()) return;
    references_ = std::move(lines);
    QStringList shown;
    shown.reserve(qsizetype(references_.size()));
    for (const std::string& r : references_)
        shown << fromBytes(r);
    ui_->listnum->addItems(shown);
    ui_->lblchoix->setText(shown.first());
    ui_->btchoisir->setEnabled(true);
    ui_->listnum->setFocus();
}

int Tformanciennum::chosenRow() const {
    const QList<QListWidgetItem*> selected = ui_->listnum->selectedItems();
    if (!selected.isEmpty()) return ui_->listnum->row(selected.first());
    return ui_->listnum->currentRow() >= 0 ? ui_->listnum->currentRow() : 0;
}

void Tformanciennum::listnumClick() {
    const int row = chosenRow();
    if (row < ui_->listnum->count()) ui_->lblchoix->setText(ui_->listnum->item(row)->text());
}

void Tformanciennum::btchoisirClick() {
    if (references_.empty()) return;
    const int row = chosenRow();
    const QString reference = ui_->listnum->item(row)->text();
    // The file first: a reference that could not leave it is not given out.
    q7::takeOldReference(state_.folder, references_, std::size_t(row));
    references_.erase(references_.begin() + row);
    delete ui_->listnum->takeItem(row);
    if (take_) take_(reference);
    accept();
}

void Tformanciennum::Button2Click() {
    reject();
}
