#include "search/SearchController.h"

#include "platform/Command.h"
#include "platform/QtText.h"
#include "platform/Services.h"
#include "search/Match.h"
#include "search/Q7recmot.h"
#include "search/Scan.h"
#include "store/Numbers.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

using q7::Criterion;
using q7::Field;

namespace {

// The criteria that test no single field of the table.
struct Special {
    Criterion criterion;
    const char* item;
    const char* status;
};
const Special specials[] = {{Criterion::Rank, "menuRang", "Rang"},
                            {Criterion::MultiPositions, "menumulpos", "mutlti position"}};

const Field positions[] = {Field::pos1, Field::pos2, Field::pos3, Field::pos4};

} // namespace

SearchController::SearchController(RecordWindow& window, const Controls& controls,
                                   TFormrecmot& recmot)
    : window_(window), state_(window.state()), c_(controls), recmot_(recmot) {
    Dialogs& d = window.services().dialogs;
    connect(c_.menuliste, &QAction::triggered, this,
            guarded(d, this, &SearchController::menulisteClick));
    connect(c_.spdbrecliste, &QAction::triggered, this,
            guarded(d, this, &SearchController::menulisteClick));
    connect(c_.spbdebut, &QAbstractButton::clicked, this,
            guarded(d, this, &SearchController::spbdebutClick));
    connect(c_.spbprecedent, &QAbstractButton::clicked, this,
            guarded(d, this, &SearchController::spbprecedentClick));
    connect(c_.spbsuivant, &QAbstractButton::clicked, this,
            guarded(d, this, &SearchController::spbsuivantClick));
    connect(c_.spbfin, &QAbstractButton::clicked, this,
            guarded(d, this, &SearchController::spbfinClick));
    auto choose = [&](const char* item, Criterion criterion) {
        connect(window.item(item), &QAction::triggered, this,
                guarded(d, [this, criterion] { TitresClick(criterion); }));
    };
    for (const q7::FieldBinding& row : q7::fieldTable())
        if (row.search.criterion != Criterion::None) choose(row.search.item, row.search.criterion);
    for (const Special& s : specials)
        choose(s.item, s.criterion);
    for (QAction* step : {c_.menuChercher, c_.spdbchercher})
        connect(step, &QAction::triggered, this,
                guarded(d, this, &SearchController::menuChercherClick));
    connect(c_.btbchercher, &QAbstractButton::clicked, this,
            guarded(d, this, &SearchController::menuChercherClick));
    connect(c_.menuChercherpar, &QMenu::aboutToShow, this,
            guarded(d, this, &SearchController::menuChercherparClick));
    connect(c_.menumot, &QAction::triggered, this,
            guarded(d, this, &SearchController::menumotClick));
    // The dialog's "&Chercher" runs inside the dialog's own command.
    recmot_.setSearchStart([this] { TitresClick(Criterion::Word); });
}

void SearchController::readAndShow() {
    state_.data.read(state_.buffer);
    window_.showRecord();
}

void SearchController::endOfList(const QString& text) {
    window_.services().dialogs.informationSound();
    window_.services().dialogs.information(text);
}

void SearchController::menulisteClick() {
    // Nothing to browse: the menu is closed to an empty catalogue.
    if (state_.data.count() == 0) {
        c_.menuChercherpar->menuAction()->setEnabled(false);
        return;
    }
    window_.applyMode(Mode::Browse);
    // The book being typed is gone from the screen: a save now changes the book shown,
    // it does not append a copy of it.
    state_.newRecord = false;
    state_.data.seek(0);
    readAndShow();
    window_.setStatus(QStringLiteral("Recherche par liste"));
    state_.criterion = Criterion::ListBrowsing;
}

void SearchController::browse(Move move) {
    q7::DataFile& data = state_.data;
    const QString start = QStringLiteral("Debut de la liste");
    const QString end = QStringLiteral("Fin de la liste");
    switch (move) {
    case Move::Next:
        if (data.atEnd()) return endOfList(end);
        readAndShow();
        break;
    case Move::Previous:
        if (data.position() <= 1) return endOfList(start);
        data.seek(data.position() - 2);
        readAndShow();
        break;
    case Move::Last:
        data.seek(data.count() - 1);
        readAndShow();
        endOfList(end);
        break;
    case Move::First:
        data.seek(0);
        readAndShow();
        endOfList(start);
        break;
    }
}

void SearchController::spbsuivantClick() {
    if (state_.criterion == Criterion::ListBrowsing)
        browse(Move::Next);
    else
        menuChercherClick();
}

void SearchController::FormKeyDown(const QKeyEvent& event) {
    if (!c_.spbsuivant->isEnabled() || !(event.modifiers() & Qt::AltModifier)) return;
    const bool browsing = c_.spbprecedent->isEnabled();
    switch (event.key()) {
    case Qt::Key_Left:
        if (browsing) browse(Move::Previous);
        break;
    case Qt::Key_Right:
        if (browsing)
            browse(Move::Next);
        else
            menuChercherClick();
        break;
    case Qt::Key_Up:
        if (browsing) browse(Move::First);
        break;
    case Qt::Key_Down:
        if (browsing) browse(Move::Last);
        break;
    default: break;
    }
}

