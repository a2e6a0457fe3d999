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
    QStringList values() const;

    static void sortValues(QStringList& values);
    // The order of the proposals: French, case ignored (<0, 0, >0).
    static int compareValues(const QString& a, const QString& b);
};
