#include "record/RecordWindow.h"

#include "platform/QtText.h"

#include <QComboBox>
#include <QLineEdit>

QString controlText(const QWidget* control) {
    if (const auto* cb = qobject_cast<const QComboBox*>(control)) return cb->currentText();
    if (const auto* e = qobject_cast<const QLineEdit*>(control)) return e->text();
    return {};
}

std::string controlBytes(const QWidget* control) {
    return toBytes(controlText(control));
}

void setControlText(QWidget* control, const QString& text) {
    if (auto* cb = qobject_cast<QComboBox*>(control))
        cb->setEditText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(control))
        e->setText(text);
}
