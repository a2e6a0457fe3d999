#pragma once
// The whole program on fake services in a fresh working folder.
#include "app/Program.h"
#include "app/Q7prin.h"
#include "FakeServices.h"
#include "FaultyFileSystem.h"
#include "FicheBuilder.h"
#include "ui_Q7prin.h"

#include <QTemporaryDir>

#include <memory>

struct AppFixture {
    QTemporaryDir tmp;
    FaultyFileSystem fs;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<Program> program;

    explicit AppFixture(const std::vector<q7::Fiche>& records = {});
    ~AppFixture();

    std::string dir() const { return tmp.path().toStdString(); }
    QString path(const QString& name) const { return tmp.filePath(name); }
    // Shows the record window: opens the catalogue and runs the first activation.
    void start();

    Tformprin& w() const { return program->prin(); }
    Ui::Tformprin& ui() const { return *program->prin().ui_; }
    AppState& state() const { return program->state(); }
    FakeDialogs& dialogs() const { return fakes->dialogs; }
    std::vector<q7::Fiche> records() const { return readCatalogue(dir()); }
    // Triggers a menu item or tool button by object name.
    void trigger(const char* action) const;
};

// Types text as key presses, accented letters included.
void typeText(QWidget* widget, const QString& text);
// Empties the field, then types into it.
void typeInto(QWidget* field, const QString& text);
