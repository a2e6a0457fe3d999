// Walking the catalogue in stored order, and the keys that drive it.
#include "app/Q7prin.h"
#include "app/Q7unit.h"
#include "ui_Q7prin.h"

#include <QKeyEvent>
#include <QMenu>

namespace {
void endOfList(Tformprin& w, const char* text) {
    w.services().dialogs.informationSound();
    w.services().dialogs.information(QString::fromUtf8(text));
}

void readAndShow(Tformprin& w) {
    w.state().data.read(w.state().buffer);
    q7unit::showRecord(w);
}
} // namespace

void Tformprin::menulisteClick() {
    // Nothing to browse: the menu is closed to an empty catalogue.
    if (state_.data.count() == 0) {
        ui_->menuChercherpar->menuAction()->setEnabled(false);
        return;
    }
    applyMode(4);
    state_.data.seek(0);
    readAndShow(*this);
    ui_->lblinfo->setText(QStringLiteral("Recherche par liste"));
    state_.criterion = 0;
}

void Tformprin::browse(Move move) {
    q7::DataFile& data = state_.data;
    switch (move) {
    case Move::Next:
        if (data.atEnd()) return endOfList(*this, "Fin de la liste");
        readAndShow(*this);
        break;
    case Move::Previous:
        if (data.position() <= 1) return endOfList(*this, "Debut de la liste");
        data.seek(data.position() - 2);
        readAndShow(*this);
        break;
    case Move::Last:
        data.seek(data.count() - 1);
        readAndShow(*this);
        endOfList(*this, "Fin de la liste");
        break;
    case Move::First:
        data.seek(0);
        readAndShow(*this);
        endOfList(*this, "Debut de la liste");
        break;
    }
}

void Tformprin::spbdebutClick() {
    browse(Move::First);
}
void Tformprin::spbprecedentClick() {
    browse(Move::Previous);
}
void Tformprin::spbfinClick() {
    browse(Move::Last);
}

void Tformprin::spbsuivantClick() {
    if (state_.criterion == 0)
        browse(Move::Next);
    else
        menuChercherClick();
}

void Tformprin::FormKeyDown(QKeyEvent* event) {
    if (!ui_->spbsuivant->isEnabled() || !(event->modifiers() & Qt::AltModifier)) return;
    const bool browsing = ui_->spbprecedent->isEnabled();
    switch (event->key()) {
    case Qt::Key_Left:
        if (browsing) command([this] { browse(Move::Previous); });
        break;
    case Qt::Key_Right:
        if (browsing)
            command([this] { browse(Move::Next); });
        else
            command([this] { menuChercherClick(); });
        break;
    case Qt::Key_Up:
        if (browsing) command([this] { browse(Move::First); });
        break;
    case Qt::Key_Down:
        if (browsing) command([this] { browse(Move::Last); });
        break;
    default: break;
    }
}
