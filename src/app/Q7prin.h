#pragma once
// The record window: one catalogue record at a time, its menus, tool bar and status
// panel. Its commands live in the files of their subsystems; this class wires them.
#include "app/AppState.h"
#include "app/Windows.h"
#include "platform/Services.h"
#include "settings/SettingsRoutine.h"

#include <QKeySequence>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <set>

namespace Ui {
class Tformprin;
}
class QAction;
class QComboBox;
class QKeyEvent;
class SortedComboBox;

class Tformprin : public QMainWindow, public SettingsView {
    Q_OBJECT
public:
    Tformprin(AppState& state, Services& services, Windows& windows, SettingsRoutine& settings,
              QWidget* parent = nullptr);
    ~Tformprin() override;

    Ui::Tformprin& ui() const { return *ui_; }
    AppState& state() const { return state_; }
    Services& services() const { return services_; }
    Windows& windows() const { return windows_; }
    SettingsRoutine& settingsRoutine() const { return settings_; }

    // Runs a command inside the error box wrapper; false when it failed.
    bool command(const std::function<void()>& body);
    // A slot that runs `handler` as a command.
    template <class Handler> auto guarded(Handler handler) {
        return [this, handler] { command(handler); };
    }
    // The record window's mode switch (0 main menu ... 4 browse).
    void applyMode(int mode);
    // False when the catalogue could not be opened (the program must end).
    bool catalogueOpen() const { return state_.data.isOpen(); }

    void showSettings(const q7::Settings& values, bool fromRead) override;

    // Editing commands.
    void menuNouvelleClick();
    void menuEnregistrerClick();
    void menuEffacerClick();
    void btbcontrolClick();
    void menuRetourClick();
    void menuReduireClick();
    void menuQuitterClick();
    void menuVideClick();
    void menuNotesClick();
    void menuResumeClick();

    // Browsing and searching.
    enum class Move { Next, Previous, First, Last };
    void browse(Move move);
    void menulisteClick();
    void spbdebutClick();
    void spbprecedentClick();
    void spbsuivantClick();
    void spbfinClick();
    void TitresClick(QObject* sender);
    void menuChercherClick();
    void menuChercherparClick();
    void menumotClick();

    // Outputs and maintenance.
    void showExport(int kind);
    void smenutrierClick();
    void smenuinformationsClick();

    // Value lists and old references.
    void institreClick(QObject* sender);
    void smenulisteClick();
    void menuanciennumClick();

    // Companions and external programs.
    void smenucarnetClick();
    void menuaideClick();
    void Apropos1Click();
    void smenuoptionsClick();
    void menuext1Click();
    void menuext2Click();

    // Start-up.
    void FormShow();
    void FormActivate();

Q_SIGNALS:
    // Emitted after the first activation, for subsystems that join start-up.
    void activated();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpWidgets();
    void connectCommands();
    void connectSearch();
    void connectOutputs();
    void connectMaintenance();
    void connectCompanions();
    void connectLists();
    bool rankStep();
    bool scanStep();
    void FormKeyDown(QKeyEvent* event);
    bool deleteShownRecord();

    std::unique_ptr<Ui::Tformprin> ui_;
    AppState& state_;
    Services& services_;
    Windows& windows_;
    SettingsRoutine& settings_;
    std::set<QKeySequence> menuKeys_;
    bool shown_ = false;
    bool activated_ = false;
};
