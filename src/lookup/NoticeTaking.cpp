#include "lookup/NoticeTaking.h"

#include "covers/CoverFetch.h"
#include "lookup/Isbn.h"
#include "lookup/NoticeReview.h"
#include "platform/QtText.h"
#include "platform/Services.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <algorithm>

using namespace q7;
using namespace q7::lookup;

namespace notice {

namespace {

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QString captionOf(const RecordWindow& window, const FieldBinding& row) {
    if (auto* label = qobject_cast<QLabel*>(window.caption(row)))
        return spokenCaption(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(window.control(row)))
        return spokenCaption(button->text());
    return QString::fromLatin1(row.control);
}

int shownIndex(const RecordWindow& window) {
    const AppState& s = window.state();
    return s.newRecord ? -1 : s.data.position() - 1;
}

} // namespace

QString typed(const RecordWindow& window, Field f) {
    const FieldBinding& row = *bindingOf(f);
    const QString text = controlText(window.control(row)).trimmed();
    return text == clearedValue(row) || text == u"Vide" ? QString() : text;
}

BookKey shownKey(const RecordWindow& window) {
    return bookKey(typed(window, Field::isbn).toStdString(),
                   typed(window, Field::titre).toStdString(),
                   typed(window, Field::auteur).toStdString());
}

Held held(const RecordWindow& window, const BookKey& key) {
    return findHeld(window.state().data, std::span(&key, 1), shownIndex(window)).front();
}

QString heldText(const Held& h) {
    return QStringLiteral("Déjà au catalogue : référence %1, « %2 » (Ctrl+D pour le voir)")
        .arg(utf8(h.reference), utf8(h.title));
}

void showHeld(RecordWindow& window, const Held& h) {
    Fiche record;
    if (window.state().data.readRecords(h.index, 1, record.bytes.data()) != 1) return;
    QString text = QStringLiteral("Déjà au catalogue :\n");
    for (const FieldBinding& row : fieldTable()) {
        if (row.holds != Holds::Text || !row.label) continue;
        const QString value = fromBytes(record.view(row.field));
        if (!value.isEmpty() && value != clearedValue(row))
            text += QStringLiteral("\n%1 : %2").arg(captionOf(window, row), value);
    }
    window.services().dialogs.information(text);
}

std::optional<NoticeSettings> chosenSources(Services& s) {
    NoticeSettings settings = readNoticeSettings(s.settingsStore);
    if (!settings.asked().empty()) return settings;
    s.dialogs.message(
        QStringLiteral("Aucune source de notices n'est choisie : Gestion, Sources de notices..."));
    return std::nullopt;
}

bool take(RecordWindow& window, const Taken& n) {
    Services& s = window.services();
    MapOptions options;
    options.form = readNoticeSettings(s.settingsStore).authorForm;
    if (auto* authors = qobject_cast<QComboBox*>(window.control(*bindingOf(Field::auteur))))
        for (int i = 0; i < authors->count(); ++i)
            options.knownAuthors.push_back(authors->itemText(i).toStdString());
    const Proposal p = propose(n.book, n.isbn13, options);

    struct Change {
        const FieldBinding* row;
        QString value;
    };
    std::vector<Change> changes;
    std::vector<NoticeReview::Row> rows;
    const auto offer = [&](const FieldBinding& row, const QString& value) {
        const QString now = window.shownValue(row);
        const bool untouched = window.leftAsStarted(row);
        // The ISBN asked for, typed in another form, is the one found.
        const bool sameIsbn =
            row.field == Field::isbn && isbn::digits13(now.toStdString()) == value.toStdString();
        // The other authors go in front of the notes, which keep all they held.
        const bool kept = row.field == Field::notes && value.endsWith(now);
        // An empty field: nothing ("0" for a number, unticked for a flag) is no typing.
        const bool words = row.holds == Holds::Text && std::ranges::count(n.searched, row.field);
        const bool ticked = now.isEmpty() || now == clearedValue(row) || now == value ||
                            untouched || sameIsbn || kept || words;
        changes.push_back({&row, value});
        rows.push_back({captionOf(window, row), now, value, ticked});
    };
    for (const auto& [field, value] : p.values) {
        const FieldBinding& row = *bindingOf(field);
        QString v = utf8(value);
        if (field == Field::notes) {
            // The other authors go in front of what the notes already say.
            const QString now = window.shownValue(row);
            if (!now.isEmpty() && !now.startsWith(v))
                v = fromBytes(toBytes(v + QStringLiteral("\r\n") + now)
                                  .substr(0, fieldInfo(Field::notes).capacity));
            else if (!now.isEmpty())
                v = now;
        }
        offer(row, v);
    }
    if (p.severalAuthors) offer(*bindingOf(Flag::plusauteur), QStringLiteral("oui"));
    // What the book shown before left in a field the notice does not fill is emptied,
    // unless the collector unticks it: a found book carries nothing of the last one.
    for (const FieldBinding& row : fieldTable()) {
        const bool offered =
            std::ranges::any_of(changes, [&](const Change& c) { return c.row == &row; });
        if (offered || !window.carriedOver(row)) continue;
        const QString empty = clearedValue(row);
        changes.push_back({&row, empty});
        rows.push_back({captionOf(window, row), window.shownValue(row),
                        row.holds == Holds::Flag ? empty : QStringLiteral("(vide)"), true});
    }

    const auto valueOf = [&](Field f) {
        const auto it = std::ranges::find(p.values, f, [](const auto& v) { return v.first; });
        return it == p.values.end() ? std::string() : it->second;
    };
    const Held h = held(
        window, bookKey(n.isbn13, n.book.title, valueOf(Field::auteur), valueOf(Field::titre)));

    QStringList remarks;
    for (const std::string& line : p.remarks)
        remarks << utf8(line);
    remarks += n.remarks;
    NoticeReview review(window.control(*bindingOf(Field::isbn))->window());
    review.setContent(n.origin, rows, remarks);
    if (h.index >= 0) review.setHeld(heldText(h), [&] { showHeld(window, h); });
    // The cover is asked while the collector reads the notice; it is taken only if it came.
    CoverFetch cover(s.fetcher);
    const QString who = utf8(n.source.name);
    const QString spoken = utf8(n.book.title) + QStringLiteral(", couverture");
    if (n.takeCover && cover.start(coverRequests(readNoticeSettings(s.settingsStore), n.source,
                                                 n.book, n.isbn13, CoverSize::kept),
                                   n.source.name, [&review, spoken](const FetchedCover& c) {
                                       if (c.kind == FetchedCover::Kind::found)
                                           review.setCover(c.image, spoken);
                                       else
                                           review.coverMissing(c.message);
                                   }))
        review.coverAsked(QStringLiteral("Couverture demandée à %1…").arg(who));
    window.setStatus(h.index >= 0 ? n.status + u' ' + heldText(h) : n.status);
    const QString heldToo = h.index >= 0 ? QStringLiteral(". ") + heldText(h) : QString();
    if (s.modal.showModal(review) != QDialog::Accepted) {
        window.setStatus(QStringLiteral("Notice non reprise") + heldToo);
        return false;
    }
    const QImage taken = review.takenCover();
    const std::vector<bool> ticks = review.ticks();
    int written = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!ticks[i]) continue;
        const FieldBinding& row = *changes[i].row;
        QWidget* control = window.control(row);
        if (row.holds == Holds::Memo)
            window.setMemo(row.field, changes[i].value);
        else if (auto* box = qobject_cast<QCheckBox*>(control))
            box->setChecked(changes[i].value == u"oui");
        else
            setControlText(control, changes[i].value);
        ++written;
    }
    if (!taken.isNull()) n.takeCover(taken, who);
    window.setStatus(QStringLiteral("%1 champ(s)%2 repris (%3)")
                         .arg(written)
                         .arg(taken.isNull() ? QString() : QStringLiteral(" et la couverture"))
                         .arg(who) +
                     heldToo);
    return true;
}

} // namespace notice
