#include "lookup/LookupController.h"

#include "covers/CoverFetch.h"
#include "lookup/Isbn.h"
#include "lookup/NoticeReview.h"
#include "lookup/NoticeSources.h"
#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "platform/TypingFocus.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

using namespace q7;
using namespace q7::lookup;

namespace {

QString utf8(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

LookupController::LookupController(RecordWindow& window, const Controls& controls)
    : window_(window), c_(controls), button_(new QToolButton(isbnField()->parentWidget())),
      lookup_(window.services().fetcher) {
    Dialogs& d = window.services().dialogs;
    connect(c_.menuIsbn, &QAction::triggered, this,
            guarded(d, this, &LookupController::menuIsbnClick));
    connect(c_.smenusources, &QAction::triggered, this,
            guarded(d, this, &LookupController::smenusourcesClick));
    connect(&lookup_, &IsbnLookup::progress, this,
            [this](const QString& s) { window_.setStatus(s); });
    connect(&lookup_, &IsbnLookup::finished, this,
            [this, &d](const LookupResult& r) { runCommand(d, [&] { finished(r); }); });

    // Beside the ISBN field, in the room its caption leaves: no control moves.
    QWidget* field = isbnField();
    button_->setObjectName(QStringLiteral("btbisbn"));
    button_->setIcon(button_->style()->standardIcon(QStyle::SP_FileDialogContentsView));
    button_->setGeometry(field->x() - 28, field->y(), 26, field->height());
    const QString tip = QStringLiteral("Compléter par l'ISBN (Ctrl+K)");
    button_->setToolTip(tip);
    button_->setAccessibleName(QStringLiteral("Compléter par l'ISBN"));
    button_->setEnabled(c_.menuIsbn->isEnabled());
    connect(button_, &QToolButton::clicked, c_.menuIsbn, &QAction::trigger);
    connect(c_.menuIsbn, &QAction::changed, button_,
            [this] { button_->setEnabled(c_.menuIsbn->isEnabled()); });
    QWidget::setTabOrder(field, button_);
    button_->show();
    // Before the record window's own filter: Escape stops a lookup, Enter after a scan.
    qApp->installEventFilter(this);
}

QWidget* LookupController::isbnField() const {
    return window_.control(*bindingOf(Field::isbn));
}

// The ISBN field's text; the "0" of a new record is no ISBN typed.
QString LookupController::typedIsbn() const {
    const QString typed = controlText(isbnField());
    return typed == clearedValue(*bindingOf(Field::isbn)) ? QString() : typed;
}

void LookupController::menuIsbnClick() {
    Services& s = window_.services();
    const QString typed = typedIsbn();
    const isbn::Checked checked = isbn::check(typed.toStdString());
    if (!checked.valid) {
        s.dialogs.beep();
        s.dialogs.message(utf8(checked.message));
        focusForTyping(isbnField()); // the wrong ISBN goes as the right one is typed
        return;
    }
    const NoticeSettings settings = readNoticeSettings(s.settingsStore);
    if (settings.asked().empty()) {
        s.dialogs.message(QStringLiteral("Aucune source de notices n'est choisie : Gestion, "
                                         "Sources de notices..."));
        return;
    }
    asked_ = typed;
    lookup_.start(checked.isbn13, settings);
}

bool LookupController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && lookup_.running()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == isbnField()->window()) {
            lookup_.cancel();
            return true;
        }
    }
    // A barcode scanner types the digits, then Enter. A scan gone wrong is said at once,
    // without a box in the way of the next one.
    if (watched == isbnField() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        c_.menuIsbn->isEnabled()) {
        const isbn::Checked checked = isbn::check(typedIsbn().toStdString());
        if (checked.valid) {
            c_.menuIsbn->trigger();
        } else {
            window_.services().dialogs.beep();
            window_.setStatus(utf8(checked.message));
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void LookupController::finished(const LookupResult& r) {
    switch (r.kind) {
    case LookupResult::Kind::cancelled:
        window_.setStatus(QStringLiteral("Recherche annulée"));
        return;
    case LookupResult::Kind::notFound:
        window_.setStatus(utf8(r.message).section(u'\n', 0, 0));
        window_.services().dialogs.message(utf8(r.message));
        return;
    case LookupResult::Kind::found:
        // The collector moved on (another record, another mode): nothing is shown.
        if (!c_.menuIsbn->isEnabled() || controlText(isbnField()) != asked_) {
            window_.setStatus(QStringLiteral("Notice trouvée, mais la fiche a changé : "
                                             "relancez Compléter par l'ISBN"));
            return;
        }
        found(r);
        return;
    }
}

void LookupController::found(const LookupResult& r) {
    Services& s = window_.services();
    MapOptions options;
    options.form = readNoticeSettings(s.settingsStore).authorForm;
    if (auto* authors = qobject_cast<QComboBox*>(window_.control(*bindingOf(Field::auteur))))
        for (int i = 0; i < authors->count(); ++i)
            options.knownAuthors.push_back(authors->itemText(i).toStdString());
    const Proposal p = propose(r.book, r.isbn13, options);

    struct Change {
        const FieldBinding* row;
        QString value;
    };
    std::vector<Change> changes;
    std::vector<NoticeReview::Row> rows;
    const auto caption = [this](const FieldBinding& row) {
        QWidget* c = window_.caption(row);
        if (auto* label = qobject_cast<QLabel*>(c)) return spokenCaption(label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(window_.control(row)))
            return spokenCaption(button->text());
        return QString::fromLatin1(row.control);
    };
    const auto offer = [&](const FieldBinding& row, const QString& value) {
        const QString now = window_.shownValue(row);
        const bool untouched = window_.leftAsStarted(row);
        // The ISBN asked for, typed in another form, is the one found.
        const bool sameIsbn =
            row.field == Field::isbn && isbn::digits13(now.toStdString()) == value.toStdString();
        // The other authors go in front of the notes, which keep all they held.
        const bool kept = row.field == Field::notes && value.endsWith(now);
        // An empty field: nothing ("0" for a number, unticked for a flag) is no typing.
        const bool ticked = now.isEmpty() || now == clearedValue(row) || now == value ||
                            untouched || sameIsbn || kept;
        changes.push_back({&row, value});
        rows.push_back({caption(row), now, value, ticked});
    };
    for (const auto& [field, value] : p.values) {
        const FieldBinding& row = *bindingOf(field);
        QString v = utf8(value);
        if (field == Field::notes) {
            // The other authors go in front of what the notes already say.
            const QString now = window_.shownValue(row);
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
    // unless the collector unticks it: a scanned book carries nothing of the last one.
    for (const FieldBinding& row : fieldTable()) {
        const bool offered =
            std::ranges::any_of(changes, [&](const Change& c) { return c.row == &row; });
        if (offered || !window_.carriedOver(row)) continue;
        const QString empty = clearedValue(row);
        changes.push_back({&row, empty});
        rows.push_back({caption(row), window_.shownValue(row),
                        row.holds == Holds::Flag ? empty : QStringLiteral("(vide)"), true});
    }

    QString origin = QStringLiteral("Source : %1").arg(utf8(r.source->name));
    if (!r.book.identifier.empty())
        origin += QStringLiteral(", notice %1").arg(utf8(r.book.identifier));
    origin += QStringLiteral(" ; ISBN %1.").arg(utf8(isbn::check(r.isbn13).hyphenated));
    QStringList remarks;
    for (const std::string& line : p.remarks)
        remarks << utf8(line);
    for (const std::string& line : r.problems)
        remarks << utf8(line);

    NoticeReview review(isbnField()->window());
    review.setContent(origin, rows, remarks);
    // The cover is asked while the collector reads the notice; it is taken only if it came.
    CoverFetch cover(s.fetcher);
    const QString who = utf8(r.source->name);
    const QString spoken = utf8(r.book.title) + QStringLiteral(", couverture");
    if (cover.start(coverRequests(readNoticeSettings(s.settingsStore), *r.source, r.book, r.isbn13,
                                  CoverSize::kept),
                    r.source->name, [&review, spoken](const FetchedCover& c) {
                        if (c.kind == FetchedCover::Kind::found)
                            review.setCover(c.image, spoken);
                        else
                            review.coverMissing(c.message);
                    }))
        review.coverAsked(QStringLiteral("Couverture demandée à %1…").arg(who));
    window_.setStatus(utf8(r.message));
    if (s.modal.showModal(review) != QDialog::Accepted) {
        window_.setStatus(QStringLiteral("Notice non reprise"));
        return;
    }
    const QImage taken = takeCover ? review.takenCover() : QImage();
    const std::vector<bool> ticks = review.ticks();
    int written = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (!ticks[i]) continue;
        const FieldBinding& row = *changes[i].row;
        QWidget* control = window_.control(row);
        if (row.holds == Holds::Memo)
            window_.setMemo(row.field, changes[i].value);
        else if (auto* box = qobject_cast<QCheckBox*>(control))
            box->setChecked(changes[i].value == u"oui");
        else
            setControlText(control, changes[i].value);
        ++written;
    }
    if (!taken.isNull()) takeCover(taken, who);
    window_.setStatus(QStringLiteral("%1 champ(s)%2 repris (%3)")
                          .arg(written)
                          .arg(taken.isNull() ? QString() : QStringLiteral(" et la couverture"))
                          .arg(who));
}

void LookupController::smenusourcesClick() {
    Services& s = window_.services();
    NoticeSources window(s.dialogs, isbnField()->window());
    window.setSettings(readNoticeSettings(s.settingsStore));
    if (s.modal.showModal(window) != QDialog::Accepted) return;
    writeNoticeSettings(s.settingsStore, window.settings());
}
