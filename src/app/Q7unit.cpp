// The shared routines of the record window; every command uses these, none
// re-implements them. Each walks the field table.
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "covers/CoverController.h"
#include "loans/LoanController.h"
#include "platform/QtText.h"
#include "platform/ReadableColour.h"
#include "store/Numbers.h"
#include "store/TextFile.h"
#include "ui_Q7prin.h"
#include "widgets/ListValues.h"
#include "widgets/MemoEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>

using q7::FieldBinding;
using q7::Holds;

namespace {

QCheckBox* box(QWidget* control) {
    return qobject_cast<QCheckBox*>(control);
}

int datePart(const q7::Fiche& f, Holds holds) {
    return holds == Holds::Jour ? f.jour() : holds == Holds::Mois ? f.mois() : f.annee();
}

} // namespace

// Red tells that the record has notes or a summary, and so do the tool-tip and what a
// screen reader says. Enabled looks only: a disabled button keeps its greyed caption.
void Tformprin::showFilled(QWidget* button, const q7::FieldBinding& row, bool filled) {
    // Black was the theme's text colour where these windows were drawn: the theme's own
    // text now, and a red that reads on its buttons.
    QPalette p = button->palette();
    const QColor colour = filled ? readableOn(Qt::red, p.color(QPalette::Button))
                                 : QApplication::palette(button).color(QPalette::ButtonText);
    p.setColor(QPalette::Active, QPalette::ButtonText, colour);
    p.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
    button->setPalette(p);
    const QString words = filled ? QString::fromUtf8(row.filled) : QString();
    button->setToolTip(words);
    button->setAccessibleDescription(words);
}

void Tformprin::nameFields() {
    for (const FieldBinding& row : q7::fieldTable()) {
        QWidget* c = control(row);
        if (auto* label = qobject_cast<QLabel*>(caption(row))) {
            label->setBuddy(c);
            c->setAccessibleName(row.spoken ? QString::fromUtf8(row.spoken)
                                            : spokenCaption(label->text()));
            // A screen reader names a field by the label tied to it, before the field's
            // own name: a caption of one figure ("1") says the whole name too.
            if (row.spoken) label->setAccessibleName(QString::fromUtf8(row.spoken));
        } else if (row.spoken) {
            c->setAccessibleName(QString::fromUtf8(row.spoken));
        }
    }
}

MemoEdit& Tformprin::memoOf(q7::Field field) const {
    return field == q7::Field::notes ? windows_.note->memo() : windows_.resume->memo();
}

void Tformprin::clearFields() {
    for (const FieldBinding& row : q7::fieldTable()) {
        QWidget* c = control(row);
        switch (row.holds) {
        case Holds::Text:
        case Holds::Jour:
        case Holds::Mois:
        case Holds::Annee: setControlText(c, clearedValue(row)); break;
        case Holds::Flag: box(c)->setChecked(false); break;
        case Holds::Memo: memoOf(row.field).clear(); break;
        }
    }
}

void Tformprin::loadValueLists() {
    const q7::Folder& folder = state_.folder;
    for (const FieldBinding& row : q7::fieldTable()) {
        if (!row.listFile) continue;
        auto* list = qobject_cast<SortedComboBox*>(control(row));
        if (!folder.exists(row.listFile)) {
            list->setEditText(QStringLiteral("Vide"));
            continue;
        }
        // Loaded at each new record and criterion: a file as it was needs no new sort.
        std::string bytes = q7::readWholeFile(folder, row.listFile);
        if (list->filledFrom(bytes)) {
            list->keepValues();
            continue;
        }
        const QStringList values = listValuesOf(bytes);
        list->setValues(values, std::move(bytes));
    }
}

void Tformprin::showRecord() {
    const q7::Fiche& f = state_.buffer;
    for (const FieldBinding& row : q7::fieldTable()) {
        QWidget* c = control(row);
        switch (row.holds) {
        case Holds::Text: setControlText(c, fromBytes(f.view(row.field))); break;
        case Holds::Jour:
        case Holds::Mois:
        case Holds::Annee: setControlText(c, QString::number(datePart(f, row.holds))); break;
        case Holds::Flag: box(c)->setChecked(f.flagByte(row.flag) != 0); break;
        case Holds::Memo:
            memoOf(row.field).setStoredText(f.text(row.field));
            showFilled(c, row, !f.view(row.field).empty());
            break;
        }
    }
    ui_->edtnbfiche->setText(QString::number(state_.data.position()) + u'/' +
                             QString::number(state_.data.count()));
    loans_->showLoan();
    if (covers_) covers_->recordShown();
}

