#pragma once
// The record window's "Compléter par l'ISBN": the ISBN field checked, the sources asked
// without freezing the window (the status line says which, Escape stops), then what was
// found shown field by field before any of it is written into the controls.
#include "lookup/Held.h"
#include "lookup/IsbnLookup.h"
#include "record/RecordWindow.h"

#include <QObject>

#include <functional>

class QToolButton;

class LookupController : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QAction* menuIsbn;     // "Compléter par l'ISBN", Ctrl+K
        QAction* smenusources; // "Sources de notices..."
        QAction* menuDeja;     // "Déjà au catalogue ?", Ctrl+D
    };

    LookupController(RecordWindow& window, const Controls& controls);

    void menuIsbnClick();
    void smenusourcesClick();
    // Shows the book of the catalogue that the ISBN, or the title and author, shown are.
    void menuDejaClick();

    // Where a notice's cover goes once taken ("Open Library": where it comes from).
    std::function<void(const QImage& cover, const QString& origin)> takeCover;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void found(const q7::lookup::LookupResult& result);
    void finished(const q7::lookup::LookupResult& result);
    QWidget* isbnField() const;
    QString typedIsbn() const;

    RecordWindow& window_;
    Controls c_;
    QToolButton* button_;
    q7::lookup::IsbnLookup lookup_;
    QString asked_;         // the ISBN field's text when the lookup began
    q7::lookup::Held held_; // the book of that ISBN the catalogue holds
};
