#pragma once
// The record window's "Compléter par l'ISBN": the ISBN field checked, the sources asked
// without freezing the window (the status line says which, Escape stops), then what was
// found shown field by field before any of it is written into the controls.
#include "lookup/IsbnLookup.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <vector>

class QToolButton;

class LookupController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* menuIsbn;     // "Compléter par l'ISBN", Ctrl+K
        QAction* smenusources; // "Sources de notices..."
    };

    LookupController(RecordWindow& window, const Controls& controls);

    // A new record begins: what the fields hold now is not the collector's typing.
    void newRecordStarted();
    // Another mode: every field holds the collector's values.
    void newRecordEnded() { freshValid_ = false; }
    void menuIsbnClick();
    void smenusourcesClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void found(const q7::lookup::LookupResult& result);
    void finished(const q7::lookup::LookupResult& result);
    QWidget* isbnField() const;
    // The record window's current value of a field (memos included), as shown.
    QString current(const q7::FieldBinding& row) const;

    RecordWindow& window_;
    Controls c_;
    QToolButton* button_;
    q7::lookup::IsbnLookup lookup_;
    std::vector<QString> fresh_; // by field, while a new record has not been saved
    bool freshValid_ = false;
    QString asked_; // the ISBN field's text when the lookup began
};