void Tformprin::showBrowsed(int index) {
    applyMode(Mode::Browse);
    state_.data.seek(index);
    state_.data.read(state_.buffer);
    showRecord();
    setStatus(QStringLiteral("Recherche par liste"));
    state_.criterion = q7::Criterion::ListBrowsing;
}

void Tformprin::enableFields(bool on) {
    for (const FieldBinding& row : q7::fieldTable()) {
        control(row)->setEnabled(on);
        if (QWidget* c = caption(row)) c->setEnabled(on);
    }
    for (QWidget* button : {ui_->btbcontrol, ui_->btbenregistrer, ui_->btbchercher})
        button->setEnabled(on);
}

void Tformprin::enableNavigation(bool on) {
    auto& u = *ui_;
    for (QWidget* b : {u.spbdebut, u.spbprecedent, u.spbsuivant, u.spbfin})
        b->setEnabled(on);
}

void Tformprin::putToday() {
    const Today t = services_.clock.today();
    for (const FieldBinding& row : q7::fieldTable()) {
        const int part = row.holds == Holds::Jour    ? t.day
                         : row.holds == Holds::Mois  ? t.month
                         : row.holds == Holds::Annee ? t.year
                                                     : -1;
        if (part >= 0) setControlText(control(row), QString::number(part));
    }
}

void Tformprin::fillBuffer() {
    q7::Fiche& f = state_.buffer;
    const auto rows = q7::fieldTable();
    const auto each = [&](auto holds, auto&& act) {
        for (const FieldBinding& row : rows)
            if (holds(row.holds)) act(row, control(row));
    };
    const auto isDate = [](Holds h) {
        return h == Holds::Jour || h == Holds::Mois || h == Holds::Annee;
    };
    each([](Holds h) { return h == Holds::Text; },
         [&](const FieldBinding& row, QWidget* c) {
             if (row.zeroWhenEmpty && controlText(c).isEmpty())
                 setControlText(c, QStringLiteral("0"));
             f.setText(row.field, controlBytes(c));
         });
    each([](Holds h) { return h == Holds::Flag; },
         [&](const FieldBinding& row, QWidget* c) { f.setFlag(row.flag, box(c)->isChecked()); });
    // Every empty date part becomes "0" before the first one is read.
    each(isDate, [](const FieldBinding&, QWidget* c) {
        if (controlText(c).isEmpty()) setControlText(c, QStringLiteral("0"));
    });
    std::int32_t date[3] = {};
    each(isDate, [&](const FieldBinding& row, QWidget* c) {
        date[static_cast<int>(row.holds) - static_cast<int>(Holds::Jour)] =
            q7::toInt32(controlBytes(c));
    });
    f.setJour(static_cast<std::uint8_t>(date[0] & 0xFF));
    f.setMois(static_cast<std::uint8_t>(date[1] & 0xFF));
    f.setAnnee(date[2]);
    each([](Holds h) { return h == Holds::Memo; },
         [&](const FieldBinding& row, QWidget*) {
             f.setText(row.field, memoOf(row.field).storedText());
         });
}

q7::RecordScreen Tformprin::screen() const {
    q7::RecordScreen s;
    for (const FieldBinding& row : q7::fieldTable()) {
        QWidget* c = control(row);
        if (row.printedFlag) s.*row.printedFlag = box(c)->isChecked();
        if (!row.printed) continue;
        s.*row.printed =
            row.holds == Holds::Memo ? memoOf(row.field).storedText() : controlBytes(c);
    }
    return s;
}

void Tformprin::setMemo(q7::Field field, const QString& text) {
    memoOf(field).setStoredText(toBytes(text));
    // A shown book's memo window reloads from the record in memory when it opens: the
    // value taken must be there too, or opening the window would throw it away.
    state_.buffer.setText(field, toBytes(text));
    const FieldBinding& row = *q7::bindingOf(field);
    showFilled(control(row), row, !text.isEmpty());
}
