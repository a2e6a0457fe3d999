#include "companions/FindDialog.h"

#include "platform/TypingFocus.h"
#include "ui_FindDialog.h"

FindDialog::FindDialog(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::FindDialog>()) {
    ui->setupUi(this);
    setModal(false);
    connect(ui->btsuivant, &QPushButton::clicked, this, [this] { Q_EMIT find(findText()); });
    connect(ui->btannuler, &QPushButton::clicked, this, &QDialog::reject);
}

FindDialog::~FindDialog() = default;

QString FindDialog::findText() const {
    return ui->edttexte->text();
}

void FindDialog::setFindText(const QString& text) {
    ui->edttexte->setText(text);
}

void FindDialog::present() {
    show();
    raise();
    activateWindow();
    focusForTyping(ui->edttexte);
}
