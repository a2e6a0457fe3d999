#include "app/MemoWindow.h"

#include "widgets/MemoEdit.h"

#include <QKeyEvent>
#include <QPushButton>

MemoWindow::MemoWindow(AppState& state, q7::Field field, QWidget* parent)
    : QDialog(parent), state_(state), field_(field) {}

void MemoWindow::setUp(MemoEdit* memo, QPushButton* close) {
    memo_ = memo;
    setFixedSize(size());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void MemoWindow::FormShow() {
    if (!state_.newRecord) memo_->setStoredText(state_.buffer.text(field_));
    memo_->setFocus();
}

void MemoWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void MemoWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
