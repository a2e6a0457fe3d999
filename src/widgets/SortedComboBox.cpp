#include "widgets/SortedComboBox.h"

#include <QCollator>
#include <QLineEdit>
#include <QStringListModel>

#include <algorithm>

namespace {
const QCollator& collator() {
    static const QCollator c = [] {
        QCollator col(QLocale(QLocale::French, QLocale::France));
        col.setCaseSensitivity(Qt::CaseInsensitive);
        return col;
    }();
    return c;
}
} // namespace

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

void SortedComboBox::sortValues(QStringList& values) {
    const auto less = [](const QString& a, const QString& b) {
        return collator().compare(a, b) < 0;
    };
    // Lists written by the program are in order already: one pass tells so, and big
    // lists are loaded at every new record and every criterion choice.
    if (std::is_sorted(values.begin(), values.end(), less)) return;
    std::stable_sort(values.begin(), values.end(), less);
}

int SortedComboBox::compareValues(const QString& a, const QString& b) {
    return collator().compare(a, b);
}

void SortedComboBox::setValues(const QStringList& values, std::string source) {
    source_ = std::move(source);
    QStringList sorted = values;
    sortValues(sorted);
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
