#pragma once
// The options window: the seven settings as the user edits them. Its controls are the
// only working copy until "A&ppliquer" hands them to the settings routine.
#include "settings/Settings.h"
#include "settings/SettingsRoutine.h"

#include <QDialog>

#include <functional>
#include <memory>

struct AppState;
struct Services;
class QLineEdit;

namespace Ui {
class Tformoption;
}

class Tformoption : public QDialog, public SettingsView {
    Q_OBJECT
public:
    Tformoption(AppState& state, Services& services, QWidget* parent = nullptr);
    ~Tformoption() override;

    // The settings routine's "ecr"; it throws when the values could not be stored.
    void setApply(std::function<void()> apply);

    // Opens the window modally with the controls as they were left.
    int execute();

    // The values the controls hold now (texts as Windows-1252 bytes, uncut).
    q7::Settings typedSettings() const;
    // Puts values into the controls; the currency only after a read, so that after
    // "A&ppliquer" the currency shows what the user typed.
    void showSettings(const q7::Settings& values, bool fromRead) override;

    // The executable's own file name, which "Parcourir" refuses.
    static QString ownFileName();

private Q_SLOTS:
    void btappliquerClick();
    void btfermerClick();
    // "Parcourir" of either program: the chosen file's name goes into `edit`.
    void btext1Click(QLineEdit* edit);

private:
    Services& services_;
    std::unique_ptr<Ui::Tformoption> ui;
    std::function<void()> apply_;
};
