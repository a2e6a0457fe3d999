// The commands that change the catalogue or leave the record window.
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "covers/CoverController.h"
#include "lists/OldReferences.h"
#include "loans/LoanController.h"
#include "lookup/LookupController.h"
#include "platform/QtText.h"
#include "platform/TypingFocus.h"
#include "store/Errors.h"
#include "store/TextFile.h"
#include "widgets/MemoEdit.h"

#include "ui_Q7prin.h"
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {
const QString noRecordShown =
    QStringLiteral("Aucune fiche n'est affichée : cherchez ou parcourez d'abord la fiche voulue.");
}

void Tformprin::menuNouvelleClick() {
    applyMode(Mode::NewRecord);
    loadValueLists();
    ui_->edtnumero->setText(QString::number(state_.data.count() + 1));
    if (state_.data.count() >= q7::maxRecords) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral(
            "Capacité maximum de 40000 fiches ateinte ! si vous voulez depasser cette capcité "
            "contacter l'auteur"));
        applyMode(Mode::MainMenu);
        return;
    }
    state_.newRecord = true;
    putToday();
    rememberNewRecord();
    // Ready to type the title at once, over what the field showed.
    focusForTyping(control(*q7::bindingOf(q7::Field::titre)));
}

void Tformprin::menuEnregistrerClick() {
    auto& u = *ui_;
    if (u.edtnumero->text().isEmpty()) {
        services_.dialogs.beep();
        services_.dialogs.message(QStringLiteral("Le champs réference est vide !"));
        focusForTyping(u.edtnumero);
        return;
    }
    // Without a record on screen there is no place to write it back to.
    if (!state_.newRecord && state_.data.position() == 0) {
        services_.dialogs.beep();
        services_.dialogs.message(noRecordShown);
        return;
    }
    applyMode(Mode::Save);
    if (state_.newRecord) {
        state_.data.seek(state_.data.count());
    } else {
        if (state_.settings.confirmemod &&
            !ask(services_.dialogs, QStringLiteral("Enregistrer les modifiications ?"))) {
            applyMode(Mode::MainMenu);
            return;
        }
        state_.data.seek(state_.data.position() - 1);
    }
    // The reference as stored: its cover follows a new one.
    const std::string before =
        state_.newRecord ? std::string() : state_.buffer.text(q7::Field::numero);
    fillBuffer();
    state_.data.write(state_.buffer);
    covers_->recordSaved(before);
    applyMode(Mode::MainMenu);
    state_.newRecord = false;
    // The record saved is the one shown, and can be lent at once.
    loans_->recordSaved();
}

void Tformprin::menuEffacerClick() {
    if (state_.data.position() == 0) {
        services_.dialogs.beep();
        services_.dialogs.message(noRecordShown);
        return;
    }
    // A book out on loan is always asked about; its loan stays in the register.
    const std::optional<QString> lent = loans_->deleteQuestion();
    if (lent ? !ask(services_.dialogs, *lent)
             : state_.settings.confirmesup &&
                   !ask(services_.dialogs, QStringLiteral("Effacer cette fiche O/N ?"))) {
        applyMode(Mode::MainMenu);
        return;
    }
    const std::string reference = state_.buffer.text(q7::Field::numero);
    deleteShownRecord();
    covers_->recordDeleted(reference);
    // The reference becomes free only once the record is really gone.
    QString unkept;
    try {
        q7::addOldReference(state_.folder, reference);
    } catch (const std::exception& e) {
        unkept = QStringLiteral("La fiche est effacée, mais sa référence n'a pas pu être "
                                "ajoutée à Q7ancnum.lst : ") +
                 QString::fromUtf8(e.what());
    }
    services_.dialogs.beep();
    services_.dialogs.message(QStringLiteral("Fiche éffacée"));
    if (!unkept.isEmpty()) services_.dialogs.message(unkept);
    // A backup that could not be kept is told once, after the command's own message.
    if (const std::string note = state_.data.takeBackupNote(); !note.empty())
        services_.dialogs.message(QString::fromStdString(note));
    applyMode(Mode::MainMenu);
}

// Rewrites the catalogue without the record shown (found by its place, so a
// duplicate reference never removes another record).
void Tformprin::deleteShownRecord() {
    q7::DataFile& data = state_.data;
    const int shown = data.position() - 1;
    auto writer = data.beginRewrite();
    {
        BusyCursor busy(services_.cursor);
        data.seek(0);
        for (int i = 0; !data.atEnd(); ++i) {
            data.read(state_.buffer);
            if (i != shown) writer->append(state_.buffer);
        }
    }
    data.commitRewrite(std::move(writer));
}

void Tformprin::btbcontrolClick() {
    q7::DataFile& data = state_.data;
    if (!state_.folder.exists(q7::dataFileName)) return;
    const int remembered = data.position();
    data.seek(0);
    q7::Fiche record;
    while (!data.atEnd()) {
        data.read(record);
        if (record.view(q7::Field::numero) == toBytes(ui_->edtnumero->text())) {
            services_.dialogs.beep();
            services_.dialogs.message(QStringLiteral("Cette réference éxiste deja !"));
            ui_->edtnumero->clear();
            focusForTyping(ui_->edtnumero);
        }
    }
    data.seek(state_.newRecord ? data.count() : remembered);
}

void Tformprin::menuRetourClick() {
    applyMode(Mode::MainMenu);
}

void Tformprin::menuReduireClick() {
    showMinimized();
}

void Tformprin::menuQuitterClick() {
    if (state_.newRecord &&
        !ask(services_.dialogs, QStringLiteral("Une fiche est en cours ! Quitter ?")))
        return;
    close();
}

void Tformprin::menuVideClick() {
    // Ctrl+V is also "paste" elsewhere: what it clears can be brought back at once.
    beforeClear_.clear();
    for (const q7::FieldBinding& row : q7::fieldTable()) {
        QWidget* c = control(row);
        if (row.holds == q7::Holds::Memo)
            beforeClear_.push_back({memoOf(row.field).toPlainText()});
        else if (auto* box = qobject_cast<QCheckBox*>(c))
            beforeClear_.push_back({{}, box->isChecked()});
        else
            beforeClear_.push_back({controlText(c)});
    }
    clearFields();
    clearUndoable_ = true;
}

void Tformprin::undoClear() {
    clearUndoable_ = false;
    std::size_t i = 0;
    for (const q7::FieldBinding& row : q7::fieldTable()) {
        const FieldValue& was = beforeClear_.at(i++);
        QWidget* c = control(row);
        if (row.holds == q7::Holds::Memo)
            memoOf(row.field).setPlainText(was.text);
        else if (auto* box = qobject_cast<QCheckBox*>(c))
            box->setChecked(was.checked);
        else
            setControlText(c, was.text);
    }
}

void Tformprin::watchForClearUndo() {
    const auto end = [this] { clearUndoable_ = false; };
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, this, end);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::clicked, this, end);
    // Typing or picking in a field.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, this, end);
    for (QComboBox* list : findChildren<QComboBox*>())
        connect(list, &QComboBox::activated, this, end);
}

void Tformprin::menuNotesClick() {
    services_.modal.showModal(*windows_.note);
}

void Tformprin::menuResumeClick() {
    services_.modal.showModal(*windows_.resume);
}
