#pragma once
// A notice found, by its ISBN or chosen by its title, taken into the record window the
// same way: shown field by field in the review, then the fields ticked written into the
// controls. Nothing is saved. Either way the review says when the catalogue holds the
// book already.
#include "lookup/Held.h"
#include "lookup/Sources.h"
#include "record/RecordWindow.h"

#include <QImage>
#include <QStringList>

#include <optional>

#include <functional>

namespace notice {

struct Taken {
    const q7::lookup::FoundBook& book;
    const q7::lookup::Source& source;
    std::string isbn13;  // the ISBN asked, or the book's own; empty: none
    QString origin;      // the review's first line
    QStringList remarks; // French lines below the fields
    QString status;      // the status line while the review is open
    // Fields whose text was only the words searched for: the notice's values replace them.
    std::vector<q7::Field> searched = {};
    // Where the book's cover goes when the collector takes it with the fields ("Open
    // Library": where it comes from); without it, no cover is asked.
    std::function<void(const QImage& cover, const QString& origin)> takeCover = {};
};

// The sources the collector chose; none: says where to choose them.
std::optional<q7::lookup::NoticeSettings> chosenSources(Services& services);

// Returns whether the collector took the fields.
bool take(RecordWindow& window, const Taken& notice);

// What the collector typed in a text field: empty when it shows only what clearing or a
// missing value list put there ("0", "Vide").
QString typed(const RecordWindow& window, q7::Field field);

// The key the window's fields give: the ISBN, the title and the author shown.
q7::lookup::BookKey shownKey(const RecordWindow& window);
// The first book of the catalogue that is `key`'s, the record shown left aside.
q7::lookup::Held held(const RecordWindow& window, const q7::lookup::BookKey& key);
// "Déjà au catalogue : référence 12, « Le boyfriend » (Ctrl+D pour le voir)".
QString heldText(const q7::lookup::Held& held);
// The book held, field by field, in an information box.
void showHeld(RecordWindow& window, const q7::lookup::Held& held);

} // namespace notice
