#pragma once
// Drop-down field whose proposals stay sorted, case ignored, in French collation.
#include <QComboBox>

class SortedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit SortedComboBox(QWidget* parent = nullptr);

    void setMaxLength(int characters);
    // Replaces the proposals; the typed text stays.
    void setValues(const QStringList& values);
    // Adds one proposal in its sorted place (duplicates kept).
    void addValue(const QString& value);
    QStringList values() const;

    static void sortValues(QStringList& values);
};
