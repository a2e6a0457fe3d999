#include "app/SortedComboBox.h"

#include <QCollator>
#include <QLineEdit>

#include <algorithm>

namespace {
const QCollator& collator()
{
    static const QCollator c = [] {
        QCollator col(QLocale(QLocale::French, QLocale::France));
        col.setCaseSensitivity(Qt::CaseInsensitive);
        return col;
    }();
    return c;
}
} // namespace

SortedComboBox::SortedComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    // The field is typed text with proposals; no completion rewrites what is typed.
    setCompleter(nullptr);
}

void SortedComboBox::setMaxLength(int characters) { lineEdit()->setMaxLength(characters); }

void SortedComboBox::sortValues(QStringList& values)
{
    std::stable_sort(values.begin(), values.end(), [](const QString& a, const QString& b) {
        return collator().compare(a, b) < 0;
    });
}

void SortedComboBox::setValues(const QStringList& values)
{
    const QString typed = currentText();
    QStringList sorted = values;
    sortValues(sorted);
    const QSignalBlocker block(this);
    clear();
    addItems(sorted);
    setCurrentIndex(-1);
    setEditText(typed);
}

void SortedComboBox::addValue(const QString& value)
{
    const QString typed = currentText();
    int at = 0;
    while (at < count() && collator().compare(itemText(at), value) <= 0) ++at;
    const QSignalBlocker block(this);
    insertItem(at, value);
    setEditText(typed);
}

QStringList SortedComboBox::values() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i) out << itemText(i);
    return out;
}
