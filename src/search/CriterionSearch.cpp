// Choosing a search criterion and the search step that finds its records one by one.
#include "app/Q7prin.h"
#include "app/Q7unit.h"
#include "platform/QtText.h"
#include "search/Match.h"
#include "search/Q7recmot.h"
#include "search/Scan.h"
#include "store/Numbers.h"
#include "ui_Q7prin.h"

#include <QMenu>
#include <QTimer>

using q7::Field;

namespace {

enum Code { Rank = 21, Word = 19, Multi = 20, UserCheck = 12, UserText = 11 };

struct Criterion {
    const char* item; // menu item
    int code;
    const char* status; // null: the user caption of the settings
    Field field;
    const char* control;
    const char* label; // null: none
};

const Criterion criteria[] = {
    {"Titres", 1, "titre", Field::titre, "cbtitre", "lbltitre"},
    {"Auteur", 2, "auteur", Field::auteur, "cbauteur", "lblauteur"},
    {"Sujet", 3, "sujet", Field::sujet, "cbsujet", "lblsujet"},
    {"Collection", 4, "collection", Field::collection, "cbcollection", "lblcollection"},
    {"Edition", 5, "edition", Field::edition, "cbedition", "lbledition"},
    {"Imprimeur", 6, "imprimeur", Field::imprimeur, "cbimprimeur", "lblimprimeur"},
    {"Types", 7, "type", Field::type, "cbtype", "lbltype"},
    {"langue", 8, "langue", Field::langue, "cblangue", "lbllangue"},
    {"menuorigine", 9, "mot clés", Field::origine, "cborigine", nullptr},
    {"menutxtutil", UserText, nullptr, Field::txtutil, "cbutilisateur", "lblutilisateur"},
    {"menucocheutil", UserCheck, nullptr, Field::titre, "ckbutilisateur", nullptr},
    {"Numero", 13, "reference", Field::numero, "edtnumero", "lblreference"},
    {"ISBN", 14, "ISBN", Field::isbn, "edtisbn", "lblisbn"},
    {"menuRang", Rank, "Rang", Field::titre, "edtnbfiche", nullptr},
    {"pos1", 15, "position 1", Field::pos1, "cbpos1", "lblpos1"},
    {"pos2", 16, "position 2", Field::pos2, "cbpos2", "lblpos2"},
    {"pos3", 17, "position 3", Field::pos3, "cbpos3", "lblpos3"},
    {"pos4", 18, "position 4", Field::pos4, "cbpos4", "lblpos4"},
    {"menumulpos", Multi, "mutlti position", Field::pos1, "cbpos1", "lblpos1"},
};

const Criterion* criterionOf(int code) {
    for (const Criterion& c : criteria)
        if (c.code == code) return &c;
    return nullptr;
}

std::string controlBytes(QWidget* control) {
    if (auto* cb = qobject_cast<QComboBox*>(control)) return toBytes(cb->currentText());
    if (auto* e = qobject_cast<QLineEdit*>(control)) return toBytes(e->text());
    return {};
}

} // namespace

void Tformprin::TitresClick(QObject* sender) {
    auto& u = *ui_;
    q7unit::loadValueLists(*this);
    applyMode(3);
    u.spbsuivant->setEnabled(true);
    state_.data.seek(0);
    if (windows_.recmot && sender == windows_.recmot->searchButton()) {
        u.lblinfo->setText(QStringLiteral("Recherche par mot"));
        windows_.recmot->close();
        state_.criterion = Word;
        menuChercherClick();
        return;
    }
    const Criterion* chosen = nullptr;
    for (const Criterion& c : criteria)
        if (sender && sender->objectName() == QLatin1String(c.item)) chosen = &c;
    if (!chosen) return;
    const q7::Settings& s = state_.settings;
    const QString status = chosen->status             ? QString::fromUtf8(chosen->status)
                           : chosen->code == UserText ? fromBytes(s.textutilisateur)
                                                      : fromBytes(s.cocheutilisateur);
    u.lblinfo->setText(QStringLiteral("Recherche par ") + status);
    auto enable = [this](const char* name) {
        if (auto* w = findChild<QWidget*>(QLatin1String(name))) w->setEnabled(true);
    };
    if (chosen->code == Multi) {
        for (const char* name :
             {"cbpos1", "cbpos2", "cbpos3", "cbpos4", "lblpos1", "lblpos2", "lblpos3", "lblpos4"})
            enable(name);
    } else {
        enable(chosen->control);
        if (chosen->label) enable(chosen->label);
    }
    if (chosen->code == Rank) {
        u.edtnbfiche->setReadOnly(false);
        u.edtnbfiche->setText(QStringLiteral("1"));
    }
    findChild<QWidget*>(QLatin1String(chosen->control))->setFocus();
    state_.criterion = chosen->code;
}

