#pragma once
#include "platform/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QString programName) : programName_(std::move(programName)) {}
    void beep() override;
    void informationSound() override;
    void message(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    bool confirmDefaultNo(const QString& text) override;
    bool informationQuestion(const QString& text) override;
    void error(const QString& text) override;
    std::optional<QString> openFileName(const QString& caption, const QString& filter) override;
    std::optional<QString> saveFileName(const QString& caption, const QString& dir,
                                        const QStringList& filters) override;

private:
    QString programName_;
};
