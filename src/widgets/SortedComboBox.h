#pragma once
// Drop-down field whose proposals stay sorted in the program's French order.
#include <QComboBox>

#include <string>

class SortedComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit SortedComboBox(QWidget* parent = nullptr);

    void setMaxLength(int characters);
    // Replaces the proposals; the typed text stays. `source`: the list file's bytes they
    // were read from, so that an unchanged file need not be decoded and sorted again.
    void setValues(const QStringList& values, std::string source = {});
    bool filledFrom(const std::string& bytes) const { return !source_.empty() && bytes == source_; }
    // What a reload from an unchanged file does: no proposal chosen, the typed text stays.
    void keepValues();
    QStringList values() const;

private:
    std::string source_;
};
