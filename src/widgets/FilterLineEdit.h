#pragma once
// An edit field that takes only some typed characters; any other is dropped with a beep.
// Pasted text is not filtered.
#include <QLineEdit>

#include <functional>

class FilterLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterLineEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

    // Characters accepted besides backspace; empty = every character.
    void setAccepted(const QString& characters) { accepted_ = characters; }
    void setBeeper(std::function<void()> beep) { beep_ = std::move(beep); }

    static QString digits() { return QStringLiteral("0123456789"); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString accepted_;
    std::function<void()> beep_;
};
