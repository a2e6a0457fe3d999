#include "app/Q7unit.h"

#include "app/MemoEdit.h"
#include "app/Q7note.h"
#include "app/Q7prin.h"
#include "app/Q7resume.h"
#include "lists/ListFile.h"
#include "platform/QtText.h"
#include "store/Numbers.h"
#include "ui_Q7prin.h"

#include <QPushButton>

using q7::Field;
using q7::Flag;

namespace q7unit {

namespace {

struct ListBinding {
    SortedComboBox* Ui::Tformprin::*field;
    const char* tested;
    const char* loaded;
};

// Tested and loaded names as they have always been written; lookups ignore case.
const ListBinding listBindings[] = {
    {&Ui::Tformprin::cbtitre, "Q7titre.lst", "q7titre.lst"},
    {&Ui::Tformprin::cbauteur, "Q7auteur.lst", "q7auteur.lst"},
    {&Ui::Tformprin::cbsujet, "Q7sujet.lst", "q7sujet.lst"},
    {&Ui::Tformprin::cbcollection, "Q7Collection.lst", "q7collection.lst"},
    {&Ui::Tformprin::cbedition, "Q7edition.lst", "q7edition.lst"},
    {&Ui::Tformprin::cbimprimeur, "Q7imprimeur.lst", "q7imprimeur.lst"},
    {&Ui::Tformprin::cbtype, "Q7type.lst", "q7type.lst"},
    {&Ui::Tformprin::cblangue, "Q7langue.lst", "q7langue.lst"},
    {&Ui::Tformprin::cbetat, "Q7etat.lst", "q7etat.lst"},
    {&Ui::Tformprin::cborigine, "Q7origine.lst", "q7origine.lst"},
    {&Ui::Tformprin::cbutilisateur, "Q7utilisat.lst", "q7utilisat.lst"},
    {&Ui::Tformprin::cbpos1, "Q7pos1.lst", "Q7pos1.lst"},
    {&Ui::Tformprin::cbpos2, "Q7pos2.lst", "Q7pos2.lst"},
    {&Ui::Tformprin::cbpos3, "Q7pos3.lst", "Q7pos3.lst"},
    {&Ui::Tformprin::cbpos4, "Q7pos4.lst", "Q7pos4.lst"},
};

QString fromField(const AppState& s, Field f) {
    return fromBytes(s.buffer.view(f));
}

struct FlagBinding {
    Flag flag;
    QCheckBox* Ui::Tformprin::*box;
};
const FlagBinding flagBindings[] = {
    {Flag::plutome, &Ui::Tformprin::ckbplutome},
    {Flag::plusauteur, &Ui::Tformprin::ckbplusauteur},
    {Flag::hs, &Ui::Tformprin::ckbhs},
    {Flag::lut, &Ui::Tformprin::ckblut},
    {Flag::signet, &Ui::Tformprin::ckbsignet},
    {Flag::jacquette, &Ui::Tformprin::ckbjacquette},
    {Flag::cocheutil, &Ui::Tformprin::ckbutilisateur},
};

} // namespace

QList<SortedComboBox*> valueListFields(Tformprin& w) {
    QList<SortedComboBox*> out;
    for (const auto& b : listBindings)
        out << w.ui().*b.field;
    return out;
}

void clearFields(Tformprin& w) {
    auto& u = w.ui();
    for (SortedComboBox* cb : valueListFields(w))
        cb->setEditText(QString());
    for (QLineEdit* e :
         {u.edtnumero, static_cast<QLineEdit*>(u.edtprix), static_cast<QLineEdit*>(u.edtanedition),
          static_cast<QLineEdit*>(u.edtnbpage), static_cast<QLineEdit*>(u.edtisbn),
          static_cast<QLineEdit*>(u.edtjour), static_cast<QLineEdit*>(u.edtmois),
          static_cast<QLineEdit*>(u.edtannee)})
        e->setText(QStringLiteral("0"));
    for (const auto& b : flagBindings)
        (u.*b.box)->setChecked(false);
    if (w.windows().note) w.windows().note->memo().clear();
    if (w.windows().resume) w.windows().resume->memo().clear();
}

void loadValueLists(Tformprin& w) {
    const q7::Folder& folder = w.state().folder;
    for (const auto& b : listBindings) {
        SortedComboBox* cb = w.ui().*b.field;
        if (!folder.exists(b.tested)) {
            cb->setEditText(QStringLiteral("Vide"));
            continue;
        }
        QStringList values;
        for (const std::string& v : q7::readListFile(folder, b.loaded))
            values << fromBytes(v);
        cb->setValues(values);
    }
}

void showRecord(Tformprin& w) {
    auto& u = w.ui();
    const AppState& s = w.state();
    const struct {
        Field f;
        QComboBox* cb;
    } combos[] = {{Field::titre, u.cbtitre},        {Field::auteur, u.cbauteur},
                  {Field::sujet, u.cbsujet},        {Field::collection, u.cbcollection},
                  {Field::edition, u.cbedition},    {Field::imprimeur, u.cbimprimeur},
                  {Field::type, u.cbtype},          {Field::origine, u.cborigine},
                  {Field::langue, u.cblangue},      {Field::etat, u.cbetat},
                  {Field::pos1, u.cbpos1},          {Field::pos2, u.cbpos2},
                  {Field::pos3, u.cbpos3},          {Field::pos4, u.cbpos4},
                  {Field::txtutil, u.cbutilisateur}};
    for (const auto& c : combos)
        c.cb->setEditText(fromField(s, c.f));
    const struct {
        Field f;
        QLineEdit* e;
    } edits[] = {{Field::numero, u.edtnumero},
                 {Field::prix, u.edtprix},
                 {Field::anedition, u.edtanedition},
                 {Field::nbpage, u.edtnbpage},
                 {Field::isbn, u.edtisbn}};
    for (const auto& e : edits)
        e.e->setText(fromField(s, e.f));
    for (const auto& b : flagBindings)
        (u.*b.box)->setChecked(s.buffer.flagByte(b.flag) != 0);
    u.edtjour->setText(QString::number(s.buffer.jour()));
    u.edtmois->setText(QString::number(s.buffer.mois()));
    u.edtannee->setText(QString::number(s.buffer.annee()));
    if (w.windows().note) w.windows().note->memo().setStoredText(s.buffer.text(Field::notes));
    if (w.windows().resume) w.windows().resume->memo().setStoredText(s.buffer.text(Field::resume));
    setCaptionColour(u.btbnotes, s.buffer.view(Field::notes).empty() ? Qt::black : Qt::red);
    setCaptionColour(u.btbresume, s.buffer.view(Field::resume).empty() ? Qt::black : Qt::red);
    u.edtnbfiche->setText(QString::number(s.data.position()) + u'/' +
                          QString::number(s.data.count()));
}

void enableFields(Tformprin& w, bool on) {
    auto& u = w.ui();
    const QList<QWidget*> items = {
        u.lbltitre,      u.lblauteur,    u.lblsujet,   u.lbledition,     u.lbltype,
        u.lblorigine,    u.lblpage,      u.lblprix,    u.lblanedition,   u.lblimprimeur,
        u.lblcollection, u.lbletat,      u.lbllangue,  u.lblutilisateur, u.lblreference,
        u.lblpos1,       u.lblpos2,      u.lblpos3,    u.lblpos4,        u.lblisbn,
        u.edtprix,       u.edtanedition, u.edtnbpage,  u.edtjour,        u.edtmois,
        u.edtannee,      u.edtnumero,    u.edtisbn,    u.ckbplutome,     u.ckbplusauteur,
        u.ckblut,        u.ckbhs,        u.ckbsignet,  u.ckbjacquette,   u.ckbutilisateur,
        u.btbnotes,      u.btbresume,    u.btbcontrol, u.btbenregistrer, u.btbchercher};
    for (QWidget* item : items)
        item->setEnabled(on);
    for (SortedComboBox* cb : valueListFields(w))
        cb->setEnabled(on);
}

void enableNavigation(Tformprin& w, bool on) {
    auto& u = w.ui();
    for (QWidget* b : {u.spbdebut, u.spbprecedent, u.spbsuivant, u.spbfin})
        b->setEnabled(on);
}

void setCaptionColour(QPushButton* button, const QColor& colour) {
    // Enabled looks only: a disabled button keeps its greyed caption.
    QPalette p = button->palette();
    p.setColor(QPalette::Active, QPalette::ButtonText, colour);
    p.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
    button->setPalette(p);
}

void putToday(Tformprin& w) {
    const Today t = w.services().clock.today();
    w.ui().edtjour->setText(QString::number(t.day));
    w.ui().edtmois->setText(QString::number(t.month));
    w.ui().edtannee->setText(QString::number(t.year));
}

void fillBuffer(Tformprin& w) {
    auto& u = w.ui();
    q7::Fiche& f = w.state().buffer;
    auto store = [&f](Field field, const QString& text) { f.setText(field, toBytes(text)); };
    store(Field::titre, u.cbtitre->currentText());
    store(Field::auteur, u.cbauteur->currentText());
    store(Field::sujet, u.cbsujet->currentText());
    store(Field::collection, u.cbcollection->currentText());
    store(Field::edition, u.cbedition->currentText());
    store(Field::imprimeur, u.cbimprimeur->currentText());
    store(Field::type, u.cbtype->currentText());
    store(Field::langue, u.cblangue->currentText());
    store(Field::etat, u.cbetat->currentText());
    store(Field::numero, u.edtnumero->text());
    store(Field::isbn, u.edtisbn->text());
    store(Field::origine, u.cborigine->currentText());
    store(Field::txtutil, u.cbutilisateur->currentText());
    if (u.edtprix->text().isEmpty()) u.edtprix->setText(QStringLiteral("0"));
    store(Field::prix, u.edtprix->text());
    store(Field::anedition, u.edtanedition->text());
    if (u.edtnbpage->text().isEmpty()) u.edtnbpage->setText(QStringLiteral("0"));
    store(Field::nbpage, u.edtnbpage->text());
    store(Field::pos1, u.cbpos1->currentText());
    store(Field::pos2, u.cbpos2->currentText());
    store(Field::pos3, u.cbpos3->currentText());
    store(Field::pos4, u.cbpos4->currentText());
    for (const auto& b : flagBindings)
        f.setFlag(b.flag, (u.*b.box)->isChecked());
    for (QLineEdit* e : {static_cast<QLineEdit*>(u.edtjour), static_cast<QLineEdit*>(u.edtmois),
                         static_cast<QLineEdit*>(u.edtannee)})
        if (e->text().isEmpty()) e->setText(QStringLiteral("0"));
    const std::int32_t jour = q7::toInt32(toBytes(u.edtjour->text()));
    const std::int32_t mois = q7::toInt32(toBytes(u.edtmois->text()));
    const std::int32_t annee = q7::toInt32(toBytes(u.edtannee->text()));
    f.setJour(static_cast<std::uint8_t>(jour & 0xFF));
    f.setMois(static_cast<std::uint8_t>(mois & 0xFF));
    f.setAnnee(annee);
    if (w.windows().note) f.setText(Field::notes, w.windows().note->memo().storedText());
    if (w.windows().resume) f.setText(Field::resume, w.windows().resume->memo().storedText());
}

} // namespace q7unit