void SearchController::TitresClick(Criterion criterion) {
    window_.loadValueLists();
    window_.applyMode(Mode::Search);
    c_.spbsuivant->setEnabled(true);
    state_.data.seek(0);
    if (criterion == Criterion::Word) {
        window_.setStatus(QStringLiteral("Recherche par mot"));
        recmot_.close();
        state_.criterion = criterion;
        menuChercherClick();
        return;
    }
    const q7::Settings& s = state_.settings;
    QString status;
    QWidget* focus = nullptr;
    auto enable = [this](const q7::FieldBinding& row, bool withCaption) {
        window_.control(row)->setEnabled(true);
        if (QWidget* caption = window_.caption(row); caption && withCaption)
            caption->setEnabled(true);
        return window_.control(row);
    };
    if (const q7::FieldBinding* row = q7::bindingOf(criterion)) {
        status = row->search.status                 ? QString::fromUtf8(row->search.status)
                 : criterion == Criterion::UserText ? fromBytes(s.textutilisateur)
                                                    : fromBytes(s.cocheutilisateur);
        focus = enable(*row, row->search.withLabel);
    } else {
        for (const Special& special : specials)
            if (special.criterion == criterion) status = QString::fromUtf8(special.status);
        if (criterion == Criterion::MultiPositions) {
            for (Field f : positions)
                enable(*q7::bindingOf(f), true);
            focus = window_.control(*q7::bindingOf(Field::pos1));
        } else {
            c_.edtnbfiche->setEnabled(true);
            c_.edtnbfiche->setReadOnly(false);
            c_.edtnbfiche->setText(QStringLiteral("1"));
            focus = c_.edtnbfiche;
        }
    }
    window_.setStatus(QStringLiteral("Recherche par ") + status);
    focus->setFocus();
    state_.criterion = criterion;
}

bool SearchController::rankStep() {
    q7::DataFile& data = state_.data;
    if (data.atEnd()) return false;
    c_.edtnbfiche->setReadOnly(true);
    const std::int32_t n = q7::toInt32(toBytes(c_.edtnbfiche->text()));
    // A rank below 1 names no record: as for one beyond the end, nothing is found.
    if (n < 1 || n > data.count()) {
        data.seek(data.count());
        return false;
    }
    data.seek(n - 1);
    data.read(state_.buffer);
    c_.spbsuivant->setEnabled(false);
    return true;
}

bool SearchController::scanStep() {
    const Criterion criterion = state_.criterion;
    q7::RecordTest test;
    if (criterion == Criterion::UserCheck) {
        const auto* box =
            qobject_cast<const QCheckBox*>(window_.control(*q7::bindingOf(criterion)));
        const unsigned char wanted = box->isChecked() ? 1 : 0;
        test = [wanted](const q7::Fiche& f) { return f.flagByte(q7::Flag::cocheutil) == wanted; };
    } else if (criterion == Criterion::MultiPositions) {
        std::array<std::string, 4> wanted;
        for (std::size_t i = 0; i < wanted.size(); ++i)
            wanted[i] = controlBytes(window_.control(*q7::bindingOf(positions[i])));
        test = [wanted](const q7::Fiche& f) {
            for (std::size_t i = 0; i < wanted.size(); ++i)
                if (f.view(positions[i]) != wanted[i]) return false;
            return true;
        };
    } else if (criterion == Criterion::Word) {
        const q7::WordMatcher matches(state_.word.word);
        const Field field = state_.word.field;
        test = [matches, field](const q7::Fiche& f) { return matches(f, field); };
    } else if (const q7::FieldBinding* row = q7::bindingOf(criterion)) {
        const std::string value = controlBytes(window_.control(*row));
        const Field field = row->field;
        test = [value, field](const q7::Fiche& f) { return f.view(field) == value; };
    } else {
        test = [](const q7::Fiche&) { return false; }; // list browsing or no criterion
    }
    return q7::scanForward(state_.data, state_.buffer, test);
}

void SearchController::menuChercherClick() {
    q7::DataFile& data = state_.data;
    c_.btbchercher->setEnabled(false);
    const int start = data.position();
    bool hit = false;
    {
        BusyCursor busy(window_.services().cursor);
        hit = state_.criterion == Criterion::Rank ? rankStep() : scanStep();
    }
    if (hit) {
        window_.enableFields(true);
        c_.btbchercher->setEnabled(false);
        window_.setHits(state_.hits + 1);
        window_.showRecord();
    }
    if (data.atEnd()) {
        window_.services().dialogs.beep();
        window_.services().dialogs.information(QStringLiteral("Pas ou plus  d'occurance"));
        if (state_.hits == 0) {
            window_.applyMode(Mode::MainMenu);
            return;
        }
    }
    // Nothing more found: the record on screen becomes current again, so that a
    // save writes it back in its own place.
    if (!hit && start >= 1 && state_.hits != 0) {
        data.seek(start - 1);
        data.read(state_.buffer);
    }
}

void SearchController::menuChercherparClick() {
    if (state_.data.count() != 0) return;
    c_.menuChercherpar->menuAction()->setEnabled(false);
    QTimer::singleShot(0, c_.menuChercherpar, &QMenu::close);
}

void SearchController::menumotClick() {
    window_.services().modal.showModal(recmot_);
}
