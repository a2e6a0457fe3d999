#pragma once
// Message boxes and sounds of the program.
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void beep() = 0;             // the default beep
    virtual void informationSound() = 0; // the information sound
    // One OK button, titled with the program's name.
    virtual void message(const QString& text) = 0;
    // Information icon, title "Information", one OK button.
    virtual void information(const QString& text) = 0;
    // Title "Confirmation", buttons "&Oui" and "&Non"; true for yes.
    virtual bool confirm(const QString& text) = 0;
    // The same with "&Non" chosen by default, so that Enter keeps what cannot come back.
    virtual bool confirmDefaultNo(const QString& text) = 0;
    // Information icon, title "Information", Yes and No; true for yes.
    virtual bool informationQuestion(const QString& text) = 0;
    // Error icon, titled with the program's name.
    virtual void error(const QString& text) = 0;
    // File-open dialog; nothing when cancelled.
    virtual std::optional<QString> openFileName(const QString& caption, const QString& filter) = 0;
    // File-save dialog starting in `dir`, asking before replacing a file; the name gets
    // the extension of the chosen filter when typed without one. Nothing when cancelled.
    virtual std::optional<QString> saveFileName(const QString& caption, const QString& dir,
                                                const QStringList& filters) = 0;
};

// "Ask": the default beep, then the confirmation box.
inline bool ask(Dialogs& d, const QString& text) {
    d.beep();
    return d.confirm(text);
}
inline bool askDefaultNo(Dialogs& d, const QString& text) {
    d.beep();
    return d.confirmDefaultNo(text);
}
