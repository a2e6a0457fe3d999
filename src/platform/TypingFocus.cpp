#include "platform/TypingFocus.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>

void focusForTyping(QWidget* field) {
    if (!field) return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        if (QLineEdit* edit = combo->lineEdit()) edit->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) {
        spin->selectAll();
    }
}
