// A new record starts from what the window showed: the book shown before, "0", "Vide".
// Until the collector types over a field, what it holds is none of their typing: a click
// or Tab into it selects it, so that a scan replaces it instead of being added to it,
// and the ISBN review knows which values belong to another book.
#include "app/Q7prin.h"
#include "platform/QtText.h"
#include "widgets/MemoEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QTimer>

using q7::FieldBinding;
using q7::Holds;

void Tformprin::rememberNewRecord() {
    started_.clear();
    for (const FieldBinding& row : q7::fieldTable())
        started_.push_back(shownValue(row));
}

QString Tformprin::shownValue(const FieldBinding& row) const {
    if (row.holds == Holds::Memo) return fromBytes(memoOf(row.field).storedText());
    if (auto* box = qobject_cast<QCheckBox*>(control(row)))
        return box->isChecked() ? QStringLiteral("oui") : QStringLiteral("non");
    return controlText(control(row));
}

bool Tformprin::leftAsStarted(const FieldBinding& row) const {
    const auto i = static_cast<std::size_t>(&row - q7::fieldTable().data());
    return state_.newRecord && i < started_.size() && started_[i] == shownValue(row);
}

bool Tformprin::carriedOver(const FieldBinding& row) const {
    // The reference and the date are the new record's own.
    const bool own = row.holds == Holds::Jour || row.holds == Holds::Mois ||
                     row.holds == Holds::Annee ||
                     (row.holds == Holds::Text && row.field == q7::Field::numero);
    if (own || !leftAsStarted(row)) return false;
    const QString value = shownValue(row);
    return value != clearedValue(row) && value != u"Vide";
}

void Tformprin::selectWhatWasLeft(QObject* watched, QEvent* event) {
    if (!state_.newRecord) return;
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        for (const FieldBinding& row : q7::fieldTable()) {
            if (control(row) != watched || !leftAsStarted(row)) continue;
            auto* combo = qobject_cast<QComboBox*>(control(row));
            QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(control(row));
            if (!edit) return;
            // The press that gave the focus puts the caret where it fell, after this.
            if (reason == Qt::MouseFocusReason)
                clickedInto_ = edit;
            else if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                     reason == Qt::ShortcutFocusReason)
                edit->selectAll();
            else
                givenBack_ = edit; // by a box closing: the collector's first click selects
            return;
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == givenBack_) {
        // The field kept the focus through a box: no focus comes with this click.
        for (const FieldBinding& row : q7::fieldTable()) {
            auto* combo = qobject_cast<QComboBox*>(control(row));
            if ((combo ? combo->lineEdit() : control(row)) == watched && leftAsStarted(row))
                clickedInto_ = givenBack_;
        }
        givenBack_ = nullptr;
    } else if (event->type() == QEvent::MouseButtonRelease && qobject_cast<QWidget*>(watched)) {
        // The release ends that click wherever it falls (the list of a drop-down...).
        QLineEdit* edit = watched == clickedInto_ ? clickedInto_.data() : nullptr;
        clickedInto_ = nullptr;
        // A drag that chose part of the text keeps its choice.
        if (edit)
            QTimer::singleShot(0, edit, [edit] {
                if (!edit->hasSelectedText()) edit->selectAll();
            });
    }
}
