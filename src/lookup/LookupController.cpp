#include "lookup/LookupController.h"

#include "lookup/Isbn.h"
#include "lookup/NoticeSources.h"
#include "lookup/NoticeTaking.h"
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
    connect(c_.menuDeja, &QAction::triggered, this,
            guarded(d, this, &LookupController::menuDejaClick));
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
    const std::optional<NoticeSettings> settings = notice::chosenSources(s);
    if (!settings) return;
    asked_ = typed;
    held_ = notice::held(window_, bookKey(checked.isbn13, {}, {}));
    // A book scanned twice is heard at once, whatever the sources answer.
    if (held_.index >= 0) s.dialogs.informationSound();
    lookup_.start(checked.isbn13, *settings);
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
        window_.setStatus(utf8(r.message).section(u'\n', 0, 0) +
                          (held_.index >= 0 ? u' ' + notice::heldText(held_) : QString()));
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
    QString origin = QStringLiteral("Source : %1").arg(utf8(r.source->name));
    if (!r.book.identifier.empty())
        origin += QStringLiteral(", notice %1").arg(utf8(r.book.identifier));
    origin += QStringLiteral(" ; ISBN %1.").arg(utf8(isbn::check(r.isbn13).hyphenated));
    QStringList problems;
    for (const std::string& line : r.problems)
        problems << utf8(line);
    notice::take(window_,
                 {r.book, *r.source, r.isbn13, origin, problems, utf8(r.message), {}, takeCover});
}

void LookupController::menuDejaClick() {
    const BookKey key = notice::shownKey(window_);
    if (key.isbn13.empty() && (key.title.empty() || key.author.empty())) {
        window_.services().dialogs.message(
            QStringLiteral("Tapez d'abord l'ISBN, ou le titre et l'auteur du livre."));
        return;
    }
    const Held h = notice::held(window_, key);
    if (h.index < 0) {
        window_.services().dialogs.information(
            QStringLiteral("Aucun livre du catalogue n'a cet ISBN, ni ce titre et cet auteur."));
        return;
    }
    notice::showHeld(window_, h);
}

void LookupController::smenusourcesClick() {
    Services& s = window_.services();
    NoticeSources window(s.dialogs, isbnField()->window());
    window.setSettings(readNoticeSettings(s.settingsStore));
    if (s.modal.showModal(window) != QDialog::Accepted) return;
    writeNoticeSettings(s.settingsStore, window.settings());
}
