#pragma once
// The record window: one catalogue record at a time, its menus, tool bar and status
// panel. It keeps the shared routines and the editing commands; each subsystem's
// commands live in that subsystem's controller, which sees the window only as a
// RecordWindow.
#include "app/Windows.h"
#include "platform/Services.h"
#include "record/RecordWindow.h"
#include "settings/SettingsRoutine.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <set>
#include <vector>

namespace Ui {
class Tformprin;
}
class MemoEdit;
class SearchController;
class ListController;
class OutputController;
class MaintController;
class CompanionController;
class LoanController;
class LookupController;
class NoticeSearchController;
class OverviewController;
class CoverController;

class Tformprin : public QMainWindow, public SettingsView, public RecordWindow {
    Q_OBJECT
public:
    Tformprin(AppState& state, Services& services, SettingsRoutine& settings,
              QWidget* parent = nullptr);
    ~Tformprin() override;

    // Gives the secondary windows, made after this one, to the commands that open them.
    void attach(const Windows& windows);

    AppState& state() const override { return state_; }
    Services& services() const override { return services_; }
    // False when the catalogue could not be opened (the program must end).
    bool catalogueOpen() const { return state_.data.isOpen(); }

    // The shared routines (Q7unit).
    void applyMode(Mode mode) override;
    void clearFields() override;
    void loadValueLists() override;
    void showRecord() override;
    void enableFields(bool on) override;
    void enableNavigation(bool on);
    void putToday();
    // Fills the record buffer from the window (the save); throws on a bad date text.
    void fillBuffer();

    void setHits(int hits) override;
    void setStatus(const QString& text) override;
    void showBrowsed(int index) override;
    QWidget* control(const q7::FieldBinding& row) const override;
    QWidget* caption(const q7::FieldBinding& row) const override;
    QAction* item(const char* name) const override;
    q7::RecordScreen screen() const override;
    void setMemo(q7::Field field, const QString& text) override;
    QString shownValue(const q7::FieldBinding& row) const override;
    bool leftAsStarted(const q7::FieldBinding& row) const override;
    bool carriedOver(const q7::FieldBinding& row) const override;

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

    // Start-up.
    void FormShow();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend struct AppFixture; // the tests reach the form's widgets
    Ui::Tformprin& ui() const { return *ui_; }
    // Red, and said in words, when the memo the button opens holds text.
    static void showFilled(QWidget* button, const q7::FieldBinding& row, bool filled);
    // Names for screen readers: each field's caption, or the word the table gives.
    void nameFields();
    // The memo of the notes or the summary window.
    MemoEdit& memoOf(q7::Field field) const;
    void setUpFields();
    void setUpTools();
    // "Mettre à vide" is undone by Ctrl+Z until anything else is done or typed.
    void watchForClearUndo();
    void undoClear();
    void connectCommands();
    // Rewrites the catalogue without the record shown.
    void deleteShownRecord();
    // Notes what each field shows as a new record begins.
    void rememberNewRecord();
    // A click or Tab into a field still showing what the new record began with selects
    // it, so that typing or a scan replaces it.
    void selectWhatWasLeft(QObject* watched, QEvent* event);
    // Back from a secondary window: the focus where it was when one can still type or
    // press there, else on the first field, never in a read-only counter.
    void restoreFocus();
    const Windows& windows() const { return windows_; }

    std::unique_ptr<Ui::Tformprin> ui_;
    AppState& state_;
    Services& services_;
    SettingsRoutine& settings_;
    Windows windows_;
    // The control and caption of each row of the field table, in its order.
    std::vector<QWidget*> controls_;
    std::vector<QWidget*> captions_;
    std::unique_ptr<SearchController> search_;
    std::unique_ptr<ListController> lists_;
    std::unique_ptr<OutputController> outputs_;
    std::unique_ptr<MaintController> maint_;
    std::unique_ptr<CompanionController> companions_;
    std::unique_ptr<LoanController> loans_;
    std::unique_ptr<LookupController> lookup_;
    std::unique_ptr<NoticeSearchController> noticeSearch_;
    std::unique_ptr<OverviewController> overview_;
    std::unique_ptr<CoverController> covers_;
    std::set<QKeySequence> menuKeys_;
    // What the fields held before "Mettre à vide", while Ctrl+Z may still bring it back.
    struct FieldValue {
        QString text;
        bool checked = false;
    };
    std::vector<FieldValue> beforeClear_;
    // What each field showed when the new record began (shownValue), by row of the table.
    std::vector<QString> started_;
    QPointer<QLineEdit> clickedInto_; // a field a click has just put the focus in
    QPointer<QLineEdit> givenBack_;   // a field given the focus by no click nor key
    bool clearUndoable_ = false;
    bool shown_ = false;
    bool activated_ = false;
};