bool Tformprin::rankStep() {
    q7::DataFile& data = state_.data;
    if (data.atEnd()) return false;
    ui_->edtnbfiche->setReadOnly(true);
    const std::int32_t n = q7::toInt32(toBytes(ui_->edtnbfiche->text()));
    // A rank below 1 names no record: as for one beyond the end, nothing is found.
    if (n < 1 || n > data.count()) {
        data.seek(data.count());
        return false;
    }
    data.seek(n - 1);
    data.read(state_.buffer);
    ui_->spbsuivant->setEnabled(false);
    return true;
}

bool Tformprin::scanStep() {
    auto& u = *ui_;
    const int code = state_.criterion;
    q7::RecordTest test;
    if (code == UserCheck) {
        const unsigned char wanted = u.ckbutilisateur->isChecked() ? 1 : 0;
        test = [wanted](const q7::Fiche& f) { return f.flagByte(q7::Flag::cocheutil) == wanted; };
    } else if (code == Multi) {
        const std::string p1 = controlBytes(u.cbpos1), p2 = controlBytes(u.cbpos2),
                          p3 = controlBytes(u.cbpos3), p4 = controlBytes(u.cbpos4);
        test = [=](const q7::Fiche& f) {
            return f.view(Field::pos1) == p1 && f.view(Field::pos2) == p2 &&
                   f.view(Field::pos3) == p3 && f.view(Field::pos4) == p4;
        };
    } else if (code == Word) {
        const q7::WordMatcher matches(state_.word.word);
        const Field field = state_.word.field == "note"   ? Field::notes
                            : state_.word.field == "util" ? Field::txtutil
                                                          : Field::titre;
        test = [matches, field](const q7::Fiche& f) { return matches(f, field); };
    } else if (const Criterion* c = criterionOf(code)) {
        const std::string value = controlBytes(findChild<QWidget*>(QLatin1String(c->control)));
        const Field field = c->field;
        test = [value, field](const q7::Fiche& f) { return q7::fieldEquals(f.view(field), value); };
    } else {
        test = [](const q7::Fiche&) { return false; }; // list browsing or no criterion
    }
    return q7::scanForward(state_.data, state_.buffer, test);
}

void Tformprin::menuChercherClick() {
    auto& u = *ui_;
    q7::DataFile& data = state_.data;
    u.btbchercher->setEnabled(false);
    const int start = data.position();
    bool hit = false;
    {
        BusyCursor busy(services_.cursor);
        hit = state_.criterion == Rank ? rankStep() : scanStep();
    }
    if (hit) {
        q7unit::enableFields(*this, true);
        u.btbchercher->setEnabled(false);
        u.edtcptfiche->setText(QString::number(u.edtcptfiche->text().toInt() + 1));
        q7unit::showRecord(*this);
    }
    if (data.atEnd()) {
        services_.dialogs.beep();
        services_.dialogs.information(QStringLiteral("Pas ou plus  d'occurance"));
        if (u.edtcptfiche->text() == QLatin1String("0")) {
            applyMode(0);
            return;
        }
    }
    // Nothing more found: the record on screen becomes current again, so that a
    // save writes it back in its own place.
    if (!hit && start >= 1 && u.edtcptfiche->text() != QLatin1String("0")) {
        data.seek(start - 1);
        data.read(state_.buffer);
    }
}

void Tformprin::menuChercherparClick() {
    if (state_.data.count() != 0) return;
    ui_->menuChercherpar->menuAction()->setEnabled(false);
    QTimer::singleShot(0, ui_->menuChercherpar, &QMenu::close);
}

void Tformprin::menumotClick() {
    if (windows_.recmot) services_.modal.showModal(*windows_.recmot);
}

void Tformprin::connectSearch() {
    auto& u = *ui_;
    connect(u.menuliste, &QAction::triggered, this, guarded([this] { menulisteClick(); }));
    connect(u.spdbrecliste, &QAction::triggered, this, guarded([this] { menulisteClick(); }));
    connect(u.spbdebut, &QToolButton::clicked, this, guarded([this] { spbdebutClick(); }));
    connect(u.spbprecedent, &QToolButton::clicked, this, guarded([this] { spbprecedentClick(); }));
    connect(u.spbsuivant, &QToolButton::clicked, this, guarded([this] { spbsuivantClick(); }));
    connect(u.spbfin, &QToolButton::clicked, this, guarded([this] { spbfinClick(); }));
    for (const Criterion& c : criteria) {
        auto* item = findChild<QAction*>(QLatin1String(c.item));
        connect(item, &QAction::triggered, this, guarded([this, item] { TitresClick(item); }));
    }
    connect(u.menuChercher, &QAction::triggered, this, guarded([this] { menuChercherClick(); }));
    connect(u.spdbchercher, &QAction::triggered, this, guarded([this] { menuChercherClick(); }));
    connect(u.btbchercher, &QPushButton::clicked, this, guarded([this] { menuChercherClick(); }));
    connect(u.menuChercherpar, &QMenu::aboutToShow, this,
            guarded([this] { menuChercherparClick(); }));
    connect(u.menumot, &QAction::triggered, this, guarded([this] { menumotClick(); }));
}
