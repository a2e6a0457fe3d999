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

QString clearedValue(const q7::FieldBinding& row) {
    switch (row.holds) {
    case q7::Holds::Text: return row.listFile ? QString() : QStringLiteral("0");
    case q7::Holds::Flag: return QStringLiteral("non");
    case q7::Holds::Memo: return {};
    default: return QStringLiteral("0"); // the date's parts
    }
}
