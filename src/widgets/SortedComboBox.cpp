#include "widgets/SortedComboBox.h"

#include "store/FrenchOrder.h"

#include <QLineEdit>
#include <QStringListModel>

SortedComboBox::SortedComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    // The field is typed text with proposals; no completion rewrites what is typed.
    setCompleter(nullptr);
    // A plain list of strings: thousands of proposals replaced in one step.
    setModel(new QStringListModel(this));
}

void SortedComboBox::setMaxLength(int characters) {
    lineEdit()->setMaxLength(characters);
}

void SortedComboBox::setValues(const QStringList& values, std::string source) {
    source_ = std::move(source);
    QStringList sorted = values;
    q7::sortFrench(sorted);
    const QString typed = currentText();
    const QSignalBlocker block(this);
    static_cast<QStringListModel*>(model())->setStringList(sorted);
    setCurrentIndex(-1);
    setEditText(typed);
}

void SortedComboBox::keepValues() {
    const QString typed = currentText();
    const QSignalBlocker block(this);
    setCurrentIndex(-1);
    setEditText(typed);
}

QStringList SortedComboBox::values() const {
    return static_cast<const QStringListModel*>(model())->stringList();
}
