#pragma once
// What the subsystems see of the record window: the program's state, its services,
// the shared routines and the controls of the field table. The few other widgets a
// subsystem needs are handed to it when the window makes it.
#include "record/AppState.h"
#include "record/FieldTable.h"
#include "record/RecordScreen.h"

#include <QString>

class QAction;
class QWidget;
struct Services;

// The five modes of the record window.
enum class Mode { MainMenu, NewRecord, Save, Search, Browse };

class RecordWindow {
public:
    virtual ~RecordWindow() = default;

    virtual AppState& state() const = 0;
    virtual Services& services() const = 0;

    // The shared routines.
    virtual void applyMode(Mode mode) = 0;
    virtual void clearFields() = 0;
    // Fills the fifteen drop-downs from their list files ("Vide" when missing).
    virtual void loadValueLists() = 0;
    // Shows the record buffer, its notes and summary and P/N.
    virtual void showRecord() = 0;
    virtual void enableFields(bool on) = 0;

    // The hit counter of the running search, and the status line.
    virtual void setHits(int hits) = 0;
    virtual void setStatus(const QString& text) = 0;
    // Shows record `index` as browsing the list does: browse mode, P its index plus 1,
    // ">" and "<" walking its neighbours.
    virtual void showBrowsed(int index) = 0;

    // The control of a row of the field table, and its caption (null when none).
    virtual QWidget* control(const q7::FieldBinding& row) const = 0;
    virtual QWidget* caption(const q7::FieldBinding& row) const = 0;
    // A menu item the field table names.
    virtual QAction* item(const char* name) const = 0;
    // What the window shows now, typed but unsaved texts and both memos included.
    virtual q7::RecordScreen screen() const = 0;
    // Puts a text in the notes or the summary, its button red when it holds some.
    virtual void setMemo(q7::Field field, const QString& text) = 0;

    // A field's value as one text: a flag "oui" or "non", a memo its text.
    virtual QString shownValue(const q7::FieldBinding& row) const = 0;
    // While a new record is typed: the field still shows what "Nouvelle fiche" left in it
    // ("0", "Vide", the book shown before's value), none of it typed for this book.
    virtual bool leftAsStarted(const q7::FieldBinding& row) const = 0;
    // Of those, a value the book shown before gave it: kept on purpose, yet not this book's.
    virtual bool carriedOver(const q7::FieldBinding& row) const = 0;
};

// What field clearing puts in a field, as shownValue() writes it.
QString clearedValue(const q7::FieldBinding& row);

// The text of a field's control (drop-down or edit field) as the user sees it.
QString controlText(const QWidget* control);
// The same as the catalogue's bytes.
std::string controlBytes(const QWidget* control);
void setControlText(QWidget* control, const QString& text);
